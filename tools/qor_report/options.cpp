#include "options.hpp"

#include <cstdlib>
#include <functional>
#include <map>

#include "foundation/diagnostics.hpp"

namespace qor::report {

namespace {

using Setter = std::function<bool(Options&, const std::string&)>;

struct OptionSpec {
    bool takes_value;
    bool metrics;   // allowed with the metrics report
    bool coverage;  // allowed with the coverage report
    Setter set;
};

bool percent(std::optional<double>& field, const std::string& value) {
    char* end = nullptr;
    double number = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || number < 0 || number > 100) return false;
    field = number;
    return true;
}

const std::map<std::string, OptionSpec>& specs() {
    static const std::map<std::string, OptionSpec> table{
        {"--csv", {false, true, false, [](Options& o, const std::string&) { o.format = Format::Csv; return true; }}},
        {"--json", {false, true, true, [](Options& o, const std::string&) { o.format = Format::Json; return true; }}},
        {"--output", {true, true, true, [](Options& o, const std::string& v) { o.output = v; return true; }}},
        {"--html", {true, true, true, [](Options& o, const std::string& v) { o.html = v; return true; }}},
        {"--source-dir",
         {true, true, true, [](Options& o, const std::string& v) { o.source_dirs.push_back(v); return true; }}},
        {"--exclude",
         {true, true, true, [](Options& o, const std::string& v) { o.excludes.push_back(v); return true; }}},
        {"--sort", {true, true, false, [](Options& o, const std::string& v) { o.sort = v; return true; }}},
        {"--reverse", {false, true, false, [](Options& o, const std::string&) { o.reverse = true; return true; }}},
        {"--threshold",
         {true, true, false, [](Options& o, const std::string& v) { o.threshold_settings.push_back(v); return true; }}},
        {"--thresholds",
         {true, true, false, [](Options& o, const std::string& v) { o.threshold_files.push_back(v); return true; }}},
        {"--fail-on-violation",
         {false, true, false, [](Options& o, const std::string&) { o.fail_on_violation = true; return true; }}},
        {"--sarif", {true, true, false, [](Options& o, const std::string& v) { o.sarif = v; return true; }}},
        {"--lcov", {true, false, true, [](Options& o, const std::string& v) { o.lcov = v; return true; }}},
        {"--cobertura", {true, false, true, [](Options& o, const std::string& v) { o.cobertura = v; return true; }}},
        {"--justify",
         {true, false, true, [](Options& o, const std::string& v) { o.justification_files.push_back(v); return true; }}},
        {"--fail-under-decision",
         {true, false, true, [](Options& o, const std::string& v) { return percent(o.fail_under_decision, v); }}},
        {"--fail-under-mcdc",
         {true, false, true, [](Options& o, const std::string& v) { return percent(o.fail_under_mcdc, v); }}},
        {"--fail-under-unique-cause",
         {true, false, true, [](Options& o, const std::string& v) { return percent(o.fail_under_unique_cause, v); }}},
    };
    return table;
}

bool usage_error(const std::string& text) {
    report_message(MSG_ERROR, text + " (qor_report --help shows the usage)");
    return false;
}

const char* command_name(Command command) {
    return command == Command::Metrics ? "metrics" : command == Command::Coverage ? "coverage" : "data";
}

bool parse_option(Options& options, const std::vector<std::string>& args, size_t& i) {
    std::string word = args[i];
    std::string value;
    bool inline_value = false;
    if (size_t equals = word.find('='); equals != std::string::npos) {
        value = word.substr(equals + 1);
        word = word.substr(0, equals);
        inline_value = true;
    }
    if (word == "-o") word = "--output";
    auto found = specs().find(word);
    if (found == specs().end()) return usage_error("unknown option " + args[i]);
    const OptionSpec& spec = found->second;
    bool allowed = options.command == Command::Metrics    ? spec.metrics
                   : options.command == Command::Coverage ? spec.coverage
                                                          : word == "--output";
    if (!allowed) return usage_error("option " + word + " does not belong to the " + command_name(options.command) +
                                     (options.command == Command::Data ? " command" : " report"));
    if (spec.takes_value && !inline_value) {
        if (i + 1 >= args.size()) return usage_error("option " + word + " needs a value");
        value = args[++i];
    } else if (!spec.takes_value && inline_value) {
        return usage_error("option " + word + " takes no value");
    }
    if (!spec.set(options, value)) return usage_error("bad value '" + value + "' for " + word);
    return true;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args) {
    Options options;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") return options;
    if (args[0] == "metrics") {
        options.command = Command::Metrics;
    } else if (args[0] == "coverage") {
        options.command = Command::Coverage;
    } else if (args[0] == "data") {
        options.command = Command::Data;
    } else {
        usage_error("unknown report '" + args[0] + "' (metrics or coverage)");
        return std::nullopt;
    }
    bool only_inputs = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (only_inputs || word.empty() || word[0] != '-' || word == "-") {
            options.inputs.push_back(word);
        } else if (word == "--") {
            only_inputs = true;
        } else if (word == "--help" || word == "-h") {
            options.command = Command::Help;
            return options;
        } else if (!parse_option(options, args, i)) {
            return std::nullopt;
        }
    }
    if (options.inputs.empty()) {
        usage_error(std::string("no input (name the ") +
                    (options.command == Command::Metrics  ? "results files (.mtr, .sta)"
                     : options.command == Command::Data ? "coverage-data files"
                                                         : "archives (.sta) and coverage-data files") +
                    " or their directories)");
        return std::nullopt;
    }
    return options;
}

