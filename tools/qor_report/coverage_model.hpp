// The coverage of a set of runs: the archives of the instrumented files
// give the functions, their branches and their decisions; the records of
// the coverage data (each one unit of one run) give the counts, added up,
// and which runs covered what.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "archive_reader.hpp"
#include "foundation/line_map.hpp"
#include "coverage_data.hpp"
#include "independence.hpp"
#include "justification.hpp"

namespace qor::report {

// One execution of a program: the records that its process wrote into a
// coverage-data file, one per unit that ran; or the executions under one
// test label that a data file adds up, a section per unit.
struct Run {
    int number = 0;  // from 1, in the order of the files and their records
    std::string data_file;
    int line = 0;    // the first record's first line in the file
    long pid = 0;
    std::vector<std::string> headers;  // the units, in the order of their records
    Count added = 0;  // of a sum: the most runs that one of its units added up
    std::string label;
};

using RunSet = std::set<int>;

struct BranchCoverage {
    BranchDescription description;
    Count count = 0;
    RunSet runs;
    std::optional<size_t> justification;  // in CoverageReport::justifications
};

// The evaluations of a decision with one vector and outcome.
struct ObservedVector {
    std::string vector;
    bool outcome = false;
    Count count = 0;
    RunSet runs;
};

struct DecisionCoverage {
    McdcDescription description;
    std::vector<ObservedVector> observed;  // true outcome first, then in vector order
    Count lost = 0;  // evaluations whose vector the run-time could not keep
    std::vector<ConditionIndependence> conditions;  // one per condition, after analyse()
    std::optional<size_t> justification;  // of its conditions, in CoverageReport::justifications
    bool evaluated() const { return !observed.empty() || lost > 0; }
};

struct FunctionCoverage {
    std::string name;  // as the archive names the component
    int line = 0;
    Count entries = 0;
    Count exits = 0;
    RunSet runs;  // the runs that entered it
    std::vector<BranchCoverage> branches;  // the .CD. lines but the entry
    // The branches of each decision (positions in `branches`): the two
    // sides of an if or a loop condition, the case groups of a switch.
    std::vector<std::vector<size_t>> decisions;
    std::vector<DecisionCoverage> conditions;  // the decisions with condition coverage
    size_t calls = 0;
    size_t calls_executed = 0;
    // From the line map beside the archive: how the count of each line
    // with code follows from the branch counts. Empty without one.
    std::vector<MappedLine> line_sums;
};

// What MC/DC counts, said with every report's totals: as the compilers'
// own MC/DC, a decision of one condition is left to branch coverage, in
// every file alike (the analysis writes records for some of them).
inline constexpr const char* kMcdcScope =
    "MC/DC counts the decisions of two or more conditions; "
    "a decision of one condition is covered by its branches.";

// The justified counts are of the justified items that were not covered:
// a justified item that was covered counts as covered.
struct CoverageTotals {
    size_t functions = 0, functions_entered = 0;
    size_t lines = 0, lines_run = 0, lines_justified = 0;  // of files, not of single functions
    size_t branches = 0, branches_taken = 0, branches_justified = 0;
    size_t decisions = 0;  // with MC/DC: two or more conditions
    size_t conditions = 0, unique_cause = 0, masking = 0;
    size_t unique_cause_justified = 0, masking_justified = 0;
    void add(const CoverageTotals& other);
};

// The items a percentage is taken of: the justified ones are left out, so
// that it is covered / (total - justified).
inline size_t to_cover(size_t total, size_t justified) { return total - justified; }

struct FileCoverage {
    std::string name;    // as the archive names it
    std::string archive;
    std::optional<std::string> source;  // the readable source file, when found
    std::vector<FunctionCoverage> functions;  // by line
    std::map<int, size_t> justified_lines;  // line: its entry in CoverageReport::justifications
    CoverageTotals totals() const;
};

struct CoverageReport {
    std::vector<Run> runs;
    // What the reader did with inputs seen twice, said in every report.
    std::vector<std::string> notes;
    std::vector<FileCoverage> files;  // by name
    // Those of the sources' markers and of the justification files, in
    // that order; the reports show the justified counts when there are any.
    std::vector<Justification> justifications;
    bool justifying() const { return !justifications.empty(); }
    CoverageTotals totals() const;
};

CoverageTotals totals_of(const FunctionCoverage& function);

// Reads the archives and the coverage-data files and merges them.
// Unreadable files and malformed archives are errors; records that match
// no archive, or another version of its source, are warnings.
// The components of the source files whose names match `excludes` are
// left out, with their counts.
CoverageReport build_coverage(const std::vector<std::string>& archives, const std::vector<std::string>& data_files,
                              const std::vector<std::string>& source_dirs,
                              const std::vector<std::string>& excludes = {});

// The groups of branches that form one decision, from their kinds and
// texts: If with the Else whose text is not(...) of it, a loop condition
// with its End- branch, the Case groups of one switch with their
// Else-Case. A branch that matches nothing is a decision of its own.
std::vector<std::vector<size_t>> group_branches(const std::vector<BranchDescription>& branches);

// The header name's unit stem: "/out/a.inst.h" -> "a".
std::string unit_stem(const std::string& header);

// A percentage with one decimal, "-" when there is nothing to count.
std::string percent_text(size_t part, size_t whole);

}  // namespace qor::report
