// The names of source files as messages and line markers show them.
#pragma once

#include <string_view>

namespace full_prepro {

// clang names a header found beside a file of the current directory
// "./name"; the name is shown as the include line wrote it.
inline std::string_view shown_name(std::string_view name) {
    while (name.starts_with("./") && name.size() > 2) name.remove_prefix(2);
    return name;
}

}  // namespace full_prepro
