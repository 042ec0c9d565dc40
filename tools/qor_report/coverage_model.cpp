#include "coverage_model.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_map>

#include "coverage_lines.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"
#include "value_notation.hpp"

namespace qor::report {

namespace {

namespace fs = std::filesystem;

// The branch kind that closes each opening kind.
const std::map<std::string, std::string>& closing_kinds() {
    static const std::map<std::string, std::string> kinds{
        {"If", "Else"}, {"While", "End-While"}, {"For-Loop", "End-For-Loop"}, {"Repeat", "End-Repeat"}};
    return kinds;
}

std::string short_name(const std::string& full_name) {
    size_t slash = full_name.rfind('/');
    return slash == std::string::npos ? full_name : full_name.substr(slash + 1);
}

struct LoadedArchive {
    std::string path;
    Archive archive;
    std::optional<LineMap> lines;
};

// Where the functions of each archive went: the merged function of each
// component name, the merged decision of each decision number.
struct Placement {
    std::map<std::string, FunctionCoverage*> functions;
    std::set<std::string> excluded;  // the components left out on purpose
    std::map<int, DecisionCoverage*> decisions;
};

class CoverageBuilder {
public:
    CoverageBuilder(const std::vector<std::string>& source_dirs, const std::vector<std::string>& excludes)
        : source_dirs_(source_dirs), excludes_(excludes) {}

    void load_archives(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            std::optional<std::string> text = read_text(path);
            if (!text) continue;
            try {
                archives_.push_back({path, read_archive(*text), read_line_map(path)});
            } catch (const SyntaxError& error) {
                report_at(MSG_ERROR, path, error.line, error.what());
            }
        }
        for (const LoadedArchive& loaded : archives_) add_functions(loaded);
        for (FileCoverage& file : report_.files)
            std::sort(file.functions.begin(), file.functions.end(),
                      [](const FunctionCoverage& a, const FunctionCoverage& b) { return a.line < b.line; });
        // The functions are complete and keep their places from now on
        // (sorting the files at the end moves no function).
        placements_.resize(archives_.size());
        for (size_t a = 0; a < archives_.size(); ++a) place(a);
    }

    // The data files first, then the live files: a live file whose
    // process added its counts to a data file before it ended (and could
    // not remove the live file) is counted once.
    void load_data(const std::vector<std::string>& paths) {
        for (const std::string& path : paths)
            if (!has_extension(path, kLiveExtension)) load_data_file(path);
        for (const std::string& path : paths)
            if (has_extension(path, kLiveExtension)) load_live_file(path);
    }

    void load_data_file(const std::string& path) {
        std::optional<std::string> text = read_text(path);
        if (!text) return;
        for (const DataRecord& record : read_coverage_data(*text, file_warnings(path)))
            if (first_sighting(path, record)) add_record(path, record);
    }

    void load_live_file(const std::string& path) {
        std::optional<std::string> text = read_text(path);
        if (!text) return;
        for (const DataRecord& record : read_live_data(*text, file_warnings(path))) {
            if (record.added)
                report_.notes.push_back(path + ": the counts of " + record.header + " were added to " +
                                        live_data_file(path) + "; counted once");
            else if (first_sighting(path, record))
                add_record(path, record);
        }
    }

    // The data file of a live file: its name without .<pid>-<table>.qvl.
    static std::string live_data_file(const std::string& path) {
        std::string name = fs::weakly_canonical(path).string();
        name.resize(name.size() - kLiveExtension.size());
        return name.substr(0, std::min(name.size(), name.rfind('.')));
    }

    // A record met again in another data file (a copy of a file, or of its
    // records) is counted once. Within one file each record is a process of
    // its own, even one that repeats another's counts.
    bool first_sighting(const std::string& path, const DataRecord& record) {
        auto [first, added] = record_places_.emplace(record.fingerprint, std::pair{path, place_text(path, record)});
        if (added || first->second.first == path) return true;
        report_.notes.push_back(place_text(path, record) + ": the same record as " + first->second.second +
                                "; counted once");
        return false;
    }

    // Where a record is: its file and line, or its section's place.
    static std::string place_text(const std::string& path, const DataRecord& record) {
        if (record.section) return path + " (the section at byte " + std::to_string(record.place) + ")";
        return path + ":" + std::to_string(record.line);
    }

