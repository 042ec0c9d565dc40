#include "preprocessor/macro_table.hpp"

#include <ctime>

namespace qor {

void MacroTable::define_macro(const std::string& name, std::string body, int param_count) {
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
    define_macro("__LINE__", "", kLineMacro);
    define_macro("__FILE__", "", kFileMacro);
    define_macro("__DATE__", "\"" + std::string(date) + "\"", kObjectLike);
    define_macro("__TIME__", "\"" + std::string(time) + "\"", kObjectLike);
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