const char* usage_text() {
    return "Usage: qor_report metrics [options] FILE|DIR...\n"
           "       qor_report coverage [options] FILE|DIR...\n"
           "       qor_report data [-o FILE] FILE|DIR...\n"
           "\n"
           "metrics: one row per component of the results files (.mtr; an archive .sta\n"
           "without its .mtr gives the counts it holds); a directory stands for its\n"
           ".mtr and .sta files. Components that break a threshold are reported as\n"
           "'file:line: warning: ...' lines on standard error.\n"
           "  --sort COLUMN          sort by a column (file, name, line or a metric such as VG,\n"
           "                         STMT, PATH, N1, n1, COMF); numbers largest first\n"
           "  --reverse              the other way round\n"
           "  --csv | --json         the table as CSV or JSON instead of text\n"
           "  --threshold KEY=VALUE  change a threshold (KEY=off turns it off; KEY<=V, KEY>=V;\n"
           "                         any metric can be a KEY). Defaults: vg=10 statements=50\n"
           "                         paths=80 calls=7 parameters=5 nesting=4 returns=1 goto=0\n"
           "                         comment_density>=0.2\n"
           "  --thresholds FILE      threshold settings, one a line, '#' comments\n"
           "  --fail-on-violation    exit status 3 when a threshold is broken\n"
           "  --sarif FILE           the violations as SARIF 2.1.0\n"
           "\n"
           "coverage: merges the coverage data of any number of runs (the runs under one\n"
           "test label that a coverage-data file adds up are one run, and so are the\n"
           "live files (.qvl) of a process that ended without exit) with the archives\n"
           "(.sta) of the instrumented files; a directory stands for its .sta, .dat and\n"
           ".qvl files, any other file is read as coverage data. Reports entries, exits, every branch of every decision\n"
           "and, with condition coverage, every condition's independence under\n"
           "unique-cause and masking MC/DC.\n"
           "  --json                 the report as JSON instead of text\n"
           "  --lcov FILE            an LCOV tracefile (functions, lines, branches, MC/DC)\n"
           "  --cobertura FILE       a Cobertura XML report\n"
           "  --justify FILE         justifications of items that need not be covered, one a\n"
           "                         line: FILE<tab>FUNCTION<tab>ITEM<tab>CRITERIA<tab>REASON\n"
           "                         (sources can mark them: /* qor-justify: CRITERIA REASON */)\n"
           "  --fail-under-decision N     exit status 3 below N percent of branches taken\n"
           "  --fail-under-mcdc N         exit status 3 below N percent of conditions shown\n"
           "                              under masking MC/DC\n"
           "  --fail-under-unique-cause N the same under unique-cause MC/DC\n"
           "                         (percentages of the items not justified: covered /\n"
           "                         (total - justified))\n"
           "\n"
           "both:\n"
           "  --output FILE, -o FILE the report into FILE instead of standard output\n"
           "  --html FILE            the report as HTML that needs no network: metrics one\n"
           "                         page; coverage an index in FILE and a page per source\n"
           "                         file in FILE's stem + _files/\n"
           "  --source-dir DIR       where to look for sources named by relative paths\n"
           "  --exclude PATTERN      leave out the components of the source files whose names\n"
           "                         match the shell pattern (e.g. '/usr/*')\n"
           "\n"
           "data: prints the counts that the coverage-data and live files hold, one text\n"
           "record per unit and run (a directory stands for its .dat and .qvl files).\n"
           "\n"
           "Exit status: 0 done, 1 after errors (bad input, usage), 3 when a --fail-on-violation\n"
           "or --fail-under limit is not met.\n";
}

}  // namespace qor::report