    CoverageReport finish() {
        leave_out_unprobed();
        std::sort(report_.files.begin(), report_.files.end(),
                  [](const FileCoverage& a, const FileCoverage& b) { return a.name < b.name; });
        for (FileCoverage& file : report_.files)
            for (FunctionCoverage& function : file.functions)
                for (DecisionCoverage& decision : function.conditions) analyse(decision);
        return std::move(report_);
    }

private:
    // The file that a component of an archive belongs to; one file for
    // every archive that names the same source.
    FileCoverage& file_for(const std::string& name, const std::string& archive) {
        std::optional<std::string> source = find_source(name, archive, source_dirs_);
        std::string key = source ? fs::weakly_canonical(*source).string() : name;
        auto [found, created] = file_keys_.try_emplace(key, report_.files.size());
        if (created) report_.files.push_back({name, archive, source, {}, {}});
        return report_.files[found->second];
    }

    // The function of a component, merged with the one of the same name,
    // line and branches that an earlier archive brought (a static function
    // of a header that several units include).
    void add_functions(const LoadedArchive& loaded) {
        for (const ArchiveComponent& component : loaded.archive.components) {
            if (excluded(component.file, excludes_)) continue;
            FileCoverage& file = file_for(component.file, loaded.path);
            FunctionCoverage function = uncovered(component);
            if (find_same(file, function)) continue;
            function.line_sums = mapped_lines(loaded.lines, component);
            function.decisions = group_branches(descriptions_of(function));
            place_implicit_else(function, component.ifs_with_else);
            file.functions.push_back(std::move(function));
        }
    }

    // The line map beside an archive, when there is one. A map of another
    // version of the source (a static run rewrote the archive) is not
    // used; the lines are then counted from the probes alone.
    static std::optional<LineMap> read_line_map(const std::string& archive) {
        std::string name = line_map_name(archive);
        std::error_code error;
        if (!fs::is_regular_file(name, error)) return std::nullopt;
        std::optional<std::string> text = read_text(name);
        if (!text) return std::nullopt;
        LineMapResult result = parse_line_map(*text);
        if (!result.map)
            report_at(MSG_WARNING, name, result.error_line, "malformed line map; lines are counted from the probes");
        return result.map;
    }

    static std::vector<MappedLine> mapped_lines(const std::optional<LineMap>& map, const ArchiveComponent& component) {
        if (!map || map->date != component.date) return {};
        for (const FunctionLines& function : map->functions)
            if (function.name == component.name && function.line == component.line) return function.lines;
        return {};
    }

    // The branch of an if without else is shown on the if's line: it runs
    // where the condition is false, not where the if ends (the archive
    // keeps the line it was described at). The k-th if of the branches is
    // the k-th of the control graph.
    static void place_implicit_else(FunctionCoverage& function, const std::vector<bool>& ifs_with_else) {
        size_t k = 0;
        for (const std::vector<size_t>& group : function.decisions) {
            BranchDescription& first = function.branches[group.front()].description;
            if (first.kind != "If") continue;
            bool has_else = k < ifs_with_else.size() ? ifs_with_else[k] : true;
            ++k;
            if (!has_else && group.size() == 2) function.branches[group[1]].description.line = first.line;
        }
    }

    // The function of a component before any run: its branches are the
    // .CD. lines but the entry.
    static FunctionCoverage uncovered(const ArchiveComponent& component) {
        FunctionCoverage function;
        function.name = component.name;
        function.line = component.line;
        for (const BranchDescription& branch : component.branches)
            if (branch.kind != "Begin") function.branches.push_back({branch, 0, {}, {}});
        return function;
    }

    static std::vector<BranchDescription> descriptions_of(const FunctionCoverage& function) {
        std::vector<BranchDescription> out;
        for (const BranchCoverage& branch : function.branches) out.push_back(branch.description);
        return out;
    }

    static FunctionCoverage* find_same(FileCoverage& file, const FunctionCoverage& function) {
        for (FunctionCoverage& existing : file.functions)
            if (existing.name == function.name && existing.line == function.line &&
                existing.branches.size() == function.branches.size())
                return &existing;
        return nullptr;
    }

