#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "foundation/diagnostics.hpp"

namespace qor::fuzz {

namespace {

// Thrown by the exit handler: ends the input's run, not the process.
struct RunEnded {};

std::string& workspace_path() {
    static std::string path;
    return path;
}

void remove_workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(workspace_path(), ignored);
}

void create_workspace(std::string& path) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qor_fuzz.XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
    path = pattern;
    std::atexit(remove_workspace);
    setenv("HOME", path.c_str(), 1);
    for (const char* name : {"QOR_CC_NO_DEL", "QOR_CC_DEF", "QOR_UTIL", "QOR_CC_IGN", "QOR_CC_MAC",
                             "QOR_INSTRUMENT_TCL", "QOR_NEWRES", "QOR_CC_INC_WARN"})
        unsetenv(name);
}

}  // namespace

Workspace::Workspace() : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    std::string& path = workspace_path();
    if (path.empty()) create_workspace(path);
    if (previous_ < 0 || chdir(path.c_str()) != 0) throw std::runtime_error("cannot enter " + path);
}

Workspace::~Workspace() {
    if (fchdir(previous_) != 0) std::perror("fchdir");
    close(previous_);
}

void write_file(const std::string& name, std::string_view content) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + name);
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

void remove_files(std::initializer_list<const char*> names) {
    for (const char* name : names) std::remove(name);
}

void run_isolated(const std::function<void()>& body) {
    diagnostics() = Diagnostics();
    diagnostics().set_exit_handler([](int) { throw RunEnded{}; });
    try {
        body();
    } catch (const RunEnded&) {
    }
    std::fflush(nullptr);
}

}  // namespace qor::fuzz
