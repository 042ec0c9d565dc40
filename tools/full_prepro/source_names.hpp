// The names of source files as messages and line markers show them.
#pragma once

#include <string>
#include <string_view>

namespace full_prepro {

// clang names a header found beside a file of the current directory
// "./name"; the name is shown as the include line wrote it.
inline std::string_view shown_name(std::string_view name) {
    while (name.starts_with("./") && name.size() > 2) name.remove_prefix(2);
    return name;
}

// A file name in double quotes as a line marker writes it.
inline std::string quoted(std::string_view name) {
    std::string text = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + '"';
}

}  // namespace full_prepro
