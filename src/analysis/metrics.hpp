// The named metric values of the components of one source file, collected
// while it is parsed, for the results file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/object_identities.hpp"

namespace qor {

struct Metric {
    std::string name;
    float value = 0;
};

// A source file named by a component.
struct FileEntry {
    std::string path;
    int identity = 0;
};

struct MetricEntry {
    std::string name;
    std::string key;  // second key; empty for components
    size_t file = 0;  // position in MetricCollector::files()
    int identity = 0;
    int first_line = 0;
    std::vector<Metric> metrics;  // in the order they were stored

    // The first metric of that name, or null.
    const Metric* find(std::string_view metric) const;
};

class MetricCollector {
public:
    // Entries and files take their identities from the run's counter.
    explicit MetricCollector(ObjectIdentities& identities) : identities_(identities) {}

    // A component stores at most this many metrics.
    static constexpr size_t kMetricLimit = 64;

    // Makes the component's entry current, creating it at its first
    // mention, and sets its file and first line. A new entry takes its
    // identity before a new file does.
    void metric_component(const std::string& name, const std::string& file, int first_line);
    // Stores a metric of the current entry; negative values are dropped (-1
    // marks a value that was not computed). A name stored twice takes two
    // slots. Fatal beyond kMetricLimit metrics.
    void metric_set(std::string_view name, double value);

    // The entries in creation order.
    const std::vector<MetricEntry>& entries() const { return entries_; }
    // The files named by components, in order of first mention.
    const std::vector<FileEntry>& files() const { return files_; }
    const FileEntry& file_of(const MetricEntry& entry) const { return files_[entry.file]; }
    const MetricEntry* current() const { return current_ ? &entries_[*current_] : nullptr; }
    const MetricEntry* find(const std::string& name) const;

private:
    std::vector<MetricEntry> entries_;
    std::unordered_map<std::string, size_t> index_;  // component name -> position in entries_
    std::vector<FileEntry> files_;
    std::unordered_map<std::string, size_t> file_index_;  // path -> position in files_
    ObjectIdentities& identities_;
    std::optional<size_t> current_;
};

}  // namespace qor
