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

}  // namespace qor::report
