// The component model of the source file being analysed: one record per
// module (here: per component) with its counters, control graph, calls and
// decision descriptions, and the file's dictionaries of operators, operands
// and called functions that the Halstead counts come from.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/control_graph.hpp"
#include "analysis/decisions.hpp"
#include "foundation/containers.hpp"

namespace qor {

// Module kinds; the C front end opens components only.
inline constexpr int kDirectoryKind = 1;
inline constexpr int kFileKind = 2;
inline constexpr int kComponentKind = 3;
inline constexpr int kClassKind = 4;

inline constexpr int kCounterCount = 38;

// The counters this front end changes, numbered as the archive numbers them.
// The others (9 to 38) stay 0.
enum ModelCounter : int {
    COMM = 1,  // comment blocks
    INST,      // statements
    OOPN,      // operand occurrences
    OPEN,      // distinct operands
    OOPT,      // operator occurrences
    OPET,      // distinct operators
    CALT,      // call occurrences
    CALD,      // distinct called functions
};

// Where a function is called: the line and the control node current then.
struct CallSite {
    int line = 0;
    const ControlNode* node = nullptr;
};

// One distinct callee of a module.
struct CallEntry {
    uint16_t count = 0;           // calls of the callee
    uint16_t operator_count = 0;  // those calls that also count as an operator
    std::string callee;
    std::vector<CallSite> sites;  // only in new-results mode, only for components
};

// The name the writers show for a callee; "**" for a call without a name.
std::string_view callee_name(const CallEntry& entry);

struct ModuleRecord {
    std::string name;
    int kind = 0;
    int excluded = 0;
    int dated = 0;
    std::array<uint16_t, kCounterCount> counters{};  // counter n at index n - 1
    ControlList controls;
    std::vector<CallEntry> calls;  // distinct callees, in order of first call
    Descriptions descriptions;
    int class_extra = 0;  // read by the class report; never set by this front end
};

// How often one module used an occurrence text. Refers to the record, whose
// address is stable, for its name and kind.
struct UsageEntry {
    const ModuleRecord* module = nullptr;
    uint16_t count = 0;

    const std::string& module_name() const { return module->name; }
    int module_kind() const { return module->kind; }
};

// Occurrence text -> its users, oldest first; only the last entry can belong
// to the component being analysed, since components do not nest.
using UsageList = std::vector<UsageEntry>;
using OperatorDico = Dico<UsageList>;
using OperandDico = Dico<UsageList>;
using CallDico = Dico<UsageList>;

class AnalysisModel {
public:
    // The label keeps at most 30 characters. `new_results`: control graphs
    // and call sites in the current form.
    AnalysisModel(std::string version, std::string kind, std::string language, std::string version_label,
                  bool new_results);
    // Reports "Mishandled modules." (not fatal) when modules are still open.
    ~AnalysisModel();
    AnalysisModel(const AnalysisModel&) = delete;
    AnalysisModel& operator=(const AnalysisModel&) = delete;

    const std::string& version() const { return version_; }
    const std::string& kind() const { return kind_; }
    const std::string& language() const { return language_; }
    const std::string& version_label() const { return version_label_; }
    bool new_results() const { return new_results_; }

    // Opens a new module and makes it current (true), or makes the existing
    // module of that kind and name current (false; it still counts as open,
    // so module_end returns from it). A component's graph starts with a DEBU
    // node at (file, line) in new-results mode.
    bool module_begin(const std::string& name, int kind, int excluded, int dated, const std::string* file,
                      int line, ControlGraphBuilder& graph);
    // Closes the current module; the module that was current before it
    // becomes current again and is returned (null for none).
    ModuleRecord* module_end();
    // Makes the module of that name (any kind) current when there is one.
    bool module_find(const std::string& name);

    ModuleRecord* current() { return current_; }
    const ModuleRecord* current() const { return current_; }
    // The current module; fatal when there is none.
    ModuleRecord& current_module();
    const ModuleRecord& current_module() const;
    // All modules, in list order: a module begun while another is current
    // comes before it, otherwise after every existing one.
    const std::vector<std::unique_ptr<ModuleRecord>>& modules() const { return modules_; }
    size_t open_count() const { return open_.size(); }

    // Counter numbers 1 to 38 of the current module. Adding to a counter out
    // of range does nothing; reading one is fatal. Counters wrap at 65536.
    void counter_add(int counter, uint16_t amount);
    uint16_t counter_get(int counter) const;

    // One occurrence of text: `what` is OOPN (operand), OOPT (operator) or
    // CALT (called function). Raises that counter, and the next one (the
    // distinct count) at the module's first use of the text.
    void count_occurrence(int what, const std::string& text, bool counted = true);

    // One call of `callee` by the current module; in new-results mode a
    // component records the site at the graph's node for calls.
    void call_add(const std::string& callee, int line, bool as_operator, ControlGraphBuilder& graph);
    // Counts every call of the current module as a call occurrence, and the
    // calls flagged as operators as occurrences of the operator "callee()".
    void calls_to_operators();
    // The calls of the current module, in order of first call.
    const std::vector<CallEntry>& calls() const { return current_module().calls; }
    size_t distinct_callees() const { return calls().size(); }

    const OperatorDico& operators() const { return operators_; }
    const OperandDico& operands() const { return operands_; }
    const CallDico& callees() const { return callees_; }

private:
    ModuleRecord* find_same(int kind, const std::string& name) const;
    size_t position_of(const ModuleRecord* record) const;
    Dico<UsageList>& dico_for(int what);

    std::string version_;
    std::string kind_;
    std::string language_;
    std::string version_label_;
    bool new_results_;

    // Lookups by kind and name, and by name alone (the record first in the
    // list), so that a file of many components is not searched over and over.
    std::unordered_map<std::string, ModuleRecord*> by_kind_and_name_;
    std::unordered_map<std::string, ModuleRecord*> first_by_name_;
    std::vector<std::unique_ptr<ModuleRecord>> modules_;
    ModuleRecord* current_ = nullptr;
    // For each open module, the module that was current when it was begun.
    std::vector<ModuleRecord*> open_;

    OperatorDico operators_;
    OperandDico operands_;
    CallDico callees_;
    // Operands, operators and callees (3, 5, 7) by text.
    std::array<std::unordered_map<std::string, UsageList*>, 3> index_;
};

}  // namespace qor
