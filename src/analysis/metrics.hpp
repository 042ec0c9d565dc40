// The named metric values of the components of one source file, collected
// while it is parsed, for the results file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qor {

struct Metric {
    std::string name;
    float value = 0;
};

struct MetricEntry {
    std::string name;
    std::string key;  // second key; empty for components
    std::string file;
    int first_line = 0;
    std::vector<Metric> metrics;  // in the order they were stored

    // The first metric of that name, or null.
    const Metric* find(std::string_view metric) const;
};

class MetricCollector {
public:
    // A component stores at most this many metrics.
    static constexpr size_t kMetricLimit = 64;

    // Makes the component's entry current, creating it at its first
    // mention, and sets its file and first line.
    void metric_component(const std::string& name, const std::string& file, int first_line);
    // Stores a metric of the current entry; negative values are dropped (-1
    // marks a value that was not computed). A name stored twice takes two
    // slots. Fatal beyond kMetricLimit metrics.
    void metric_set(std::string_view name, double value);

    // The entries in creation order.
    const std::vector<MetricEntry>& entries() const { return entries_; }
    // The files named by components, in order of first mention.
    const std::vector<std::string>& files() const { return files_; }
    const MetricEntry* current() const { return current_ ? &entries_[*current_] : nullptr; }
    const MetricEntry* find(const std::string& name) const;

private:
    std::vector<MetricEntry> entries_;
    std::unordered_map<std::string, size_t> index_;  // component name -> position in entries_
    std::vector<std::string> files_;
    std::optional<size_t> current_;
};

}  // namespace qor
