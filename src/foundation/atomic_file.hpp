// A file of results written under a temporary name beside its target and
// renamed over the target only once all of it is written and closed
// without error: a reader, and the next build, finds the old file or the
// whole new one, never a truncated one that looks complete.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qor {

class AtomicFile {
public:
    // Creates the temporary file; a failure is reported at `level` under the
    // target's name. A target that exists and is not a regular file (a
    // device such as /dev/null, a pipe) is written in place.
    AtomicFile(std::string target, int level);
    // A file not committed leaves no temporary and its target unchanged.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    explicit operator bool() const { return stream_ != nullptr; }
    // The text goes to memory, and to the file at commit, so that a write
    // error is seen with its reason.
    FILE* get() const { return stream_; }
    // The text written so far.
    std::string_view text();
    // Writes the text and puts the file in the target's place; a failure is
    // reported at the level and the target keeps its content.
    bool commit();

private:
    void discard();

    std::string target_;     // the name the messages give
    std::string replaced_;   // the file renamed over: the target, links resolved
    std::string temporary_;  // until renamed; none when written in place
    int fd_ = -1;
    FILE* stream_ = nullptr;
    char* text_ = nullptr;
    size_t size_ = 0;
    int level_;
};

// Removes the temporaries of every file not committed: for a run that ends
// early (a fatal error, a crash), whose targets keep what they held.
void remove_unfinished_files();

}  // namespace qor
