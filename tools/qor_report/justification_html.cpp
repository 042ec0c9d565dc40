#include "justification_html.hpp"

#include "coverage_text.hpp"
#include "html_page.hpp"

namespace qor::report {

namespace {

std::string summary_text(const Justification& j) {
    if (j.items.empty()) return "nothing (stale)";
    size_t needless = 0;
    for (const JustifiedItem& item : j.items) needless += item.needless();
    return std::to_string(j.items.size()) + " item(s): " + std::to_string(j.items.size() - needless) +
           " justified, " + std::to_string(needless) + " covered";
}

std::string items_text(const Justification& j, const ItemFilter& listed) {
    if (!listed) return html_escaped(summary_text(j));
    std::string out;
    for (const JustifiedItem& item : j.items)
        if (listed(item)) out += (out.empty() ? "" : "<br>") + html_escaped(item_text(item) + ": " + status_text(item));
    return out.empty() ? "nothing (stale)" : out;
}

}  // namespace

std::string justification_note(const std::vector<Justification>& justifications, size_t index) {
    const Justification& j = justifications[index];
    return "<p class=\"just\">Justified " + justification_ref(index) + " (" + criteria_text(j.criteria) +
           "): " + html_escaped(j.reason) + "</p>";
}

std::string justification_link(const std::vector<Justification>& justifications, size_t index) {
    return "<a class=\"justified\" href=\"#just-" + std::to_string(index + 1) + "\" title=\"" +
           html_escaped(justifications[index].reason) + "\">" + justification_ref(index) + "</a>";
}

std::string justifications_table(const std::vector<Justification>& justifications,
                                 const std::function<bool(const Justification&)>& shown, const ItemFilter& listed) {
    std::string rows;
    for (size_t index = 0; index < justifications.size(); ++index) {
        const Justification& j = justifications[index];
        if (!shown(j)) continue;
        rows += "<tr id=\"just-" + std::to_string(index + 1) + "\"><td>" + justification_ref(index) + "</td><td>" +
                html_escaped(j.origin + ":" + std::to_string(j.origin_line)) + "</td><td>" +
                html_escaped(scope_text(j)) + "</td><td>" + criteria_text(j.criteria) + "</td><td>" +
                html_escaped(j.reason) + "</td><td>" + items_text(j, listed) + "</td></tr>\n";
    }
    if (rows.empty()) return "";
    return "<h2>Justifications</h2>\n<table><tr><th>#</th><th>written at</th><th>applies to</th><th>criteria</th>"
           "<th>reason</th><th>matched</th></tr>\n" + rows + "</table>\n";
}

}  // namespace qor::report
