#include "analysis/archive_file.hpp"

#include <cstdio>

#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

constexpr size_t kPieceLength = 109;

bool listed(const ModuleRecord& module) { return module.kind == kComponentKind && !module.excluded; }

// The name line of a component list entry or record: the name and the date.
void name_and_date(std::string& out, const ModuleRecord& module, const std::string& date) {
    out += split_long_line(module.name, out);
    out += ' ';
    out += date;
    out += '\n';
}

void counter_line(std::string& out, const char* tag, uint16_t value) {
    char field[16];
    std::snprintf(field, sizeof field, "%11u", static_cast<unsigned>(value));
    out += tag;
    out += field;
    out += '\n';
}

void call_lines(std::string& out, const ModuleRecord& module, bool new_results) {
    for (const CallEntry& call : module.calls) {
        std::string line(callee_name(call));
        if (new_results) {
            for (const CallSite& site : call.sites)
                line += ' ' + std::to_string(site.node ? site.node->sequence : 0) + '#' + std::to_string(site.line) + ',';
        }
        out += split_long_line(line, out);
        out += '\n';
    }
}

void component_record(std::string& out, AnalysisModel& model, ModuleRecord& module, const std::string& date) {
    out += "*MO*\n";
    name_and_date(out, module, date);
    out += ".EM.\n" + model.language() + "\n.DT.\n";
    counter_line(out, "INST", module.counters[INST - 1]);
    counter_line(out, "COMM", module.counters[COMM - 1]);
    counter_line(out, "OOPN", module.counters[OOPN - 1]);
    counter_line(out, "OPEN", module.counters[OPEN - 1]);
    counter_line(out, "OOPT", module.counters[OOPT - 1]);
    counter_line(out, "OPET", module.counters[OPET - 1]);
    // Numbering the graph's nodes comes first: call sites name them.
    out += ".DC.\n" + control_graph_text(module.controls);
    out += ".DA.\n";
    call_lines(out, module, model.new_results());
    out += ".CD.\n";
    for (const std::string& description : module.descriptions.lines)
        if (!description.empty()) out += description + '\n';
}

// The schema of the three description sections, then the sections.
void condition_sections(std::string& out, const ConditionDescriptions& conditions, bool records_written) {
    out += "Entities_Definitions DEFINITIONS ::= BEGIN\n"
           "source_description ::= SEQUENCE OF {\n  SEQUENCE {\n    num integer,\n    pathname string\n  }\n}\n"
           "component_description ::= SEQUENCE OF {\n  SEQUENCE {\n    num integer,\n    name string\n  }\n}\n"
           "mcdc_description ::= SEQUENCE OF {\n  SEQUENCE {\n    source integer,\n    component integer,\n"
           "    description string\n  }\n}\n";
    out += "source_description ::= {\n";
    if (records_written) out += "{1, " + quoted_escaped(conditions.source) + "}\n";
    out += "}\n";
    out += "component_description ::= {" + conditions.components + "\n}\n";
    out += "mcdc_description ::= {" + conditions.decisions + "\n}\n";
    out += "END\n";
}

}  // namespace

std::string_view split_long_line(std::string_view line, std::string& out) {
    while (line.size() > kPieceLength) {
        out += line.substr(0, kPieceLength);
        out += "\\\n";
        line.remove_prefix(kPieceLength);
    }
    return line;
}

std::string archive_text(AnalysisModel& model, const std::string& date, const ConditionDescriptions* conditions) {
    std::string out = "<archive " + model.version() + ">\n";
    out += "*NA*\n" + model.kind() + "\n.EF.\n" + model.language() + "\n";
    out += "*CV*\n" + model.version_label() + "\n*CM*\n" + model.version_label() + "\n";
    const auto& modules = model.modules();
    for (auto module = modules.rbegin(); module != modules.rend(); ++module)
        if (listed(**module)) name_and_date(out, **module, date);
    bool records_written = false;
    for (const auto& module : modules) {
        if (!listed(*module)) continue;
        component_record(out, model, *module, date);
        records_written = true;
    }
    out += "*FI*\n";
    if (conditions) condition_sections(out, *conditions, records_written);
    return out;
}

void write_archive(const std::string& path, AnalysisModel& model, const std::string& date,
                   const ConditionDescriptions* conditions) {
    AtomicFile file(path, MSG_ERROR);
    if (!file) return;
    std::string text = archive_text(model, date, conditions);
    std::fwrite(text.data(), 1, text.size(), file.get());
    file.commit();
}

}  // namespace qor
