// The justifications on the HTML pages: a note in a decision's details,
// a link on each line that holds a justified item, and a table of the
// justifications with their reasons and what they matched.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "justification.hpp"

namespace qor::report {

inline constexpr std::string_view kJustifiedStyle =
    ".just{background:#e3e6f6}a.justified{color:#3b4a9b;font-size:0.8em;margin-right:4px}"
    ".bar.split{display:inline-flex}.bar.split>span.j{background:#9aa5d1}";

// "Justified [2] (branch): reason", for a decision's details.
std::string justification_note(const std::vector<Justification>& justifications, size_t index);

// A link to the justification's row in the page's table, with the reason
// as its title.
std::string justification_link(const std::vector<Justification>& justifications, size_t index);

// The heading and the table of the justifications that `shown` takes,
// each with where it is written, where it applies, its criteria, its
// reason and what it matched: the items that `listed` takes one by one,
// or, when `listed` is empty, how many were justified and covered.
using ItemFilter = std::function<bool(const JustifiedItem&)>;
std::string justifications_table(const std::vector<Justification>& justifications,
                                 const std::function<bool(const Justification&)>& shown, const ItemFilter& listed);

}  // namespace qor::report
