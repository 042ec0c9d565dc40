// Which C standard the text is read as, from the compiler's own answer:
// the value of __STDC_VERSION__ in the options file of the flags in use.
// C23 brings keywords that older code may use as names, so they are read
// only when that answer says C23 and the compiler has them.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// Whether `value` ("202311L") is C23's __STDC_VERSION__ or that of a
// draft of it (gcc 12 gives 202000L for -std=c2x).
bool is_c23_version(std::string_view value);

// What of C23 the text is read with: its syntax (numbers, enumerations
// with a fixed type) wherever the compiler says C23 or a draft of it; its
// keywords and constants only where the compiler has them too. gcc 12
// answers -std=c2x with 202000L but compiles `typedef int bool;`: its
// keywords came with gcc 13.
struct C23Reading {
    bool syntax = false;
    bool keywords = false;
};

// How the options file at `path` says to read the text; nothing of C23
// when it cannot be read or says nothing of the version.
C23Reading options_file_c23(const std::string& path);

}  // namespace qor
