// Reads an archive (.sta): each component's record (its source file and
// line, Halstead counters, calls and decision descriptions) and, after
// condition coverage, the component numbers and MC/DC descriptions.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "mcdc_description.hpp"

namespace qor::report {

// One numbered line of a component's .CD. section: a branch that the
// instrumentation counts (or the entry, "Begin").
struct BranchDescription {
    int number = 0;
    std::string kind;  // If, Else, While, End-While, Repeat, End-Repeat, For-Loop, ...
    int line = 0;
    std::string text;  // the condition, "not(...)" or "expression == labels"; "" for Begin
};

struct ArchiveComponent {
    std::string name;
    std::string date;
    std::string file;  // the source file named by the control graph's first node
    int line = 0;      // that node's line
    std::map<std::string, long> counters;  // INST, COMM, OOPN, OPEN, OOPT, OPET
    std::vector<std::string> callees;
    std::vector<BranchDescription> branches;
    // For each if of the control graph, in order: whether it has an else.
    // The branch of an if without one is described on the line where the
    // if ends.
    std::vector<bool> ifs_with_else;
};

struct Archive {
    std::string source;  // the source_description's path, "" without condition coverage
    std::vector<ArchiveComponent> components;  // in record order
    std::map<int, std::string> component_names;  // component_description: number -> full name
    std::vector<McdcDescription> decisions;

    const ArchiveComponent* find(std::string_view name) const;
};

// Parses an archive's text. Throws SyntaxError.
Archive read_archive(std::string_view text);

}  // namespace qor::report
