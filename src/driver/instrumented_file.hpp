// The instrumented copy of one source file in dynamic mode: its opening
// lines, the emitter that writes its body, and the installation's script
// that writes the header it includes.
#pragma once

#include <memory>
#include <string>

#include "driver/pipeline.hpp"
#include "driver/run.hpp"
#include "foundation/atomic_file.hpp"
#include "instrument/emitter.hpp"
#include "scripting/instrument_interpreter.hpp"

namespace qor {

class InstrumentedFile {
public:
    // Opens the file (a failure ends the run), loads the script and writes
    // the include lines. The file takes its name only when it is complete.
    InstrumentedFile(Run& run, const FileOutputs& outputs, const std::string& source, const std::string& date);

    InstrumentEmitter& emitter() { return *emitter_; }
    // After the parse: the file is completed and put in place (a write
    // error ends the run), and the script writes the header. Returns the
    // date for the archive: the script's, or `date` when it left none.
    std::string finish(const std::string& date);

private:
    AtomicFile file_;
    AtomicFile system_text_file_;
    SystemHeaderText system_text_;
    std::unique_ptr<InstrumentEmitter> emitter_;
    std::unique_ptr<InstrumentInterpreter> interpreter_;
};

}  // namespace qor
