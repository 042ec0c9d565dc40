#include "analysis/metrics.hpp"

#include <algorithm>

#include "foundation/diagnostics.hpp"

namespace qor {

const Metric* MetricEntry::find(std::string_view metric) const {
    auto found = std::find_if(metrics.begin(), metrics.end(), [metric](const Metric& m) { return m.name == metric; });
    return found == metrics.end() ? nullptr : &*found;
}

void MetricCollector::metric_component(const std::string& name, const std::string& file, int first_line) {
    auto [position, created] = index_.try_emplace(name, entries_.size());
    if (created) entries_.push_back({name, "", 0, identities_.take(), 0, {}});
    auto [file_position, new_file] = file_index_.try_emplace(file, files_.size());
    if (new_file) files_.push_back({file, identities_.take()});
    MetricEntry& entry = entries_[position->second];
    entry.file = file_position->second;
    entry.first_line = first_line;
    current_ = position->second;
}

void MetricCollector::metric_set(std::string_view name, double value) {
    if (value < 0.0) return;
    if (!current_) fatal_error("Attempt to handle null pointer.");
    MetricEntry& entry = entries_[*current_];
    if (entry.metrics.size() >= kMetricLimit) {
        report_message(MSG_FATAL, "Too many metric definitions (" + std::to_string(kMetricLimit) + ").\n Metric \"" +
                                      std::string(name) + "\" ignored.");
        return;
    }
    entry.metrics.push_back({std::string(name), static_cast<float>(value)});
}

const MetricEntry* MetricCollector::find(const std::string& name) const {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

}  // namespace qor
