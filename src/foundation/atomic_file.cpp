#include "foundation/atomic_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <utility>
#include <vector>

#include "foundation/diagnostics.hpp"
#include "platform/files.hpp"

namespace qor {

namespace {

// The temporaries of the files being written.
std::vector<std::string>& unfinished() {
    static std::vector<std::string> names;
    return names;
}

void forget(const std::string& name) { std::erase(unfinished(), name); }

}  // namespace

AtomicFile::AtomicFile(std::string target, int level) : target_(std::move(target)), level_(level) {
    if (target_.empty()) {
        report_message(level_, "empty file name.");
        return;
    }
    if (platform::is_directory(target_)) {
        report_message(level_, target_ + ": is a directory.");
        return;
    }
    if (auto replaceable = platform::replaceable_path(target_)) {
        replaced_ = *replaceable;
        written_ = replaced_ + "." + std::to_string(getpid()) + ".tmp";
        fd_ = platform::create_replacement(written_, replaced_);
        if (fd_ >= 0) unfinished().push_back(written_);
    } else {
        written_ = target_;
        fd_ = platform::open_for_writing(written_);
    }
    if (fd_ < 0) {
        report_errno(level_, target_);
        return;
    }
    stream_ = open_memstream(&text_, &size_);
    if (!stream_) {
        report_errno(level_, target_);
        discard();
    }
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) discard();
}

void AtomicFile::close_stream() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    close_stream();
    bool written = platform::write_and_close(std::exchange(fd_, -1), std::string_view(text_, size_)) &&
                   (replaced_.empty() || platform::rename_file(written_, replaced_));
    int error = errno;
    std::free(std::exchange(text_, nullptr));
    if (!replaced_.empty()) {
        if (!written) platform::remove_file(written_);
        forget(written_);
    }
    if (written) return true;
    errno = error;
    report_errno(level_, target_);
    return false;
}

void AtomicFile::discard() {
    close_stream();
    std::free(std::exchange(text_, nullptr));
    close(std::exchange(fd_, -1));
    if (replaced_.empty()) return;
    platform::remove_file(written_);
    forget(written_);
}

void remove_unfinished_files() {
    for (const auto& name : unfinished()) platform::remove_file(name);
    unfinished().clear();
}

}  // namespace qor
