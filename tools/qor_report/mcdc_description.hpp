// One record of the archive's mcdc_description section: a decision that
// condition coverage instruments, its conditions and the vectors of
// condition values that give each outcome under short-circuit evaluation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor::report {

struct McdcDescription {
    int component = 0;  // number of the function in component_description
    int decision = 0;   // the decision's number in the run (M lines)
    int line = 0;
    int branch = 0;     // its true branch in the function's .CD. lines; 0 for none
    std::vector<std::string> conditions;
    // One character per condition: '1' true, '0' false, '-' not evaluated.
    std::vector<std::string> true_vectors;
    std::vector<std::string> false_vectors;
    std::string expression;
};

// The description text (its quotes and backslash escapes of the record
// already removed, so a colon inside a text reads "\:"). Throws
// std::invalid_argument naming what is wrong.
McdcDescription parse_mcdc_description(std::string_view text);

}  // namespace qor::report
