// The one channel for warnings, errors and fatal errors: counts them,
// prints them on standard error, prints the closing summary and ends the
// run on fatal errors and crashes.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace qor {

class ErrorTally;

enum MessageKind : int {
    MSG_WARNING = 1,
    MSG_ERROR = 2,
    MSG_FATAL = 3,
    MSG_LEXICAL = 4,
};

class Diagnostics {
public:
    using ExitHandler = std::function<void(int)>;

    explicit Diagnostics(FILE* out = stderr) : out_(out) {}

    void set_program_name(std::string name) { program_name_ = std::move(name); }
    const std::string& program_name() const { return program_name_; }

    // Prints and counts one message; any kind outside 1..4 is ignored.
    void report(int kind, std::string_view text);
    // Prints the summary line; 1 when an error was counted, else 0.
    int print_error_summary();
    // Ends the process through the registered exit handler.
    [[noreturn]] void exit(int status);
    // What a crash signal does: a fatal exit after earlier errors, else
    // the internal-error text and status 4.
    [[noreturn]] void crash();

    void set_exit_handler(ExitHandler handler) { exit_handler_ = std::move(handler); }
    const ExitHandler& exit_handler() const { return exit_handler_; }
    void set_warnings_enabled(bool on) { warnings_enabled_ = on; }
    bool warnings_enabled() const { return warnings_enabled_; }

    int warning_count() const { return warnings_; }
    int error_count() const { return errors_; }
    int total_lexical_errors() const { return total_lexical_errors_; }

private:
    friend class ErrorTally;

    void count_error();
    void print_split(std::string_view text, const char* label, const char* whole_prefix);

    FILE* out_;
    std::string program_name_ = "qor_cc";
    ExitHandler exit_handler_;
    bool warnings_enabled_ = true;
    int warnings_ = 0;
    int errors_ = 0;
    int total_lexical_errors_ = 0;
    // The innermost tally in progress; each error counts in it and in the
    // tallies around it.
    ErrorTally* tally_ = nullptr;
};

// The process's diagnostics, shared by every part of the program.
Diagnostics& diagnostics();

// The errors reported while a piece of work runs, counted as long as the
// tally lives, so that the work can tell its caller how it went.
struct ErrorCounts {
    int errors = 0;
    int lexical_errors = 0;  // of `errors`
};

class ErrorTally {
public:
    explicit ErrorTally(Diagnostics& counted = diagnostics());
    ~ErrorTally();
    ErrorTally(const ErrorTally&) = delete;
    ErrorTally& operator=(const ErrorTally&) = delete;

    const ErrorCounts& counts() const { return counts_; }

private:
    friend class Diagnostics;

    Diagnostics& counted_;
    ErrorTally* enclosing_;
    ErrorCounts counts_;
};

// A message text split at its colons into a position and a text; both parts
// are empty when the text does not have two non-empty parts.
struct SplitMessage {
    std::string position;
    std::string text;
    bool two_parts() const { return !position.empty() && !text.empty(); }
};
SplitMessage split_message(std::string_view text);

void report_message(int kind, std::string_view text);
void report_at(int kind, std::string_view file, int line, std::string_view text);
// "<name>: <system error text>" for the current errno.
void report_errno(int kind, std::string_view name);
void report_error(std::string_view text);
[[noreturn]] void fatal_error(std::string_view text);
int error_count();
int print_error_summary();
// SIGSEGV, SIGILL, SIGBUS and SIGFPE end the run through Diagnostics::crash.
void install_crash_handler();

}  // namespace qor
