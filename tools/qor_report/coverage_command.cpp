#include <cstdio>
#include <filesystem>

#include "commands.hpp"
#include "coverage_exports.hpp"
#include "coverage_html.hpp"
#include "coverage_model.hpp"
#include "coverage_text.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"
#include "justify.hpp"
#include "metrics_rows.hpp"

namespace qor::report {

namespace {

namespace fs = std::filesystem;

// A limit of the options that the totals do not reach, reported. `whole`
// leaves out the justified items.
bool below(const std::optional<double>& limit, size_t part, size_t whole, const char* what) {
    if (!limit || whole == 0) return false;
    double percent = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    if (percent + 1e-9 >= *limit) return false;
    std::fprintf(stderr, "qor_report: %s coverage %s is below %s%%\n", what, percent_text(part, whole).c_str(),
                 format_value(*limit).c_str());
    return true;
}

// The index at `index_path` and the files' pages in a directory beside it.
void write_html(const std::string& index_path, const CoverageReport& report) {
    fs::path index(index_path);
    fs::path directory = index.parent_path();
    for (const HtmlPage& page : coverage_html(report, index.filename().string())) {
        fs::path path = directory / page.path;
        std::error_code error;
        if (path.has_parent_path()) fs::create_directories(path.parent_path(), error);
        write_text(path.string(), page.text);
    }
}

}  // namespace

int run_coverage(const Options& options) {
    std::vector<std::string> archives, data_files;
    InputFiles inputs = expand_inputs(options.inputs, {".sta", ".dat", std::string(kLiveExtension)});
    for (const std::string& file : inputs.paths) {
        if (has_extension(file, ".mtr")) continue;
        (has_extension(file, ".sta") ? archives : data_files).push_back(file);
    }
    CoverageReport report = build_coverage(archives, data_files, options.source_dirs, options.excludes);
    report.notes.insert(report.notes.begin(), inputs.notes.begin(), inputs.notes.end());
    justify(report, options.justification_files);
    emit(options.output, options.format == Format::Json ? coverage_json(report) : coverage_text(report));
    if (options.lcov) write_text(*options.lcov, coverage_lcov(report));
    if (options.cobertura) write_text(*options.cobertura, coverage_cobertura(report));
    if (options.html) write_html(*options.html, report);
    if (error_count() > 0) return 1;
    CoverageTotals t = report.totals();
    bool failed = below(options.fail_under_decision, t.branches_taken, to_cover(t.branches, t.branches_justified),
                        "decision");
    failed = below(options.fail_under_mcdc, t.masking, to_cover(t.conditions, t.masking_justified), "masking MC/DC") ||
             failed;
    failed = below(options.fail_under_unique_cause, t.unique_cause,
                   to_cover(t.conditions, t.unique_cause_justified), "unique-cause MC/DC") ||
             failed;
    return failed ? kLimitNotMet : 0;
}

}  // namespace qor::report
