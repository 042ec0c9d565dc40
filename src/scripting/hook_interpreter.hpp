// The Tcl interpreter of a static run: it sources the installation's hook
// script and is told of every file, component and the end of the run.
#pragma once

#include <string>
#include <vector>

struct Tcl_Interp;

namespace qor {

class HookInterpreter {
public:
    // Creates the interpreter and evaluates the bootstrap script that
    // sources <root>/Scripts/qor_cc/qor_cc.tcl; a failure is reported.
    HookInterpreter();
    ~HookInterpreter();
    HookInterpreter(const HookInterpreter&) = delete;
    HookInterpreter& operator=(const HookInterpreter&) = delete;

    void on_file(const std::string& source);
    void on_file_skipped(const std::string& source, const std::string& sta_name);
    void on_component(const std::string& name, int line);
    void do_metrics();
    // Sets the global Repository once, before the first file hook.
    void set_repository(const std::string& results_directory);
    bool repository_set() const { return repository_set_; }

private:
    void call(const std::vector<std::string>& words);
    // Reports a TCL_ERROR completion with the interpreter's stack trace.
    void check(int code);

    Tcl_Interp* interp_ = nullptr;
    bool repository_set_ = false;
};

}  // namespace qor
