// The compile step of a static build, started together with the analysis
// so that the compiler and the analysis share the machine's cores. What
// the compiler prints is held and given out at the compile step's turn, in
// the same place as when it runs then. When the analysis fails, which
// would have run no compile, the object it made is removed again, so that
// the next build does not take it for up to date.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/process.hpp"

namespace qor {

struct Run;

class EarlyCompile {
public:
    // Starts the compile step now, as the `early_compile` of the run's
    // command line in progress, unless it has to wait for its turn (or
    // there is none, with -noupdate): in dynamic mode (it compiles the
    // instrumented file), with precompiled header options (the analysis
    // adds them), without an explicit output name (its leftovers could not
    // be told) or with one that is not a regular file (a device is never
    // removed), or when its output could not be held as it would appear
    // (a terminal).
    static void start(Run& run);
    // Abandons a compile that did not get its turn.
    ~EarlyCompile();
    EarlyCompile(const EarlyCompile&) = delete;
    EarlyCompile& operator=(const EarlyCompile&) = delete;

    // Whether it runs this command: the one the compile step turns out to
    // need.
    bool runs(const std::vector<std::string>& argv) const { return argv_ == argv; }
    // Waits for the compiler and gives out its output.
    platform::ChildStatus finish();

private:
    EarlyCompile(std::vector<std::string> argv, std::string output);
    // Waits for the compiler, drops its output and removes the output file
    // it made or changed.
    void abandon();

    std::vector<std::string> argv_;
    std::string output_;
    std::optional<platform::FileVersion> output_before_;
    platform::HeldChild compiler_;
    bool finished_ = false;
};

}  // namespace qor
