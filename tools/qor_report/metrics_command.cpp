#include <cstdio>

#include "commands.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"
#include "metrics_html.hpp"
#include "metrics_output.hpp"
#include "thresholds.hpp"

namespace qor::report {

namespace {

bool set_up_thresholds(const Options& options, std::vector<Threshold>& thresholds) {
    bool ok = true;
    for (const std::string& file : options.threshold_files) ok = apply_threshold_file(thresholds, file) && ok;
    for (const std::string& setting : options.threshold_settings) {
        if (std::string error = apply_threshold(thresholds, setting); !error.empty()) {
            report_message(MSG_ERROR, error);
            ok = false;
        }
    }
    return ok;
}

}  // namespace

int run_metrics(const Options& options) {
    std::vector<Threshold> thresholds = default_thresholds();
    if (!set_up_thresholds(options, thresholds)) return 1;
    std::optional<std::string> sort_column = "file";
    if (options.sort) {
        sort_column = column_named(*options.sort);
        if (!sort_column) {
            report_message(MSG_ERROR, "no column named '" + *options.sort + "' to sort by");
            return 1;
        }
    }
    InputFiles inputs = expand_inputs(options.inputs, {".mtr", ".sta"});
    // The metrics report has no place for notes: they go with the warnings.
    for (const std::string& note : inputs.notes) report_message(MSG_WARNING, note);
    std::vector<MetricsRow> rows = load_metrics(inputs.paths, options.source_dirs);
    std::erase_if(rows, [&](const MetricsRow& row) { return excluded(row.file, options.excludes); });
    sort_rows(rows, *sort_column, options.reverse);
    std::vector<Violation> violations = find_violations(rows, thresholds);
    for (const Violation& violation : violations) std::fprintf(stderr, "%s\n", violation.message().c_str());
    std::fflush(stderr);

    switch (options.format) {
        case Format::Text: emit(options.output, metrics_text(rows, violations.size())); break;
        case Format::Csv: emit(options.output, metrics_csv(rows)); break;
        case Format::Json: emit(options.output, metrics_json(rows, thresholds, violations)); break;
    }
    if (options.sarif) write_text(*options.sarif, violations_sarif(thresholds, violations));
    if (options.html) write_text(*options.html, metrics_html(rows, thresholds, violations));
    if (error_count() > 0) return 1;
    return options.fail_on_violation && !violations.empty() ? kLimitNotMet : 0;
}

}  // namespace qor::report
