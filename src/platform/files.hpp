// File-system services on POSIX names (UTF-8 bytes, '/' separators).
#pragma once

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace qor::platform {

bool is_directory(const std::string& path);
bool exists(const std::string& path);
// True when the path names something that is not a directory and opens for
// reading (a directory never counts as a readable file here).
bool is_readable_file(const std::string& path);
bool is_writable(const std::string& path);
// fopen for reading that refuses directories (errno EISDIR), which Linux
// would open and then read as empty.
FILE* open_for_reading(const std::string& path);
// mkdir with mode 0777 (umask applies); true on success.
bool make_directory(const std::string& path);
// unlink; true on success.
bool remove_file(const std::string& path);
// What names one file whatever path reaches it: its device and inode.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> file_identity(const std::string& path);
// True when both names exist and are the same file (same device and inode).
bool same_file(const std::string& a, const std::string& b);
std::optional<std::time_t> modification_time(const std::string& path);
// What tells one version of a file from another: the same inode, size and
// modification time to the nanosecond.
struct FileVersion {
    unsigned long long device = 0, inode = 0, size = 0;
    long long seconds = 0, nanoseconds = 0;
    bool regular_file = false;
    bool operator==(const FileVersion&) const = default;
};
std::optional<FileVersion> file_version(const std::string& path);
// The absolute form of a path, without resolving links ("" on failure).
std::string absolute_path(const std::string& path);

// The regular file whose place a new version of `path` takes: `path` with
// its symbolic links resolved, or `path` itself when nothing is there yet.
// None when `path` names something else (a device such as /dev/null, a
// pipe), which can only be written in place.
std::optional<std::string> replaceable_path(const std::string& path);
// Opens `name` for writing as the new version of `target` and returns its
// descriptor (-1 on failure): created, or emptied when an earlier run left
// it, never through a symbolic link; it gets the target's permission bits,
// or a new file's when there is no target.
int create_replacement(const std::string& name, const std::string& target);
// Opens `path` for writing in place, emptied; -1 on failure.
int open_for_writing(const std::string& path);
// Writes all of `data` to `fd` and closes it; false (with errno) at the
// first failure, the descriptor closed all the same.
bool write_and_close(int fd, std::string_view data);
// rename(2): `to` is replaced in one step; true on success.
bool rename_file(const std::string& from, const std::string& to);

// A new file created atomically with mkstemp in $TMPDIR (else /tmp).
// The file exists and is empty when this returns; `path` is empty on failure.
struct TemporaryFile {
    std::string path;
    int fd = -1;
};
TemporaryFile create_temporary_file(const std::string& prefix);

}  // namespace qor::platform
