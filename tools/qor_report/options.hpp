// The command line of qor_report: the report wanted, its inputs and the
// options of each report.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qor::report {

enum class Command { Metrics, Coverage, Data, Help };
enum class Format { Text, Csv, Json };

struct Options {
    Command command = Command::Help;
    std::vector<std::string> inputs;
    Format format = Format::Text;
    std::optional<std::string> output;  // the report's file instead of standard output
    std::optional<std::string> html;
    std::vector<std::string> source_dirs;
    std::vector<std::string> excludes;  // source name patterns left out of the report
    // metrics
    std::optional<std::string> sort;
    bool reverse = false;
    std::vector<std::string> threshold_settings;
    std::vector<std::string> threshold_files;
    bool fail_on_violation = false;
    std::optional<std::string> sarif;
    // coverage
    std::optional<std::string> lcov;
    std::optional<std::string> cobertura;
    std::vector<std::string> justification_files;
    std::optional<double> fail_under_decision;
    std::optional<double> fail_under_mcdc;
    std::optional<double> fail_under_unique_cause;
};

// The options of `args` (without the program name). nullopt after a usage
// error was reported.
std::optional<Options> parse_options(const std::vector<std::string>& args);

// The usage text.
const char* usage_text();

}  // namespace qor::report
