// The description record of one decision that condition coverage
// instruments, as the archive's mcdc_description section lists it.
#pragma once

#include <string>

#include "instrument/condition_tree.hpp"

namespace qor {

// A condition or expression text inside a record: '"', ':' and '\' are
// escaped.
std::string description_escaped(const std::string& text);

struct McdcDecision {
    int component = 0;  // the function's number
    int record = 0;     // the record's number in the run, from 1
    int line = 0;
    int decision = 0;   // the decision's true branch number (0 for none)
};

// The record of `tree` (numbered as its conditions are), whose vectors are
// `sets`: a leading line end, after a comma unless it is the file's first
// record. A decision whose root is not && or || shows its expression in
// brackets.
std::string mcdc_record(const McdcDecision& decision, const ConditionNode& tree, const VectorSets& sets, bool first);

}  // namespace qor
