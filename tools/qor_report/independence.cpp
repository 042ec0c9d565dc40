#include "independence.hpp"

#include <algorithm>
#include <optional>

namespace qor::report {

namespace {

bool evaluated(char value) { return value == '0' || value == '1'; }

// Whether a vector of the analysis and a cube have an assignment in common.
bool meets(const std::string& vector, const std::string& cube) {
    for (size_t k = 0; k < cube.size() && k < vector.size(); ++k)
        if (cube[k] != '*' && vector[k] != '-' && vector[k] != cube[k]) return false;
    return true;
}

// The conditions in which a pair's evaluations differ, both having
// evaluated them, other than `condition`.
std::vector<bool> evaluated_differences(const std::string& u, const std::string& v, size_t condition) {
    std::vector<bool> changed(u.size(), false);
    for (size_t k = 0; k < u.size(); ++k)
        changed[k] = k != condition && evaluated(u[k]) && evaluated(v[k]) && u[k] != v[k];
    return changed;
}

std::string names_of(const std::vector<bool>& changed, const std::vector<std::string>& names) {
    std::string out;
    for (size_t k = 0; k < changed.size(); ++k) {
        if (!changed[k]) continue;
        if (!out.empty()) out += ", ";
        out += k < names.size() ? names[k] : "condition " + std::to_string(k + 1);
    }
    return out;
}

// For each evaluation, the conditions not masked in it: those whose value,
// the evaluated conditions fixed and the others free, decides its outcome.
// Such a condition is one where an analysis vector of the other outcome
// conflicts with the evaluation in that condition alone (what masked()
// tests on the texts).
class Sensitivity {
public:
    Sensitivity(const DecisionFunction& function, const std::vector<Evaluation>& evaluations, size_t width) {
        for (const Evaluation& e : evaluations) {
            std::vector<bool> deciding(width, false);
            for (const std::string& other : e.outcome ? function.false_vectors : function.true_vectors)
                if (std::optional<size_t> k = single_conflict(e.vector, other); k && *k < width) deciding[*k] = true;
            deciding_.push_back(std::move(deciding));
        }
    }

    // The conditions of `changed` masked in neither evaluation.
    std::vector<bool> unmasked(size_t first, size_t second, std::vector<bool> changed) const {
        for (size_t k = 0; k < changed.size(); ++k)
            changed[k] = changed[k] && deciding_[first][k] && deciding_[second][k];
        return changed;
    }

private:
    static std::optional<size_t> single_conflict(const std::string& vector, const std::string& other) {
        std::optional<size_t> found;
        for (size_t k = 0; k < vector.size() && k < other.size(); ++k) {
            if (!evaluated(vector[k]) || other[k] == '-' || other[k] == vector[k]) continue;
            if (found) return std::nullopt;
            found = k;
        }
        return found;
    }

    std::vector<std::vector<bool>> deciding_;
};

class ConditionSearch {
public:
    ConditionSearch(const Sensitivity& sensitivity, const std::vector<Evaluation>& evaluations,
                    const std::vector<std::string>& names, size_t condition)
        : sensitivity_(sensitivity), evaluations_(evaluations), names_(names), condition_(condition) {}

    ConditionIndependence result() {
        ConditionIndependence out;
        if (std::string reason = hopeless(); !reason.empty()) {
            out.unique_cause.reason = out.masking.reason = reason;
            return out;
        }
        search(out);
        return out;
    }

private:
    // The reason no pair can exist, or "".
    std::string hopeless() const {
        if (evaluations_.empty()) return "the decision was never evaluated";
        bool values[2] = {false, false};
        for (const Evaluation& e : evaluations_) {
            if (!fits(e)) continue;
            char value = e.vector[condition_];
            if (evaluated(value)) values[value - '0'] = true;
        }
        if (!values[0] && !values[1]) return "never evaluated";
        if (!values[0]) return "never false";
        if (!values[1]) return "never true";
        return "";
    }

    // A vector of another width (the run-time never writes one) takes no part.
    bool fits(const Evaluation& e) const { return e.vector.size() == names_.size(); }

    bool candidate(const Evaluation& u, const Evaluation& v) const {
        if (!fits(u) || !fits(v)) return false;
        char a = u.vector[condition_], b = v.vector[condition_];
        return evaluated(a) && evaluated(b) && a != b && u.outcome != v.outcome;
    }

    void search(ConditionIndependence& out) {
        size_t fewest = SIZE_MAX;   // other differences of the closest unique-cause candidate
        bool masking_near = false;  // a candidate for masking was met
        for (size_t i = 0; i < evaluations_.size(); ++i) {
            for (size_t j = i + 1; j < evaluations_.size(); ++j) {
                const Evaluation& u = evaluations_[i];
                const Evaluation& v = evaluations_[j];
                if (!candidate(u, v)) continue;
                std::vector<bool> changed = evaluated_differences(u.vector, v.vector, condition_);
                size_t n = static_cast<size_t>(std::count(changed.begin(), changed.end(), true));
                int pair[2] = {static_cast<int>(i), static_cast<int>(j)};
                if (n == 0 && !out.unique_cause.shown) show(out.unique_cause, pair);
                if (n < fewest && !out.unique_cause.shown) {
                    fewest = n;
                    near(out.unique_cause, pair, "also differ in " + names_of(changed, names_));
                }
                if (!out.masking.shown) {
                    std::vector<bool> unmasked = sensitivity_.unmasked(i, j, changed);
                    if (std::count(unmasked.begin(), unmasked.end(), true) == 0) {
                        show(out.masking, pair);
                    } else if (!masking_near) {
                        masking_near = true;
                        near(out.masking, pair,
                             "also differ in " + names_of(unmasked, names_) + ", not masked in either");
                    }
                }
                if (out.unique_cause.shown && out.masking.shown) return;
            }
        }
        if (fewest == SIZE_MAX)
            out.unique_cause.reason = out.masking.reason =
                "no two evaluations that differ in it have different outcomes";
    }

    void show(Independence& result, const int pair[2]) {
        result = {true, pair[0], pair[1], ""};
    }
    void near(Independence& result, const int pair[2], const std::string& why) {
        result = {false, pair[0], pair[1],
                  evaluations_[pair[0]].vector + " and " + evaluations_[pair[1]].vector + " " + why};
    }

    const Sensitivity& sensitivity_;
    const std::vector<Evaluation>& evaluations_;
    const std::vector<std::string>& names_;
    size_t condition_;
};

}  // namespace

bool DecisionFunction::constant_on(const std::string& cube, bool outcome) const {
    // The other outcome's vectors cover every assignment that does not give
    // this one.
    for (const std::string& vector : outcome ? false_vectors : true_vectors)
        if (meets(vector, cube)) return false;
    return true;
}

bool masked(const DecisionFunction& function, const std::string& vector, bool outcome, size_t condition) {
    std::string cube = vector;
    for (size_t k = 0; k < cube.size(); ++k)
        if (cube[k] == '-' || k == condition) cube[k] = '*';
    return function.constant_on(cube, outcome);
}

std::vector<ConditionIndependence> analyse_independence(const DecisionFunction& function,
                                                         const std::vector<Evaluation>& evaluations,
                                                         const std::vector<std::string>& condition_names) {
    Sensitivity sensitivity(function, evaluations, condition_names.size());
    std::vector<ConditionIndependence> out;
    for (size_t condition = 0; condition < condition_names.size(); ++condition)
        out.push_back(ConditionSearch(sensitivity, evaluations, condition_names, condition).result());
    return out;
}

}  // namespace qor::report
