// The Tcl interpreter of one instrumented file: it loads the installation's
// instrumentation script, is given the header to write, the source's date
// and the file's functions, and runs the script's Instrument command once
// the instrumented file is complete.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instrument/emitter.hpp"

struct Tcl_Interp;

namespace qor {

class InstrumentInterpreter {
public:
    // Loads the script; a script that does not load ends the run with the
    // error summary's status, one without an Instrument command is fatal.
    // `date` is offered to the script as qvx_date.
    InstrumentInterpreter(const std::string& script_name, const std::string& header_path, const std::string& date);
    ~InstrumentInterpreter();
    InstrumentInterpreter(const InstrumentInterpreter&) = delete;
    InstrumentInterpreter& operator=(const InstrumentInterpreter&) = delete;

    // qvx_func: one list of nine elements per function.
    void set_functions(const std::vector<std::unique_ptr<InstFunction>>& functions);
    // Runs Instrument; a failure is reported and the run goes on.
    void run_instrument();
    // What the script left in qvx_date; none when it emptied it.
    std::optional<std::string> date() const;

private:
    void report_failure();

    Tcl_Interp* interp_ = nullptr;
    std::string script_path_;
    char* date_ = nullptr;  // linked to qvx_date; Tcl may replace it
};

}  // namespace qor
