// Process services: the executable's own path and child processes started
// from an argument vector (never through a shell).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace qor::platform {

// Full, resolved path of the running executable (from /proc/self/exe).
std::string executable_path();

// Outcome of a child process: its exit code, or 128 + the signal number
// when a signal ended it. `started` is false when the program could not be
// started at all; `error` then holds the errno of the attempt.
struct ChildStatus {
    bool started = false;
    int error = 0;
    int status = 0;
};

// Runs argv[0] (searched on PATH) with the given words and waits for it.
// Standard streams are inherited; ours are flushed first so that output
// keeps its order.
ChildStatus run_and_wait(const std::vector<std::string>& argv);

// A child whose standard output is read through a pipe.
class ChildOutput {
public:
    ChildOutput() = default;
    ChildOutput(const ChildOutput&) = delete;
    ChildOutput& operator=(const ChildOutput&) = delete;
    ~ChildOutput();

    // Starts the child; false (with errno kept in `error()`) when it fails.
    bool start(const std::vector<std::string>& argv);
    FILE* stream() const { return stream_; }
    int error() const { return error_; }
    // Closes the pipe and waits for the child.
    ChildStatus finish();

private:
    FILE* stream_ = nullptr;
    int pid_ = -1;
    int error_ = 0;
};

}  // namespace qor::platform
