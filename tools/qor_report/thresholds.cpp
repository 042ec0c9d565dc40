#include "thresholds.hpp"

#include <cstdlib>

#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"
#include "input_files.hpp"

namespace qor::report {

namespace {

Threshold* find_key(std::vector<Threshold>& thresholds, const std::string& key) {
    for (Threshold& threshold : thresholds)
        if (threshold.key == key) return &threshold;
    return nullptr;
}

}  // namespace

std::vector<Threshold> default_thresholds() {
    return {
        {"vg", "VG", true, 10},          {"statements", "STMT", true, 50}, {"paths", "PATH", true, 80},
        {"calls", "CALL_PATHS", true, 7}, {"parameters", "PARA", true, 5}, {"nesting", "LEVL", true, 4},
        {"returns", "RETU", true, 1},    {"goto", "GOTO", true, 0},       {"comment_density", "COMF", false, 0.2},
    };
}

std::string apply_threshold(std::vector<Threshold>& thresholds, const std::string& setting) {
    size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) return "threshold '" + setting + "' is not KEY=VALUE, KEY<=VALUE or KEY>=VALUE";
    std::optional<bool> direction;
    size_t key_end = equals;
    if (setting[equals - 1] == '<' || setting[equals - 1] == '>') {
        direction = setting[equals - 1] == '<';
        --key_end;
    }
    std::string key(trim_blanks(setting.substr(0, key_end)));
    std::string value(trim_blanks(setting.substr(equals + 1)));
    Threshold* threshold = find_key(thresholds, key);
    if (!threshold) {
        std::optional<std::string> metric = column_named(key);
        if (!metric || *metric == "file" || *metric == "name" || *metric == "line")
            return "no metric or threshold named '" + key + "'";
        threshold = find_key(thresholds, *metric);
        if (!threshold) {
            for (Threshold& existing : thresholds)
                if (existing.metric == *metric) threshold = &existing;
        }
        if (!threshold) threshold = &thresholds.emplace_back(Threshold{*metric, *metric, true, 0, false});
    }
    if (value == "off") {
        threshold->enabled = false;
        return "";
    }
    char* end = nullptr;
    double limit = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0') return "not a number in threshold '" + setting + "'";
    threshold->limit = limit;
    if (direction) threshold->at_most = *direction;
    threshold->enabled = true;
    return "";
}

bool apply_threshold_file(std::vector<Threshold>& thresholds, const std::string& path) {
    std::optional<std::string> text = read_text(path);
    if (!text) return false;
    bool ok = true;
    int number = 0;
    size_t pos = 0;
    while (pos < text->size()) {
        size_t end = std::min(text->find('\n', pos), text->size());
        std::string line = text->substr(pos, end - pos);
        pos = end + 1;
        ++number;
        line = trim_blanks(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        if (std::string error = apply_threshold(thresholds, line); !error.empty()) {
            report_at(MSG_ERROR, path, number, error);
            ok = false;
        }
    }
    return ok;
}

std::string Violation::text() const {
    return metric_title(threshold->metric) + " is " + format_value(value) +
           (threshold->at_most ? ", above " : ", below ") + format_value(threshold->limit);
}

std::string Violation::message() const {
    std::string where = row->location.empty() ? "<unknown>" : row->location;
    return where + ":" + std::to_string(row->line) + ": warning: " + row->name + ": " + text() + " [" +
           threshold->key + "]";
}

std::vector<Violation> find_violations(const std::vector<MetricsRow>& rows, const std::vector<Threshold>& thresholds) {
    std::vector<Violation> out;
    for (const MetricsRow& row : rows) {
        for (const Threshold& threshold : thresholds) {
            if (!threshold.enabled) continue;
            std::optional<double> value = row.value(threshold.metric);
            if (!value) continue;
            bool broken = threshold.at_most ? *value > threshold.limit : *value < threshold.limit;
            if (broken) out.push_back({&row, &threshold, *value});
        }
    }
    return out;
}

}  // namespace qor::report
