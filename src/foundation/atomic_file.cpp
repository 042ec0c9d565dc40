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
        temporary_ = replaced_ + "." + std::to_string(getpid()) + ".tmp";
        fd_ = platform::create_replacement(temporary_, replaced_);
        if (fd_ >= 0) unfinished().push_back(temporary_);
    } else {
        fd_ = platform::open_for_writing(target_);
    }
    if (fd_ >= 0) stream_ = open_memstream(&text_, &size_);
    if (!stream_) {
        report_errno(level_, target_);
        discard();
    }
}

AtomicFile::~AtomicFile() { discard(); }

std::string_view AtomicFile::text() {
    if (!stream_ || std::fflush(stream_) != 0) return {};
    return {text_, size_};
}

bool AtomicFile::commit() {
    if (!stream_) return false;
    std::fclose(std::exchange(stream_, nullptr));
    bool written = platform::write_and_close(std::exchange(fd_, -1), std::string_view(text_, size_)) &&
                   (temporary_.empty() || platform::rename_file(temporary_, replaced_));
    int error = errno;
    if (written) forget(std::exchange(temporary_, std::string()));
    discard();
    if (written) return true;
    errno = error;
    report_errno(level_, target_);
    return false;
}

// Everything goes but a target already put in place.
void AtomicFile::discard() {
    if (stream_) std::fclose(std::exchange(stream_, nullptr));
    std::free(std::exchange(text_, nullptr));
    if (fd_ >= 0) close(std::exchange(fd_, -1));
    if (temporary_.empty()) return;
    platform::remove_file(temporary_);
    forget(std::exchange(temporary_, std::string()));
}

void remove_unfinished_files() {
    for (const auto& name : unfinished()) platform::remove_file(name);
    unfinished().clear();
}

}  // namespace qor
