#include "scripting/hook_interpreter.hpp"

#include <cstdio>
#include <tcl.h>

#include "foundation/diagnostics.hpp"
#include "platform/process.hpp"

namespace qor {

namespace {

constexpr const char* kBootstrap =
    "set RootDirectory [file dirname [file dirname [info nameofexecutable]]]\n"
    "set ScriptsDirectory [file join $RootDirectory Scripts]\n"
    "source [file nativename [file join $ScriptsDirectory qor_cc qor_cc.tcl]]";

}  // namespace

HookInterpreter::HookInterpreter() {
    // The full path, so that [info nameofexecutable] locates the installation.
    Tcl_FindExecutable(platform::executable_path().c_str());
    interp_ = Tcl_CreateInterp();
    check(Tcl_EvalEx(interp_, kBootstrap, -1, 0));
}

HookInterpreter::~HookInterpreter() {
    if (interp_) Tcl_DeleteInterp(interp_);
}

void HookInterpreter::check(int code) {
    if (code != TCL_ERROR) return;
    report_message(MSG_ERROR, "during tcl evaluation");
    const char* trace = Tcl_GetVar2(interp_, "errorInfo", nullptr, TCL_GLOBAL_ONLY | TCL_LEAVE_ERR_MSG);
    if (trace)
        std::fprintf(stderr, "%s\n", trace);
    else
        std::fputs("(no tcl stack trace available)\n", stderr);
    std::fflush(stderr);
}

void HookInterpreter::call(const std::vector<std::string>& words) {
    Tcl_DString command;
    Tcl_DStringInit(&command);
    for (const auto& word : words) Tcl_DStringAppendElement(&command, word.c_str());
    int code = Tcl_EvalEx(interp_, Tcl_DStringValue(&command), Tcl_DStringLength(&command), 0);
    Tcl_DStringFree(&command);
    check(code);
}

void HookInterpreter::set_repository(const std::string& results_directory) {
    if (repository_set_) return;
    repository_set_ = true;
    if (!Tcl_SetVar(interp_, "Repository", results_directory.c_str(), TCL_GLOBAL_ONLY | TCL_LEAVE_ERR_MSG))
        check(TCL_ERROR);
}

void HookInterpreter::on_file(const std::string& source) { call({"qor_cc::onFile", source}); }

void HookInterpreter::on_file_skipped(const std::string& source, const std::string& sta_name) {
    call({"qor_cc::onFileSkipped", source, sta_name});
}

void HookInterpreter::on_component(const std::string& name, int line) {
    call({"qor_cc::onComponent", name, std::to_string(line)});
}

void HookInterpreter::do_metrics() { call({"::qor_cc::doMetrics"}); }

}  // namespace qor