    void place(size_t index) {
        const LoadedArchive& loaded = archives_[index];
        Placement& placement = placements_[index];
        for (const ArchiveComponent& component : loaded.archive.components) {
            if (excluded(component.file, excludes_)) {
                placement.excluded.insert(component.name);
                continue;
            }
            FileCoverage& file = file_for(component.file, loaded.path);
            placement.functions[component.name] = find_same(file, uncovered(component));
        }
        // The k-th decision of a function in one archive is the k-th in
        // every archive that holds the same function. Every decision is
        // in place before any is pointed to.
        std::vector<std::pair<FunctionCoverage*, size_t>> positions;
        std::map<FunctionCoverage*, size_t> seen;
        for (const McdcDescription& description : loaded.archive.decisions) {
            FunctionCoverage* target =
                description.conditions.size() < 2 ? nullptr : function_of(loaded.archive, placement, description);
            if (!target) {
                positions.emplace_back(nullptr, 0);
                continue;
            }
            size_t k = seen[target]++;
            if (k == target->conditions.size()) target->conditions.push_back({description, {}, 0, {}, {}});
            positions.emplace_back(target, k);
        }
        for (size_t d = 0; d < positions.size(); ++d) {
            auto [target, k] = positions[d];
            if (target && k < target->conditions.size())
                placement.decisions[loaded.archive.decisions[d].decision] = &target->conditions[k];
        }
    }

    static FunctionCoverage* function_of(const Archive& archive, const Placement& placement,
                                         const McdcDescription& description) {
        auto name = archive.component_names.find(description.component);
        if (name == archive.component_names.end()) return nullptr;
        auto function = placement.functions.find(short_name(name->second));
        return function == placement.functions.end() ? nullptr : function->second;
    }

    // The archive of a unit: the one beside its header with the unit's
    // stem, else the only one with that stem, else the only one whose stem
    // ends the unit's stem (a name prefix).
    std::optional<size_t> archive_of(const std::string& header) const {
        std::string stem = unit_stem(header);
        fs::path directory = fs::path(header).parent_path();
        std::vector<size_t> same_stem, suffix;
        for (size_t a = 0; a < archives_.size(); ++a) {
            fs::path path(archives_[a].path);
            std::string archive_stem = path.stem().string();
            if (archive_stem == stem) {
                std::error_code error;
                if (fs::equivalent(fs::absolute(path).parent_path(), directory, error)) return a;
                same_stem.push_back(a);
            } else if (stem.size() > archive_stem.size() && stem.ends_with(archive_stem)) {
                suffix.push_back(a);
            }
        }
        if (same_stem.size() == 1) return same_stem[0];
        if (same_stem.empty() && suffix.size() == 1) return suffix[0];
        return std::nullopt;
    }

    void add_record(const std::string& path, const DataRecord& record) {
        std::optional<size_t> archive = archive_of(record.header);
        if (!archive) {
            report_at(MSG_WARNING, path, record.line, "no archive for the unit of " + record.header + "; record left out");
            return;
        }
        const Archive& described = archives_[*archive].archive;
        if (!described.components.empty() && described.components.front().date != record.date) {
            report_at(MSG_WARNING, path, record.line,
                      "the record is of another version of the source than " + archives_[*archive].path + "; left out");
            return;
        }
        int run = run_of(path, record);
        for (const FunctionData& data : record.functions) {
            probed_[*archive].insert(short_name(data.name));
            add_function(path, record, run, *archive, data);
        }
    }

    // A unit's record lists every function that has probes. A function
    // that the records of its units never list got none (an inline
    // definition with external linkage): it has no coverage to show.
    void leave_out_unprobed() {
        std::map<const FunctionCoverage*, bool> probed;
        for (const auto& [archive, names] : probed_) {
            for (const auto& [name, function] : placements_[archive].functions)
                if (function) probed[function] = probed[function] || names.count(name) > 0;
        }
        for (FileCoverage& file : report_.files) {
            std::erase_if(file.functions, [&](const FunctionCoverage& function) {
                auto found = probed.find(&function);
                return found != probed.end() && !found->second;
            });
        }
        std::erase_if(report_.files, [](const FileCoverage& file) { return file.functions.empty(); });
    }

    // The records of one process belong to one run, wherever other
    // processes' records came between them; a unit met again under the same
    // process number is a later process that got the number again.
    int run_of(const std::string& path, const DataRecord& record) {
        if (record.runs > 0) return sum_run_of(path, record);
        auto open = open_runs_.find({path, record.pid});
        if (open != open_runs_.end()) {
            Run& run = report_.runs[static_cast<size_t>(open->second) - 1];
            if (std::find(run.headers.begin(), run.headers.end(), record.header) == run.headers.end()) {
                run.headers.push_back(record.header);
                return run.number;
            }
        }
        int number = static_cast<int>(report_.runs.size()) + 1;
        report_.runs.push_back({number, path, record.line, record.pid, {record.header}, 0, {}});
        open_runs_[{path, record.pid}] = number;
        return number;
    }

