// What the fuzz harnesses share: a private working directory per process
// and the in-process run of the program on one input.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qor::fuzz {

// While it lives, the process's working directory is the current one: a
// directory in $TMPDIR created at first use and removed at exit. It is also
// $HOME, and the environment variables that change a run are removed, so
// that only the input decides what a run does. The directory the fuzzer
// started in (its corpus and file names may be relative) is current again
// afterwards.
class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

private:
    int previous_;
};

// Writes `content` to the file `name`.
void write_file(const std::string& name, std::string_view content);

// Removes the files `names` that exist.
void remove_files(std::initializer_list<const char*> names);

// Runs `body` with fresh diagnostics. A run that ends through
// Diagnostics::exit (a fatal error, the usage text) is an ordinary end of
// the input.
void run_isolated(const std::function<void()>& body);

}  // namespace qor::fuzz
