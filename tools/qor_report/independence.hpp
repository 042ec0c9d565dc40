// Whether the evaluations of a decision show that each of its conditions
// independently affects the outcome, under unique-cause and under masking
// MC/DC.
//
// A vector has one character per condition: '1' true, '0' false, '-' not
// evaluated (short-circuit). The decision's boolean function is given by
// the analysis vectors of its description: a full assignment is true when
// it matches one of the true vectors ('-' matching anything). Those
// vectors are the short-circuit evaluation paths, so the true and false
// vectors together cover every assignment exactly once.
//
// A pair of evaluated vectors (u, v) shows condition i when i is evaluated
// in both with different values and the outcomes differ, and
//  - unique-cause: every other condition is the same in u and v, a
//    condition not evaluated counting as a value of its own ('-' equals
//    only '-'). Under short-circuit evaluation the pair for the first
//    operand of `a && b` (11 and 0-) therefore differs in b as well.
//  - masking: the other conditions that differ are masked in u or in v:
//    whatever values they take there, with the conditions that vector did
//    not evaluate free as well, its outcome stays the same. Then setting
//    them in that vector to the other vector's values leaves two
//    evaluations that differ in i alone and in the outcome.
// A unique-cause pair is a masking pair too.
#pragma once

#include <string>
#include <vector>

namespace qor::report {

struct Evaluation {
    std::string vector;
    bool outcome = false;
};

struct DecisionFunction {
    std::vector<std::string> true_vectors;
    std::vector<std::string> false_vectors;

    // Whether the outcome is `outcome` for every assignment that matches
    // `cube` ('1', '0', or '*' for free).
    bool constant_on(const std::string& cube, bool outcome) const;
};

// What the evaluations show for one condition under one criterion.
struct Independence {
    bool shown = false;
    int first = -1;   // the pair's evaluations (indexes), when shown or nearly
    int second = -1;
    std::string reason;  // why no pair shows it, when not shown
};

struct ConditionIndependence {
    Independence unique_cause;
    Independence masking;
};

// One result per condition (named in `condition_names`, one per
// character of a vector), from the distinct evaluations observed. Pairs
// are searched in the evaluations' order, so the first shown pair is
// reported.
std::vector<ConditionIndependence> analyse_independence(const DecisionFunction& function,
                                                         const std::vector<Evaluation>& evaluations,
                                                         const std::vector<std::string>& condition_names);

// Whether, in `vector` (whose outcome is `outcome`), the conditions marked
// in `changed` cannot affect the outcome.
bool masked(const DecisionFunction& function, const std::string& vector, bool outcome,
            const std::vector<bool>& changed);

}  // namespace qor::report
