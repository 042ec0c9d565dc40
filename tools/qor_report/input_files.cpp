#include "input_files.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <map>
#include <sstream>

#include "foundation/diagnostics.hpp"
#include "platform/files.hpp"

namespace qor::report {

namespace fs = std::filesystem;

bool has_extension(std::string_view path, std::string_view extension) {
    return path.size() > extension.size() && path.substr(path.size() - extension.size()) == extension;
}

namespace {

// Keeps each file once, by identity, with a note for each path left out.
class DistinctFiles {
public:
    void add(const std::string& path) {
        std::optional<platform::FileIdentity> identity = platform::file_identity(path);
        if (identity) {
            auto [first, added] = first_paths_.emplace(*identity, path);
            if (!added) {
                files_.notes.push_back(path + " is the same file as " + first->second + "; read once");
                return;
            }
        }
        files_.paths.push_back(path);
    }
    InputFiles take() { return std::move(files_); }

private:
    std::map<platform::FileIdentity, std::string> first_paths_;
    InputFiles files_;
};

}  // namespace

InputFiles expand_inputs(const std::vector<std::string>& names, const std::vector<std::string>& extensions) {
    DistinctFiles out;
    for (const std::string& name : names) {
        std::error_code error;
        if (fs::is_directory(name, error)) {
            std::vector<std::string> found;
            for (const auto& entry : fs::directory_iterator(name, error)) {
                std::string path = entry.path().string();
                bool wanted = std::any_of(extensions.begin(), extensions.end(),
                                          [&](const std::string& e) { return has_extension(path, e); });
                if (wanted && entry.is_regular_file(error)) found.push_back(path);
            }
            std::sort(found.begin(), found.end());
            for (const std::string& path : found) out.add(path);
        } else if (fs::exists(name, error)) {
            out.add(name);
        } else {
            report_message(MSG_ERROR, name + ": no such file or directory");
        }
    }
    return out.take();
}

void emit(const std::optional<std::string>& file, const std::string& text) {
    if (file) {
        write_text(*file, text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::optional<std::string> read_text(const std::string& path) {
    FILE* file = platform::open_for_reading(path);
    if (!file) {
        report_errno(MSG_ERROR, path);
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        report_message(MSG_ERROR, path + ": read error");
        return std::nullopt;
    }
    return text;
}

bool write_text(const std::string& path, std::string_view text) {
    // A device or pipe (/dev/stdout) is written in place, never replaced.
    std::error_code error;
    auto status = fs::status(path, error);
    bool replace = !fs::exists(status) || fs::is_regular_file(status);
    std::string temporary = replace ? path + ".tmp" : path;
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) {
        report_errno(MSG_ERROR, path);
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (ok && (!replace || std::rename(temporary.c_str(), path.c_str()) == 0)) return true;
    report_errno(MSG_ERROR, path);
    if (replace) std::remove(temporary.c_str());
    return false;
}

bool excluded(const std::string& name, const std::vector<std::string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return fnmatch(pattern.c_str(), name.c_str(), 0) == 0; });
}

std::optional<std::string> find_source(const std::string& name, const std::string& results_file,
                                       const std::vector<std::string>& source_dirs) {
    if (name.empty()) return std::nullopt;
    auto readable = [](const fs::path& path) { return platform::is_readable_file(path.string()); };
    fs::path given(name);
    if (readable(given)) return given.lexically_normal().string();
    if (given.is_absolute()) return std::nullopt;
    std::vector<fs::path> bases{fs::path(results_file).parent_path()};
    for (const std::string& dir : source_dirs) bases.emplace_back(dir);
    for (const fs::path& base : bases)
        if (!base.empty() && readable(base / given)) return (base / given).lexically_normal().string();
    return std::nullopt;
}

}  // namespace qor::report
