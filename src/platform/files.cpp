#include "platform/files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qor::platform {

bool is_directory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool is_readable_file(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    close(fd);
    return ok;
}

bool is_writable(const std::string& path) {
    return access(path.c_str(), W_OK) == 0;
}

FILE* open_for_reading(const std::string& path) {
    if (is_directory(path)) {
        errno = EISDIR;
        return nullptr;
    }
    return std::fopen(path.c_str(), "r");
}

bool make_directory(const std::string& path) {
    return mkdir(path.c_str(), 0777) == 0;
}

bool remove_file(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

std::optional<FileIdentity> file_identity(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

bool same_file(const std::string& a, const std::string& b) {
    std::optional<FileIdentity> first = file_identity(a);
    return first && first == file_identity(b);
}

std::optional<std::time_t> modification_time(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_mtime;
}

std::optional<FileVersion> file_version(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileVersion{st.st_dev, st.st_ino, static_cast<unsigned long long>(st.st_size), st.st_mtim.tv_sec,
                       st.st_mtim.tv_nsec, S_ISREG(st.st_mode)};
}

std::string absolute_path(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::vector<char> buf(4096);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
    std::string cwd(buf.data());
    if (path.empty()) return cwd;
    return cwd == "/" ? "/" + path : cwd + "/" + path;
}

std::optional<std::string> replaceable_path(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return path;
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

int create_replacement(const std::string& name, const std::string& target) {
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    struct stat st;
    if (fd >= 0 && stat(target.c_str(), &st) == 0 && fchmod(fd, st.st_mode & 07777) != 0) {
        int error = errno;
        close(fd);
        unlink(name.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

int open_for_writing(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

bool write_and_close(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int error = n < 0 ? errno : EIO;
            close(fd);
            errno = error;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return close(fd) == 0;
}

bool rename_file(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

TemporaryFile create_temporary_file(const std::string& prefix) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = (dir && *dir) ? dir : "/tmp";
    pattern += "/" + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    TemporaryFile file;
    file.fd = mkstemp(name.data());
    if (file.fd >= 0) file.path = name.data();
    return file;
}

}  // namespace qor::platform
