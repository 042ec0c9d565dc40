// The comment markers that tell qor_cc about macro uses and included files
// (preprocessor/marker_protocol.hpp has their form).
#pragma once

#include <string>
#include <string_view>

#include "preprocessor/marker_protocol.hpp"

namespace full_prepro {

// "/*@QOR #macro NAME*/", or "/*@QOR #macro NAME(ARGUMENTS)*/" with the
// arguments as written (`arguments` holds their parentheses).
std::string macro_marker(std::string_view name, std::string_view arguments);
// Closes the expansion that the last macro marker opened.
inline const std::string kEndMarker = qor::marker_comment(qor::kExpansionEndWord, "");
// "/*@QOR #incl: PATH"*/" before the line marker that enters PATH.
std::string include_marker(std::string_view path);

// Source text made fit for a marker's payload: comments and line breaks
// become single blanks, runs of blanks one blank, and a "*/" that would end
// the marker early is split.
std::string payload_text(std::string_view text);

// An author's comment that starts like a marker would be taken for one.
bool looks_like_marker(std::string_view comment);

}  // namespace full_prepro
