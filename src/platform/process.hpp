// Process services: the executable's own path and child processes started
// from an argument vector (never through a shell).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace qor::platform {

// Full, resolved path of the running executable (from /proc/self/exe).
std::string executable_path();

// The executable file that `name` starts: the name itself when it holds a
// '/', else the first found on PATH, as posix_spawnp finds it.
std::optional<std::string> find_program(const std::string& name);
inline bool is_program(const std::string& name) { return find_program(name).has_value(); }

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

// What a finished child wrote to its standard output and error.
struct CapturedOutput {
    ChildStatus status;
    std::string out;
    std::string err;
};

// Runs argv[0] (searched on PATH) with standard input from /dev/null and
// its standard output and error kept, and waits for it.
CapturedOutput run_capturing(const std::vector<std::string>& argv);

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

// A child started before its turn: what it writes to its standard output
// and error is held in memory files and given out only when its turn
// comes, so that it keeps its place among this process's own output.
class HeldChild {
public:
    HeldChild() = default;
    HeldChild(const HeldChild&) = delete;
    HeldChild& operator=(const HeldChild&) = delete;
    // Waits for a child still running; its output is dropped.
    ~HeldChild();

    // False when the output cannot be held as it would appear: a standard
    // stream that is a terminal (programs write to one differently, e.g.
    // in colour), or closed, or no memory file to be had. Nothing is
    // started then. A program that cannot be started gives a `ChildStatus`
    // that says so when the child is waited for.
    bool start(const std::vector<std::string>& argv);
    // Waits for the child's end; its output stays held.
    ChildStatus wait();
    // Writes the held output where the child would have written it.
    void give_out_output();

private:
    int held_out_ = -1;
    int held_err_ = -1;  // -1 when both streams go to one file
    int pid_ = -1;
    ChildStatus status_;
};

}  // namespace qor::platform
