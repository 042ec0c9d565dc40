#include "scripting/instrument_interpreter.hpp"

#include <cstdio>
#include <cstring>
#include <tcl.h>

#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "platform/process.hpp"

namespace qor {

namespace {

std::string locate_script(const std::string& name) {
    if (auto found = find_config_file(std::nullopt, "QOR_INSTRUMENT_TCL", name, true, true, "$QOR_UTIL")) return *found;
    return find_in_installation(name).value_or("");
}

Tcl_Obj* number(int value) { return Tcl_NewIntObj(value); }

// One element per vector: its index from 0, the line, the decision's
// record number, its number of conditions, the outcome and the text.
Tcl_Obj* vector_records(const std::vector<VectorRecord>& vectors) {
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    int index = 0;
    for (const VectorRecord& vector : vectors) {
        Tcl_Obj* fields[] = {number(index++), number(vector.line), number(vector.decision), number(vector.conditions),
                             number(vector.outcome), Tcl_NewStringObj(vector.text.c_str(), -1)};
        Tcl_ListObjAppendElement(nullptr, list, Tcl_NewListObj(6, fields));
    }
    return list;
}

}  // namespace

InstrumentInterpreter::InstrumentInterpreter(const std::string& script_name, const std::string& header_path,
                                             const std::string& date) {
    Tcl_FindExecutable(platform::executable_path().c_str());
    interp_ = Tcl_CreateInterp();
    script_path_ = locate_script(script_name);
    if (!script_path_.empty() && Tcl_EvalFile(interp_, script_path_.c_str()) == TCL_ERROR) {
        report_failure();
        diagnostics().exit(print_error_summary());
    }
    Tcl_CmdInfo info;
    if (script_path_.empty() || !Tcl_GetCommandInfo(interp_, "Instrument", &info))
        report_message(MSG_FATAL, "No TCL command \"Instrument\" available for instrumentation");
    Tcl_SetVar(interp_, "qvx_header", header_path.c_str(), TCL_GLOBAL_ONLY);
    date_ = Tcl_Alloc(static_cast<unsigned>(date.size() + 1));
    std::memcpy(date_, date.c_str(), date.size() + 1);
    Tcl_LinkVar(interp_, "qvx_date", reinterpret_cast<char*>(&date_), TCL_LINK_STRING);
}

InstrumentInterpreter::~InstrumentInterpreter() {
    Tcl_UnlinkVar(interp_, "qvx_date");
    Tcl_DeleteInterp(interp_);
    if (date_) Tcl_Free(date_);
}

void InstrumentInterpreter::report_failure() {
    report_message(MSG_ERROR, "during tcl evaluation");
    std::fprintf(stderr, "\"%s\", line %d: ", script_path_.c_str(), Tcl_GetErrorLine(interp_));
    const char* result = Tcl_GetStringResult(interp_);
    if (!result || !*result)
        std::fputs("(no tcl error message available)\n", stderr);
    else
        std::fprintf(stderr, "%s\n", result);
    const char* trace = Tcl_GetVar2(interp_, "errorInfo", nullptr, TCL_GLOBAL_ONLY);
    if (trace)
        std::fprintf(stderr, "%s\n", trace);
    else
        std::fputs("(no tcl stack trace available)\n", stderr);
    std::fflush(stderr);
}

void InstrumentInterpreter::set_functions(const std::vector<std::unique_ptr<InstFunction>>& functions) {
    Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
    for (const auto& function : functions) {
        Tcl_Obj* elements[] = {Tcl_NewStringObj(function->full_name().c_str(), -1),
                               number(function->number),
                               number(function->branch_count),
                               number(function->call_count),
                               number(function->callee_count),
                               number(static_cast<int>(function->vectors.size())),
                               vector_records(function->vectors),
                               number(function->max_conditions),
                               number(function->max_index)};
        Tcl_ListObjAppendElement(interp_, list, Tcl_NewListObj(9, elements));
    }
    Tcl_SetVar2Ex(interp_, "qvx_func", nullptr, list, TCL_GLOBAL_ONLY);
}

void InstrumentInterpreter::run_instrument() {
    if (Tcl_EvalEx(interp_, "Instrument", -1, TCL_EVAL_GLOBAL) == TCL_ERROR) report_failure();
}

std::optional<std::string> InstrumentInterpreter::date() const {
    if (!date_ || !*date_) return std::nullopt;
    return std::string(date_);
}

}  // namespace qor
