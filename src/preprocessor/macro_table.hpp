// The macros known to the analyser itself: those of the options file, of
// the -D options, and the built-ins. A #define of the source text does not
// enter this table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qor {

// Parameter counts with a meaning of their own.
inline constexpr int kObjectLike = -1;
inline constexpr int kLineMacro = -2;
inline constexpr int kFileMacro = -3;

// Codes written into expansion text and dropped by the character layer.
inline constexpr char kTokenSeparator = 2;
inline constexpr char kArgumentEnd = 3;
inline constexpr char kArgumentStart = 4;

// One piece of a macro body: text as written, or the place of a parameter's
// argument, as written or made a string literal ('#').
struct BodyPiece {
    enum class Kind { Text, Argument, StringizedArgument };
    Kind kind = Kind::Text;
    std::string text;      // of Text
    size_t parameter = 0;  // of the others: the parameter's position
};

// The body of a macro as pieces. Text pieces are never empty and never
// follow one another, so a body ends with text or with a reference.
class MacroBody {
public:
    MacroBody() = default;
    explicit MacroBody(std::string_view text) { add_text(text); }

    void add_text(std::string_view text);
    void add_argument(size_t parameter, BodyPiece::Kind kind);
    // The text at the end of the body, for the rules of '#' and '##' that
    // look back; empty when the body ends with a reference.
    std::string_view trailing_text() const;
    // Drops the last `count` characters of the trailing text.
    void drop_trailing_text(size_t count);

    const std::vector<BodyPiece>& pieces() const { return pieces_; }

private:
    std::vector<BodyPiece> pieces_;
};

struct Macro {
    MacroBody body;
    int param_count = kObjectLike;
    bool function_like() const { return param_count >= 0; }
};

class MacroTable {
public:
    // A name that exists is replaced.
    void define_macro(const std::string& name, MacroBody body, int param_count);
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
