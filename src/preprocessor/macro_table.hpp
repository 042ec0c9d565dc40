// The macros known to the analyser itself: those of the options file, of
// the -D options, and the built-ins. A #define of the source text does not
// enter this table.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>

namespace qor {

// Parameter counts with a meaning of their own.
inline constexpr int kObjectLike = -1;
inline constexpr int kLineMacro = -2;
inline constexpr int kFileMacro = -3;

// Bytes of a macro body with a meaning for the expander.
inline constexpr unsigned char kArgumentReference = 253;    // followed by n
inline constexpr unsigned char kArgumentReferencePlus1 = 127;  // followed by n + 1
inline constexpr unsigned char kStringize = 28;             // before a reference
// Codes written into expansion text and dropped by the character layer.
inline constexpr char kTokenSeparator = 2;
inline constexpr char kArgumentEnd = 3;
inline constexpr char kArgumentStart = 4;

struct Macro {
    std::string body;
    int param_count = kObjectLike;
    bool function_like() const { return param_count >= 0; }
};

class MacroTable {
public:
    // A name that exists is replaced.
    void define_macro(const std::string& name, std::string body, int param_count);
    bool remove_macro(const std::string& name);
    bool is_macro(const std::string& name) const { return macros_.count(name) != 0; }
    const Macro* find(const std::string& name) const;
    void clear_macros() { macros_.clear(); }

    // __LINE__, __FILE__, __DATE__ and __TIME__ of a run started at `now`.
    void define_builtins(long now);

private:
    std::unordered_map<std::string, Macro> macros_;
};

// The text that __FILE__ gives for a file name: the name in double quotes
// with backslashes and double quotes escaped.
std::string quoted_file_name(const std::string& name);

}  // namespace qor
