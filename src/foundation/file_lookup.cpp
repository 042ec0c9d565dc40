#include "foundation/file_lookup.hpp"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"

namespace qor {

std::optional<std::string> expand_name(std::string_view name, int level) {
    std::string out;
    size_t i = 0;
    while (i < name.size()) {
        if (name[i] != '$') {
            out += name[i++];
            continue;
        }
        ++i;
        std::string var;
        if (i < name.size() && name[i] == '(') {
            size_t close = name.find(')', i + 1);
            size_t end = close == std::string_view::npos ? name.size() : close;
            var = name.substr(i + 1, end - i - 1);
            i = close == std::string_view::npos ? name.size() : close + 1;
        } else {
            size_t end = name.find_first_of("/\\$", i);
            if (end == std::string_view::npos) end = name.size();
            var = name.substr(i, end - i);
            i = end;
        }
        const char* value = std::getenv(var.c_str());
        if (!value) {
            report_message(level, var + ": Undefined variable.");
            return std::nullopt;
        }
        out += value;
    }
    return out;
}

FilePtr open_file(std::string_view name, const char* mode, int level, NameForm form) {
    if (name.empty()) {
        report_message(level, "empty file name.");
        return nullptr;
    }
    auto expanded = form == NameForm::Literal ? std::string(name) : expand_name(name, level);
    if (!expanded) return nullptr;
    if (platform::is_directory(*expanded)) {
        report_message(level, *expanded + ": is a directory.");
        return nullptr;
    }
    FILE* f = std::fopen(expanded->c_str(), mode);
    if (!f) {
        report_errno(level, *expanded);
        return nullptr;
    }
    return FilePtr(f);
}

bool is_readable(std::string_view name) {
    if (name.empty()) return false;
    auto expanded = expand_name(name, 0);
    return expanded && platform::is_readable_file(*expanded);
}

bool is_directory_name(std::string_view name) {
    return !name.empty() && platform::is_directory(std::string(name));
}

int path_kind(std::string_view name) {
    if (is_directory_name(name)) return 1;
    return is_readable(name) ? 2 : 0;
}

std::optional<std::string> find_config_file(const std::optional<std::string>& explicit_path,
                                            const char* env_var, std::string_view file_name,
                                            bool use_current_dir, bool use_home,
                                            const char* dir_expression) {
    if (explicit_path && is_readable(*explicit_path)) return explicit_path;
    if (env_var) {
        const char* value = std::getenv(env_var);
        if (value && is_readable(value)) return std::string(value);
    }
    if (use_current_dir && is_readable(file_name)) return std::string(file_name);
    if (use_home) {
        const char* home = std::getenv("HOME");
        if (home) {
            std::string candidate = std::string(home) + "/" + std::string(file_name);
            if (is_readable(candidate)) return candidate;
        }
    }
    if (dir_expression) {
        auto dir = expand_name(dir_expression, 0);
        if (dir) {
            std::string candidate = *dir + "/" + std::string(file_name);
            if (is_readable(candidate)) return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> find_in_installation(std::string_view file_name) {
    std::string candidate = executable_directory() + "/../util/" + std::string(file_name);
    if (!platform::is_readable_file(candidate)) return std::nullopt;
    return candidate;
}

std::string executable_directory() {
    std::string exe = platform::executable_path();
    size_t sep = exe.rfind('/');
    return sep == std::string::npos ? "." : exe.substr(0, sep);
}

namespace {

std::string parent_directory(const std::string& path) {
    size_t sep = last_separator(path, SeparatorRule::SlashThenBackslash);
    if (sep == std::string::npos) return ".";
    if (sep == 0) return "/";
    return path.substr(0, sep);
}

}  // namespace

bool make_directories(const std::string& dir) {
    if (dir.empty() || platform::is_directory(dir)) return true;
    std::string parent = parent_directory(dir);
    if (parent != dir && !platform::exists(parent) && !make_directories(parent)) return false;
    return platform::make_directory(dir) || platform::is_directory(dir);
}

bool prepare_path(const std::string& path) {
    std::string dir = parent_directory(path);
    if (!platform::exists(dir) && !make_directories(dir)) return false;
    if (platform::exists(path)) return platform::is_writable(path) && !platform::is_directory(path);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    close(fd);
    platform::remove_file(path);
    return true;
}

}  // namespace qor
