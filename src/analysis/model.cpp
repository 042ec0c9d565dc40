#include "analysis/model.hpp"

#include <algorithm>

#include "foundation/diagnostics.hpp"

namespace qor {

namespace {

constexpr size_t kVersionLabelLimit = 30;
constexpr std::string_view kNullPointer = "Attempt to handle null pointer.";
constexpr std::string_view kCounterTypeError = "Counter type error.";
constexpr std::string_view kMishandledModules = "Mishandled modules.";

bool counter_in_range(int counter) { return counter >= 1 && counter <= kCounterCount; }

}  // namespace

std::string_view callee_name(const CallEntry& entry) {
    return entry.callee.empty() ? std::string_view("**") : std::string_view(entry.callee);
}

AnalysisModel::AnalysisModel(std::string version, std::string kind, std::string language,
                             std::string version_label, bool new_results)
    : version_(std::move(version)),
      kind_(std::move(kind)),
      language_(std::move(language)),
      version_label_(std::move(version_label)),
      new_results_(new_results) {
    if (version_label_.size() > kVersionLabelLimit) version_label_.resize(kVersionLabelLimit);
}

AnalysisModel::~AnalysisModel() {
    if (!open_.empty()) report_error(kMishandledModules);
}

namespace {

std::string kind_and_name(int kind, const std::string& name) { return std::to_string(kind) + '\0' + name; }

}  // namespace

ModuleRecord* AnalysisModel::find_same(int kind, const std::string& name) const {
    auto found = by_kind_and_name_.find(kind_and_name(kind, name));
    return found == by_kind_and_name_.end() ? nullptr : found->second;
}

size_t AnalysisModel::position_of(const ModuleRecord* record) const {
    // Components are begun and ended one after another: the record is
    // nearly always the newest.
    if (!modules_.empty() && modules_.back().get() == record) return modules_.size() - 1;
    auto found = std::find_if(modules_.begin(), modules_.end(),
                              [record](const auto& owned) { return owned.get() == record; });
    return static_cast<size_t>(found - modules_.begin());
}

bool AnalysisModel::module_begin(const std::string& name, int kind, int excluded, int dated,
                                 const std::string* file, int line, ControlGraphBuilder& graph) {
    open_.push_back(current_);
    if (ModuleRecord* existing = find_same(kind, name)) {
        current_ = existing;
        return false;
    }
    auto record = std::make_unique<ModuleRecord>();
    record->name = name;
    record->kind = kind;
    record->excluded = excluded;
    record->dated = dated;
    // A module begun inside another goes just before it, so that stepping
    // to the newer neighbour at its end returns to the enclosing module.
    size_t position = current_ ? position_of(current_) : modules_.size();
    current_ = modules_.insert(modules_.begin() + static_cast<std::ptrdiff_t>(position), std::move(record))->get();
    by_kind_and_name_.emplace(kind_and_name(kind, name), current_);
    if (!first_by_name_.count(name) || position_of(first_by_name_[name]) > position) first_by_name_[name] = current_;
    if (kind == kComponentKind && new_results_) graph.control_add(current_->controls, NodeKind::DEBU, file, line);
    return true;
}

ModuleRecord* AnalysisModel::module_end() {
    ModuleRecord* previous = open_.empty() ? nullptr : open_.back();
    if (current_ != nullptr) {
        size_t next = position_of(current_) + 1;
        current_ = next < modules_.size() ? modules_[next].get() : nullptr;
    }
    if (current_ != previous) {
        if (previous == nullptr) {
            current_ = nullptr;
        } else {
            current_ = find_same(previous->kind, previous->name);
            if (current_ == nullptr) fatal_error(kMishandledModules);
        }
    }
    if (!open_.empty()) open_.pop_back();
    return previous;
}

bool AnalysisModel::module_find(const std::string& name) {
    auto found = first_by_name_.find(name);
    if (found == first_by_name_.end()) return false;
    current_ = found->second;
    return true;
}

ModuleRecord& AnalysisModel::current_module() {
    if (current_ == nullptr) fatal_error(kNullPointer);
    return *current_;
}

const ModuleRecord& AnalysisModel::current_module() const {
    if (current_ == nullptr) fatal_error(kNullPointer);
    return *current_;
}

void AnalysisModel::counter_add(int counter, uint16_t amount) {
    ModuleRecord& record = current_module();
    if (!counter_in_range(counter)) return;
    uint16_t& value = record.counters[static_cast<size_t>(counter - 1)];
    value = static_cast<uint16_t>(value + amount);
}

uint16_t AnalysisModel::counter_get(int counter) const {
    const ModuleRecord& record = current_module();
    if (!counter_in_range(counter)) fatal_error(kCounterTypeError);
    return record.counters[static_cast<size_t>(counter - 1)];
}

Dico<UsageList>& AnalysisModel::dico_for(int what) {
    switch (what) {
    case OOPN: return operands_;
    case OOPT: return operators_;
    case CALT: return callees_;
    default: fatal_error(kCounterTypeError);
    }
}

void AnalysisModel::count_occurrence(int what, const std::string& text, bool counted) {
    if (!counted) return;
    Dico<UsageList>& dico = dico_for(what);
    ModuleRecord& record = current_module();
    // A dictionary key is never empty: there is nothing to count.
    if (text.empty()) return;
    // The ordered dictionary gives the writers their order; the hashed
    // index finds a text without walking it.
    auto& index = index_[static_cast<size_t>(what / 2 - 1)];
    auto indexed = index.find(text);
    if (indexed == index.end()) indexed = index.emplace(text, &dico[text]).first;
    UsageList& users = *indexed->second;
    if (!users.empty() && users.back().module == &record) {
        ++users.back().count;
    } else {
        users.push_back({&record, 1});
        counter_add(what + 1, 1);
    }
    counter_add(what, 1);
}

void AnalysisModel::call_add(const std::string& callee, int line, bool as_operator, ControlGraphBuilder& graph) {
    ModuleRecord& record = current_module();
    auto found = std::find_if(record.calls.begin(), record.calls.end(),
                              [&callee](const CallEntry& entry) { return entry.callee == callee; });
    if (found == record.calls.end()) {
        record.calls.push_back({0, 0, callee, {}});
        found = record.calls.end() - 1;
    }
    CallEntry& entry = *found;
    ++entry.count;
    if (new_results_ && record.kind == kComponentKind) entry.sites.push_back({line, graph.node_for_call()});
    if (as_operator) ++entry.operator_count;
}

void AnalysisModel::calls_to_operators() {
    const ModuleRecord& record = current_module();
    for (const CallEntry& entry : record.calls) {
        std::string name(callee_name(entry));
        std::string operator_text = name + "()";
        for (int call = 1; call <= entry.count; ++call) {
            count_occurrence(CALT, name);
            if (call <= entry.operator_count) count_occurrence(OOPT, operator_text);
        }
    }
}

}  // namespace qor
