// Justifications: lines, branches and conditions that cannot or need not
// be covered, each with the reason why. They are written as comment
// markers in the sources or as lines of a justification file; the reports
// show the items they justify beside those covered and those missed, and
// take the percentages of the items left.
#pragma once

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

// The kinds of item a justification covers, as bits: "line", "branch",
// "mcdc" (the conditions, under both MC/DC criteria), "all".
enum Criterion : unsigned { kJustifyLines = 1, kJustifyBranches = 2, kJustifyConditions = 4, kJustifyAll = 7 };

// The criteria of a word such as "branch" or a list such as "line,mcdc";
// nullopt when a word is not a criterion.
std::optional<unsigned> parse_criteria(std::string_view words);
std::string criteria_text(unsigned criteria);
inline constexpr const char* kCriterionWords = "line, branch, mcdc or all";

// How the percentages count, said with the totals of a report that has
// justifications.
inline constexpr const char* kJustifiedShare =
    "Percentages are of the items not justified: covered / (total - justified); "
    "a justified item that was covered counts as covered.";

// An item that a justification names, and what the runs did with it.
struct JustifiedItem {
    enum class Kind { Line, Branch, Condition };
    Kind kind = Kind::Line;
    std::string file;  // the report's name of the file
    std::string function;
    int line = 0;
    int number = 0;    // a branch's number; a condition's, from 1
    int decision_line = 0;  // a branch's or condition's decision: the line that names it
    std::string text;  // a branch's kind, a condition's text
    // A line run, a branch taken; a condition under each MC/DC criterion.
    bool covered = false;
    bool unique_cause = false;
    bool masking = false;
    // Covered by the runs (a condition under both criteria): the
    // justification was not needed for it.
    bool needless() const { return kind == Kind::Condition ? unique_cause && masking : covered; }
};

struct Justification {
    std::string origin;  // the source with the marker, or the justification file
    int origin_line = 0;
    bool marker = false;
    std::string file;    // a marker's report file name; a file entry's name pattern
    std::string function = "*";
    int first = 1, last = INT_MAX;  // the lines it covers
    unsigned criteria = 0;
    std::string reason;
    std::vector<JustifiedItem> items;  // what it matched, once applied
};

// The justifications that the comments of a source mark: "qor-justify:
// CRITERIA REASON" for the items of its own line, "qor-justify-begin:
// CRITERIA REASON" up to "qor-justify-end" for a region (regions nest),
// in /* */ or // comments. A malformed marker is an error, reported at
// `path`, and left out; a region left open is a warning and ends with the
// file. `file_name` is the report's name of the file.
std::vector<Justification> read_markers(std::string_view text, const std::string& path, const std::string& file_name);

// The entries of a justification file: one a line, five tab-separated
// fields FILE FUNCTION ITEM CRITERIA REASON (FILE a shell pattern of the
// report's file names, FUNCTION a name or *, ITEM a line, FIRST-LAST or
// *); blank lines and lines starting with # are skipped. A malformed line
// is an error, reported at `path`, and left out.
std::vector<Justification> read_justification_file(std::string_view text, const std::string& path);

// "line 5", "branch 3 (Else) on line 4", "condition c1 (a) on line 4".
std::string item_text(const JustifiedItem& item);
// What the runs did with it: "covered", "justified", or for a condition
// "unique-cause justified, masking covered".
std::string status_text(const JustifiedItem& item);
// Where it applies: "line 4", "lines 4-9", "line 4 of f in files matching
// 'u.c'".
std::string scope_text(const Justification& justification);
// The line part of a scope: "4", "4-9", or "*" for every line.
std::string lines_text(const Justification& justification);

}  // namespace qor::report
