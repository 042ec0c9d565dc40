#include "independence.hpp"

#include <algorithm>
#include <cstdint>

namespace qor::report {

namespace {

bool evaluated(char value) { return value == '0' || value == '1'; }

// Whether a vector of the analysis and a cube have an assignment in common.
bool meets(const std::string& vector, const std::string& cube) {
    for (size_t k = 0; k < cube.size() && k < vector.size(); ++k)
        if (cube[k] != '*' && vector[k] != '-' && vector[k] != cube[k]) return false;
    return true;
}

// The other conditions in which a candidate pair differs.
std::vector<bool> other_changes(const std::string& u, const std::string& v, size_t condition) {
    std::vector<bool> changed(u.size(), false);
    for (size_t k = 0; k < u.size(); ++k) changed[k] = k != condition && u[k] != v[k];
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

size_t count_of(const std::vector<bool>& changed) {
    size_t n = 0;
    for (bool c : changed) n += c;
    return n;
}

// Whether the conditions that a pair changes are masked in one of its
// evaluations, fast: per evaluation, the positions in which it conflicts
// with each analysis vector of the other outcome, as bit masks. Freeing
// the changed conditions lets the evaluation's cube meet such a vector
// exactly when the conflict lies within them (what masked() tests on the
// texts).
class MaskTable {
public:
    using Mask = std::vector<std::uint64_t>;

    MaskTable(const DecisionFunction& function, const std::vector<Evaluation>& evaluations, size_t width)
        : words_((width + 63) / 64) {
        for (const Evaluation& e : evaluations) {
            std::vector<Mask> masks;
            for (const std::string& other : e.outcome ? function.false_vectors : function.true_vectors)
                masks.push_back(conflict(e.vector, other));
            std::sort(masks.begin(), masks.end());
            masks.erase(std::unique(masks.begin(), masks.end()), masks.end());
            conflicts_.push_back(std::move(masks));
        }
    }

    bool masked(size_t evaluation, const std::vector<bool>& changed) const {
        Mask free(words_, 0);
        for (size_t k = 0; k < changed.size(); ++k)
            if (changed[k]) free[k / 64] |= std::uint64_t{1} << (k % 64);
        for (const Mask& mask : conflicts_[evaluation]) {
            bool within = true;
            for (size_t w = 0; w < words_ && within; ++w) within = (mask[w] & ~free[w]) == 0;
            if (within) return false;
        }
        return true;
    }

private:
    Mask conflict(const std::string& vector, const std::string& other) const {
        Mask mask(words_, 0);
        for (size_t k = 0; k < vector.size() && k < other.size() && k / 64 < words_; ++k)
            if (evaluated(vector[k]) && other[k] != '-' && other[k] != vector[k])
                mask[k / 64] |= std::uint64_t{1} << (k % 64);
        return mask;
    }

    size_t words_;
    std::vector<std::vector<Mask>> conflicts_;
};

class ConditionSearch {
public:
    ConditionSearch(const MaskTable& masks, const std::vector<Evaluation>& evaluations,
                    const std::vector<std::string>& names, size_t condition)
        : masks_(masks), evaluations_(evaluations), names_(names), condition_(condition) {}

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
        size_t fewest = SIZE_MAX;  // other changes of the closest unique-cause candidate
        bool masking_near = false;  // a candidate for masking was met
        for (size_t i = 0; i < evaluations_.size(); ++i) {
            for (size_t j = i + 1; j < evaluations_.size(); ++j) {
                const Evaluation& u = evaluations_[i];
                const Evaluation& v = evaluations_[j];
                if (!candidate(u, v)) continue;
                std::vector<bool> changed = other_changes(u.vector, v.vector, condition_);
                size_t n = count_of(changed);
                int pair[2] = {static_cast<int>(i), static_cast<int>(j)};
                if (n == 0 && !out.unique_cause.shown) show(out.unique_cause, pair);
                if (n < fewest && !out.unique_cause.shown) {
                    fewest = n;
                    near(out.unique_cause, pair, "also differ in " + names_of(changed, names_));
                }
                if (!out.masking.shown) {
                    if (masks_.masked(i, changed) || masks_.masked(j, changed)) {
                        show(out.masking, pair);
                    } else if (!masking_near) {
                        masking_near = true;
                        near(out.masking, pair,
                             "also differ in " + names_of(changed, names_) + ", not masked in either");
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

    const MaskTable& masks_;
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

bool masked(const DecisionFunction& function, const std::string& vector, bool outcome,
            const std::vector<bool>& changed) {
    std::string cube = vector;
    for (size_t k = 0; k < cube.size(); ++k)
        if (cube[k] == '-' || (k < changed.size() && changed[k])) cube[k] = '*';
    return function.constant_on(cube, outcome);
}

std::vector<ConditionIndependence> analyse_independence(const DecisionFunction& function,
                                                         const std::vector<Evaluation>& evaluations,
                                                         const std::vector<std::string>& condition_names) {
    MaskTable masks(function, evaluations, condition_names.size());
    std::vector<ConditionIndependence> out;
    for (size_t condition = 0; condition < condition_names.size(); ++condition)
        out.push_back(ConditionSearch(masks, evaluations, condition_names, condition).result());
    return out;
}

}  // namespace qor::report
