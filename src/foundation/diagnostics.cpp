#include "foundation/diagnostics.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace qor {

namespace {

// A message keeps at most this many characters, position included.
constexpr size_t kMessageLimit = 1023;

}  // namespace

ErrorTally::ErrorTally(Diagnostics& counted) : counted_(counted), enclosing_(counted.tally_) { counted.tally_ = this; }

ErrorTally::~ErrorTally() { counted_.tally_ = enclosing_; }

void Diagnostics::count_error() {
    ++errors_;
    for (ErrorTally* tally = tally_; tally; tally = tally->enclosing_) ++tally->counts_.errors;
}

SplitMessage split_message(std::string_view text) {
    size_t start = text.find_first_not_of(':');
    if (start == std::string_view::npos) return {};
    size_t colon = text.find(':', start);
    if (colon == std::string_view::npos) return {};
    size_t next = text.find(':', colon + 1);
    std::string_view second = text.substr(colon + 1, next == std::string_view::npos ? std::string_view::npos : next - colon - 1);
    std::string_view first = text.substr(start, colon - start);
    if (!second.empty() && (second[0] == '/' || second[0] == '\\')) {
        // The first part was a drive letter: the position runs on.
        if (next == std::string_view::npos) return {};
        first = text.substr(start, next - start);
        size_t after = text.find(':', next + 1);
        second = text.substr(next + 1, after == std::string_view::npos ? std::string_view::npos : after - next - 1);
    }
    if (first.empty() || second.empty()) return {};
    return {std::string(first), std::string(second)};
}

void Diagnostics::print_split(std::string_view text, const char* label, const char* whole_prefix) {
    SplitMessage parts = split_message(text);
    if (parts.two_parts())
        std::fprintf(out_, "%s: %s: %s\n", parts.position.c_str(), label, parts.text.c_str());
    else
        std::fprintf(out_, "%s%.*s\n", whole_prefix, static_cast<int>(text.size()), text.data());
    std::fflush(out_);
}

void Diagnostics::report(int kind, std::string_view text) {
    if (text.size() > kMessageLimit) text = text.substr(0, kMessageLimit);
    switch (kind) {
    case MSG_WARNING:
        if (warnings_enabled_) print_split(text, "Warning", "Warning: ");
        ++warnings_;
        break;
    case MSG_LEXICAL:
        ++total_lexical_errors_;
        for (ErrorTally* tally = tally_; tally; tally = tally->enclosing_) ++tally->counts_.lexical_errors;
        [[fallthrough]];
    case MSG_ERROR:
        print_split(text, "Error", "Error(s): ");
        count_error();
        break;
    case MSG_FATAL:
        std::fprintf(out_, "%s: Error: %.*s\n", program_name_.c_str(), static_cast<int>(text.size()), text.data());
        std::fflush(out_);
        count_error();
        print_error_summary();
        exit(2);
    default:
        break;
    }
}

int Diagnostics::print_error_summary() {
    bool show_warnings = warnings_ != 0 && warnings_enabled_;
    if (show_warnings || errors_ != 0) std::fprintf(out_, "%s: ", program_name_.c_str());
    std::fflush(out_);
    if (show_warnings) std::fprintf(out_, "%d warning(s)%s", warnings_, errors_ != 0 ? ", " : ".\n");
    int status = 0;
    if (errors_ != 0) {
        std::fprintf(out_, "%d error(s).\n", errors_);
        status = 1;
    }
    std::fflush(out_);
    return status;
}

void Diagnostics::exit(int status) {
    if (exit_handler_) exit_handler_(status);
    std::fflush(nullptr);
    std::exit(status);
}

void Diagnostics::crash() {
    if (errors_ != 0) report(MSG_FATAL, "cannot recover from earlier errors, goodbye.");
    std::fprintf(out_, "%s: %s", program_name_.c_str(),
                 "Internal error : Investigation required.\n Please contact BRISANDOR Support.\n");
    std::fflush(out_);
    exit(4);
}

Diagnostics& diagnostics() {
    static Diagnostics instance;
    return instance;
}

void report_message(int kind, std::string_view text) { diagnostics().report(kind, text); }

void report_at(int kind, std::string_view file, int line, std::string_view text) {
    if (kind == 0) return;
    std::string message(file);
    message += "(" + std::to_string(line) + "): ";
    message += text;
    report_message(kind, message);
}

void report_errno(int kind, std::string_view name) {
    const char* reason = std::strerror(errno);
    std::string message(name);
    message += ": ";
    message += reason;
    report_message(kind, message);
}

void report_error(std::string_view text) { report_message(MSG_ERROR, text); }

void fatal_error(std::string_view text) {
    report_message(MSG_FATAL, text);
    diagnostics().exit(2);  // not reached: a fatal report ends the run
}

int error_count() { return diagnostics().error_count(); }

int print_error_summary() { return diagnostics().print_error_summary(); }

namespace {

void on_crash_signal(int) { diagnostics().crash(); }

}  // namespace

void install_crash_handler() {
    struct sigaction action {};
    action.sa_handler = on_crash_signal;
    sigemptyset(&action.sa_mask);
    // A second fault inside the handler takes the default action instead of
    // looping.
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int sig : {SIGSEGV, SIGILL, SIGBUS, SIGFPE}) sigaction(sig, &action, nullptr);
}

}  // namespace qor
