// The frame of the self-contained HTML pages: escaping, and one document
// with its style and script inline (no network, no external files).
#pragma once

#include <string>
#include <string_view>

namespace qor::report {

// The text with &, <, >, " and ' as character references.
std::string html_escaped(std::string_view text);

// A whole document. `style` and `script` go inline; the script runs after
// the body is parsed.
std::string html_document(std::string_view title, std::string_view style, std::string_view body,
                          std::string_view script);

// A table of class "sortable" with a <thead> whose <th> carry data-type
// "number" or "text", and cells with data-value: a click on a header sorts
// the rows by that column, numbers largest first, texts in order; a second
// click turns the order round.
inline constexpr std::string_view kSortableStyle =
    "th{cursor:pointer;user-select:none}th.sorted-up::after{content:' \\25B2'}"
    "th.sorted-down::after{content:' \\25BC'}";
inline constexpr std::string_view kSortableScript = R"JS(
document.querySelectorAll('table.sortable').forEach(function (table) {
  var headers = table.querySelectorAll('th');
  headers.forEach(function (th, column) {
    th.addEventListener('click', function () {
      var numeric = th.dataset.type === 'number';
      var down = !th.classList.contains('sorted-down') === numeric;
      if (th.classList.contains('sorted-up') || th.classList.contains('sorted-down'))
        down = th.classList.contains('sorted-up');
      headers.forEach(function (h) { h.classList.remove('sorted-up', 'sorted-down'); });
      th.classList.add(down ? 'sorted-down' : 'sorted-up');
      var body = table.tBodies[0];
      var rows = Array.prototype.slice.call(body.rows);
      rows.sort(function (a, b) {
        var x = a.cells[column].dataset.value, y = b.cells[column].dataset.value;
        var order;
        if (numeric) {
          var p = x === '' ? -Infinity : parseFloat(x), q = y === '' ? -Infinity : parseFloat(y);
          order = p < q ? -1 : p > q ? 1 : 0;
        } else {
          order = x < y ? -1 : x > y ? 1 : 0;
        }
        return down ? -order : order;
      });
      rows.forEach(function (row) { body.appendChild(row); });
    });
  });
});
)JS";

}  // namespace qor::report