    // The sections of one data file and test label make one run.
    int sum_run_of(const std::string& path, const DataRecord& record) {
        auto [open, added] = sum_runs_.emplace(std::pair{path, record.label}, static_cast<int>(report_.runs.size()) + 1);
        if (added) report_.runs.push_back({open->second, path, 0, 0, {}, 0, record.label});
        Run& run = report_.runs[static_cast<size_t>(open->second) - 1];
        run.headers.push_back(record.header);
        run.added = std::max(run.added, record.runs);
        return run.number;
    }

    void add_function(const std::string& path, const DataRecord& record, int run, size_t archive,
                      const FunctionData& data) {
        const Placement& placement = placements_[archive];
        if (placement.excluded.count(short_name(data.name))) return;
        auto found = placement.functions.find(short_name(data.name));
        FunctionCoverage* function = found == placement.functions.end() ? nullptr : found->second;
        if (!function || data.branches.size() != function->branches.size() + 2) {
            report_at(MSG_WARNING, path, record.line,
                      "function " + data.name + " does not match " + archives_[archive].path + "; its counts are left out");
            return;
        }
        function->entries += data.entries;
        function->exits += data.exits;
        if (data.entries > 0) function->runs.insert(run);
        // B lists branch 0 and the entry (1) before the .CD. lines' branches.
        for (size_t b = 0; b < function->branches.size(); ++b) {
            BranchCoverage& branch = function->branches[b];
            Count count = static_cast<size_t>(branch.description.number) < data.branches.size()
                              ? data.branches[branch.description.number] : 0;
            branch.count += count;
            if (count > 0) branch.runs.insert(run);
        }
        function->calls = std::max(function->calls, data.calls.size());
        for (const VectorCount& vector : data.vectors) {
            auto decision = placement.decisions.find(vector.decision);
            if (decision != placement.decisions.end()) observe(*decision->second, vector, run);
        }
        for (const auto& [number, count] : data.lost)
            if (auto decision = placement.decisions.find(number); decision != placement.decisions.end())
                decision->second->lost += count;
        executed_calls_[function].resize(function->calls, false);
        for (size_t c = 0; c < data.calls.size(); ++c)
            if (data.calls[c] > 0) executed_calls_[function][c] = true;
        function->calls_executed = static_cast<size_t>(
            std::count(executed_calls_[function].begin(), executed_calls_[function].end(), true));
    }

    static void observe(DecisionCoverage& decision, const VectorCount& vector, int run) {
        auto same = std::find_if(decision.observed.begin(), decision.observed.end(), [&](const ObservedVector& o) {
            return o.vector == vector.vector && o.outcome == vector.outcome;
        });
        if (same == decision.observed.end()) {
            decision.observed.push_back({vector.vector, vector.outcome, 0, {}});
            same = decision.observed.end() - 1;
        }
        same->count += vector.count;
        if (vector.count > 0) same->runs.insert(run);
    }

    static void analyse(DecisionCoverage& decision) {
        std::sort(decision.observed.begin(), decision.observed.end(), [](const ObservedVector& a, const ObservedVector& b) {
            return a.outcome != b.outcome ? a.outcome : a.vector < b.vector;
        });
        std::vector<Evaluation> evaluations;
        for (const ObservedVector& o : decision.observed) evaluations.push_back({o.vector, o.outcome});
        DecisionFunction function{decision.description.true_vectors, decision.description.false_vectors};
        decision.conditions = analyse_independence(function, evaluations, decision.description.conditions);
    }

    const std::vector<std::string>& source_dirs_;
    const std::vector<std::string>& excludes_;
    std::vector<LoadedArchive> archives_;
    std::vector<Placement> placements_;
    std::unordered_map<size_t, std::pair<std::string, std::string>> record_places_;  // fingerprint: first file, place
    std::map<std::string, size_t> file_keys_;
    std::map<FunctionCoverage*, std::vector<bool>> executed_calls_;
    // The names in the records of each archive's unit, for the archives
    // that have records.
    std::map<size_t, std::set<std::string>> probed_;
    CoverageReport report_;
    std::map<std::pair<std::string, long>, int> open_runs_;  // data or live file and process: its latest run
    std::map<std::pair<std::string, std::string>, int> sum_runs_;  // data file and label: its run
};

}  // namespace

