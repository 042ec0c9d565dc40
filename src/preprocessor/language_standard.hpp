// Which C standard the text is read as, from the compiler's own answer:
// the value of __STDC_VERSION__ in the options file of the flags in use.
// C23 brings keywords that older code may use as names, so they are read
// only when that answer says C23.
#pragma once

#include <string>
#include <string_view>

namespace qor {

// Whether `value` ("202311L") is C23's __STDC_VERSION__ or that of a
// draft of it (gcc 12 gives 202000L for -std=c2x).
bool is_c23_version(std::string_view value);

// Whether the options file at `path` defines __STDC_VERSION__ so; false
// when it cannot be read or says nothing of it.
bool options_file_is_c23(const std::string& path);

}  // namespace qor
