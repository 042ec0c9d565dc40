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
//  - unique-cause (the short-circuit form): every other condition has the
//    same value in u and v, or was not evaluated in at least one of them.
//  - masking: every other condition whose values differ is masked in u or
//    in v. A condition is masked in an evaluation when the operators above
//    it make the outcome independent of it (the other operand of an `&&`
//    is false, of an `||` true, or an operand above it is masked); one not
//    evaluated is masked. As each condition is one leaf of the expression,
//    that is: with the evaluation's other evaluated conditions fixed and
//    the rest free, the outcome stays the same whatever the condition's
//    value, which the decision's function decides without parsing it.
// Every unique-cause pair is a masking pair.
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

// Whether `condition` is masked in `vector`, whose outcome is `outcome`.
bool masked(const DecisionFunction& function, const std::string& vector, bool outcome, size_t condition);

}  // namespace qor::report
