#include "preprocessor/macro_table.hpp"

#include <ctime>

namespace qor {

void MacroBody::add_text(std::string_view text) {
    if (text.empty()) return;
    if (!pieces_.empty() && pieces_.back().kind == BodyPiece::Kind::Text)
        pieces_.back().text += text;
    else
        pieces_.push_back(BodyPiece{BodyPiece::Kind::Text, std::string(text), 0});
}

void MacroBody::add_argument(size_t parameter, BodyPiece::Kind kind) {
    pieces_.push_back(BodyPiece{kind, {}, parameter});
}

std::string_view MacroBody::trailing_text() const {
    if (pieces_.empty() || pieces_.back().kind != BodyPiece::Kind::Text) return {};
    return pieces_.back().text;
}

void MacroBody::drop_trailing_text(size_t count) {
    if (count == 0) return;
    std::string& text = pieces_.back().text;
    text.resize(text.size() - count);
    if (text.empty()) pieces_.pop_back();
}

void MacroTable::define_macro(const std::string& name, MacroBody body, int param_count) {
    macros_[name] = Macro{std::move(body), param_count};
}

bool MacroTable::remove_macro(const std::string& name) { return macros_.erase(name) != 0; }

const Macro* MacroTable::find(const std::string& name) const {
    auto it = macros_.find(name);
    return it == macros_.end() ? nullptr : &it->second;
}

void MacroTable::define_builtins(long now) {
    std::time_t when = static_cast<std::time_t>(now);
    std::tm local{};
    localtime_r(&when, &local);
    char date[12] = "";
    char time[9] = "";
    std::strftime(date, sizeof date, "%h %e %Y", &local);
    std::strftime(time, sizeof time, "%T", &local);
    define_macro("__LINE__", MacroBody{}, kLineMacro);
    define_macro("__FILE__", MacroBody{}, kFileMacro);
    define_macro("__DATE__", MacroBody("\"" + std::string(date) + "\""), kObjectLike);
    define_macro("__TIME__", MacroBody("\"" + std::string(time) + "\""), kObjectLike);
}

std::string quoted_file_name(const std::string& name) {
    std::string text = "\"";
    for (char c : name) {
        if (c == '\\' || c == '"') text += '\\';
        text += c;
    }
    return text + "\"";
}

}  // namespace qor