void CoverageTotals::add(const CoverageTotals& other) {
    functions += other.functions;
    functions_entered += other.functions_entered;
    lines += other.lines;
    lines_run += other.lines_run;
    lines_justified += other.lines_justified;
    branches += other.branches;
    branches_taken += other.branches_taken;
    branches_justified += other.branches_justified;
    decisions += other.decisions;
    conditions += other.conditions;
    unique_cause += other.unique_cause;
    masking += other.masking;
    unique_cause_justified += other.unique_cause_justified;
    masking_justified += other.masking_justified;
}

CoverageTotals totals_of(const FunctionCoverage& function) {
    CoverageTotals totals;
    totals.functions = 1;
    totals.functions_entered = function.entries > 0;
    totals.branches = function.branches.size();
    for (const BranchCoverage& branch : function.branches) {
        totals.branches_taken += branch.count > 0;
        totals.branches_justified += branch.count == 0 && branch.justification;
    }
    for (const DecisionCoverage& decision : function.conditions) {
        ++totals.decisions;
        size_t conditions = decision.description.conditions.size();
        size_t unique_cause = 0, masking = 0;
        for (const ConditionIndependence& condition : decision.conditions) {
            unique_cause += condition.unique_cause.shown;
            masking += condition.masking.shown;
        }
        totals.conditions += conditions;
        totals.unique_cause += unique_cause;
        totals.masking += masking;
        if (decision.justification) {
            totals.unique_cause_justified += conditions - unique_cause;
            totals.masking_justified += conditions - masking;
        }
    }
    return totals;
}

CoverageTotals FileCoverage::totals() const {
    CoverageTotals totals;
    for (const FunctionCoverage& function : functions) totals.add(totals_of(function));
    for (const auto& [number, line] : line_coverage(*this)) {
        ++totals.lines;
        totals.lines_run += line.hits > 0;
        totals.lines_justified += line.hits == 0 && justified_lines.count(number) > 0;
    }
    return totals;
}

CoverageTotals CoverageReport::totals() const {
    CoverageTotals totals;
    for (const FileCoverage& file : files) totals.add(file.totals());
    return totals;
}

std::vector<std::vector<size_t>> group_branches(const std::vector<BranchDescription>& branches) {
    struct Open {
        std::string closing;  // the kind that ends it
        std::string text;     // the text the closing branch has
        size_t group;
    };
    std::vector<std::vector<size_t>> groups;
    std::vector<Open> open;
    auto join = [&](size_t i, const std::string& kind, const std::string& text, bool close) {
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            if (it->closing != kind || it->text != text) continue;
            groups[it->group].push_back(i);
            if (close) open.erase(std::next(it).base());
            return true;
        }
        return false;
    };
    for (size_t i = 0; i < branches.size(); ++i) {
        const BranchDescription& branch = branches[i];
        if (auto closing = closing_kinds().find(branch.kind); closing != closing_kinds().end()) {
            open.push_back({closing->second, "not(" + branch.text + ")", groups.size()});
            groups.push_back({i});
            continue;
        }
        bool is_case = branch.kind == "Case" || branch.kind == "Else-Case";
        // A case group's text is "<switch expression> == <labels>".
        std::string text = is_case ? branch.text.substr(0, branch.text.find(" == ")) : branch.text;
        if (join(i, is_case ? "Case" : branch.kind, text, !is_case || branch.kind == "Else-Case")) continue;
        groups.push_back({i});
        if (is_case && branch.kind == "Case") open.push_back({"Case", text, groups.size() - 1});
    }
    return groups;
}

std::string unit_stem(const std::string& header) {
    std::string name = fs::path(header).filename().string();
    if (name.ends_with(".h")) name.resize(name.size() - 2);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string percent_text(size_t part, size_t whole) {
    if (whole == 0) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

CoverageReport build_coverage(const std::vector<std::string>& archives, const std::vector<std::string>& data_files,
                              const std::vector<std::string>& source_dirs, const std::vector<std::string>& excludes) {
    CoverageBuilder builder(source_dirs, excludes);
    builder.load_archives(archives);
    builder.load_data(data_files);
    return builder.finish();
}

}  // namespace qor::report
