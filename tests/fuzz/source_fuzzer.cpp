// One C source file through the whole per-file pipeline, in process: the
// built-in preprocessor, the lexer, the parser, the measurements, the
// results files, the hook scripts, and in dynamic mode the instrumented
// file, the instrumentation script and the condition-coverage records.
//
// The first byte of the input chooses the run's options:
//   bit 0     -inst (dynamic mode)
//   bit 1     -cond
//   bits 2-4  the dialect (kDialects)
//   bit 5     -cppcomment
//   bit 6     QOR_NEWRES=old
//   bit 7     -cb
// The rest is the source file up to a NUL byte, and after it the options
// file (kOptionsFile when there is no NUL). The macro-name file keeps two
// of its macros unexpanded. No compiler is named, so no process is
// started.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run_sequence.hpp"
#include "fuzz_support.hpp"

namespace {

// One dialect of each keyword table family.
constexpr std::array<const char*, 8> kDialects = {"MSC70", "GNU", "ANSI", "C99", "KR78", "IAR", "MSC15", "SUN"};

// The built-in preprocessor defines no macro of the source's #define lines:
// these are the macros the sources can use, with the working directory as
// include directory and two assertions.
constexpr std::string_view kOptionsFile = R"(// options file of the fuzzed sources
D __STDC__ 1
D ZERO 0
D EMPTY
D SELF SELF
D MAX(a,b) ((a)>(b)?(a):(b))
D STR(x) #x
D CAT(a,b) a ## b
D ID(x) x
D CALL(f,x) f(x)
D REC(x) REC(x) + x
D LIST(a,b,c) {a, b, c}
D CHECK(c) if (!(c)) return 0
D NOARGS() 42
I .
A machine (x86)
A system (linux)
)";

constexpr std::string_view kMacroNames = "MAX STR\n";

std::vector<std::string> command_line(uint8_t mode) {
    std::vector<std::string> args{"qor_cc", "-batch", "-nocccp", "-nodate", "-ddef", "input.def",
                                  "-dial", kDialects[(mode >> 2) & 7]};
    if (mode & 1) args.push_back("-inst");
    if (mode & 2) args.push_back("-cond");
    if (mode & 32) args.push_back("-cppcomment");
    if (mode & 128) args.push_back("-cb");
    args.push_back("input.c");
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    qor::fuzz::Workspace workspace;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t end = text.find('\0');
    qor::fuzz::write_file("input.c", text.substr(0, end));
    qor::fuzz::write_file("input.def", end == std::string_view::npos ? kOptionsFile : text.substr(end + 1));
    qor::fuzz::write_file(".qor_cc.mac", kMacroNames);
    if (data[0] & 64)
        setenv("QOR_NEWRES", "old", 1);
    else
        unsetenv("QOR_NEWRES");
    auto args = command_line(data[0]);
    qor::fuzz::run_isolated([&] { qor::run_program(args); });
    // The next input must not find this one's outputs (it may include them).
    qor::fuzz::remove_files({"input.sta", "input.mtr", "input.cb", "input.inst.c", "input.inst.h"});
    return 0;
}
