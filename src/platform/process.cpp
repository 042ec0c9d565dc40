#include "platform/process.hpp"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qor::platform {

namespace {

bool is_executable_file(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::vector<char*> c_argv(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    out.reserve(argv.size() + 1);
    for (const auto& word : argv) out.push_back(const_cast<char*>(word.c_str()));
    out.push_back(nullptr);
    return out;
}

int wait_status(int pid) {
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR) return 127;
    }
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return 127;
}

bool open_non_terminal(int fd, struct stat& info) { return fstat(fd, &info) == 0 && !isatty(fd); }

int memory_file(const char* name) { return memfd_create(name, MFD_CLOEXEC); }

// Copies all of `from` (from its start) to `to`, waiting where `to` was
// left non-blocking by whoever opened it.
void copy_all(int from, int to) {
    if (lseek(from, 0, SEEK_SET) != 0) return;
    char buffer[65536];
    for (;;) {
        ssize_t n = read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd ready{to, POLLOUT, 0};
                if (poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
            }
            if (w <= 0) return;
            done += w;
        }
    }
}

void close_if_open(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// The whole content of a memory file.
std::string read_all(int fd) {
    std::string text;
    if (lseek(fd, 0, SEEK_SET) != 0) return text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

}  // namespace

std::optional<std::string> find_program(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) {
        if (is_executable_file(name)) return name;
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/bin:/usr/bin";
    for (size_t start = 0;;) {
        size_t end = directories.find(':', start);
        std::string directory = directories.substr(start, end - start);
        std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        if (is_executable_file(candidate)) return candidate;
        if (end == std::string::npos) return std::nullopt;
        start = end + 1;
    }
}

std::string executable_path() {
    std::vector<char> buf(PATH_MAX + 1);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

ChildStatus run_and_wait(const std::vector<std::string>& argv) {
    ChildStatus result;
    if (argv.empty()) {
        result.error = ENOENT;
        return result;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    auto args = c_argv(argv);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (rc != 0) {
        result.error = rc;
        return result;
    }
    result.started = true;
    result.status = wait_status(pid);
    return result;
}

CapturedOutput run_capturing(const std::vector<std::string>& argv) {
    CapturedOutput result;
    int out = memory_file("captured standard output");
    int err = memory_file("captured standard error");
    if (argv.empty() || out < 0 || err < 0) {
        result.status.error = argv.empty() ? ENOENT : errno;
        close_if_open(out);
        close_if_open(err);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    auto args = c_argv(argv);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.status.error = rc;
    } else {
        result.status.started = true;
        result.status.status = wait_status(pid);
        result.out = read_all(out);
        result.err = read_all(err);
    }
    close_if_open(out);
    close_if_open(err);
    return result;
}

ChildOutput::~ChildOutput() {
    if (stream_) finish();
}

bool ChildOutput::start(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        error_ = ENOENT;
        return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error_ = errno;
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::fflush(stdout);
    std::fflush(stderr);
    auto args = c_argv(argv);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        error_ = rc;
        return false;
    }
    pid_ = pid;
    stream_ = fdopen(fds[0], "r");
    if (!stream_) {
        error_ = errno;
        close(fds[0]);
        wait_status(pid_);
        pid_ = -1;
        return false;
    }
    return true;
}

ChildStatus ChildOutput::finish() {
    ChildStatus result;
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (pid_ > 0) {
        result.started = true;
        result.status = wait_status(pid_);
        pid_ = -1;
    }
    return result;
}

HeldChild::~HeldChild() {
    wait();
    close_if_open(held_out_);
    close_if_open(held_err_);
}

bool HeldChild::start(const std::vector<std::string>& argv) {
    struct stat out {}, err {};
    if (!open_non_terminal(STDOUT_FILENO, out) || !open_non_terminal(STDERR_FILENO, err)) return false;
    // Streams that share one file share one memory file, so that their
    // lines keep their order within it.
    bool shared = out.st_dev == err.st_dev && out.st_ino == err.st_ino;
    held_out_ = memory_file("held standard output");
    if (!shared) held_err_ = memory_file("held standard error");
    if (held_out_ < 0 || (!shared && held_err_ < 0)) {
        close_if_open(held_out_);
        close_if_open(held_err_);
        return false;
    }
    if (argv.empty()) {
        status_.error = ENOENT;
        return true;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, held_out_, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, shared ? held_out_ : held_err_, STDERR_FILENO);
    auto args = c_argv(argv);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        status_.error = rc;
    else
        pid_ = pid;
    return true;
}

ChildStatus HeldChild::wait() {
    if (pid_ > 0) {
        status_.started = true;
        status_.status = wait_status(pid_);
        pid_ = -1;
    }
    return status_;
}

void HeldChild::give_out_output() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (held_out_ >= 0) copy_all(held_out_, STDOUT_FILENO);
    if (held_err_ >= 0) copy_all(held_err_, STDERR_FILENO);
    close_if_open(held_out_);
    close_if_open(held_err_);
}

}  // namespace qor::platform
