// Helpers shared by the unit tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/diagnostics.hpp"

namespace qor::test {

// Thrown by the exit handler the tests install, so that a path that ends
// the run can be observed.
struct ExitCalled {
    int status;
};

// A Diagnostics writing into memory.
class CapturedDiagnostics {
public:
    CapturedDiagnostics() : stream_(open_memstream(&buffer_, &size_)), diagnostics_(stream_) {
        diagnostics_.set_program_name("qor_cc");
        diagnostics_.set_exit_handler([](int status) { throw ExitCalled{status}; });
    }
    ~CapturedDiagnostics() {
        std::fclose(stream_);
        std::free(buffer_);
    }
    Diagnostics& operator*() { return diagnostics_; }
    Diagnostics* operator->() { return &diagnostics_; }
    std::string text() {
        std::fflush(stream_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    FILE* stream_;
    Diagnostics diagnostics_;
};

// A fresh directory that the test runs in; the old working directory is
// restored and the directory removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() : old_(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "qor_unit_XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        std::filesystem::current_path(path_);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(path_);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path old_;
    std::filesystem::path path_;
};

inline void write_file(const std::string& name, const std::string& content) {
    FILE* f = std::fopen(name.c_str(), "w");
    std::fputs(content.c_str(), f);
    std::fclose(f);
}

}  // namespace qor::test
