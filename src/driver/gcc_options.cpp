#include "driver/gcc_options.hpp"

#include <algorithm>
#include <array>

namespace qor {

namespace {

template <size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view word) {
    return std::find(names.begin(), names.end(), word) != names.end();
}

// gcc's options written as two words, and clang's that build systems use.
constexpr std::array<std::string_view, 62> kSeparateArgument = {
    "-o", "-x", "-D", "-U", "-I", "-L", "-l", "-A", "-B", "-T", "-u", "-z", "-e", "-MF", "-MT", "-MQ",
    "-include", "-imacros", "-isystem", "-idirafter", "-iquote", "-iprefix", "-iwithprefix", "-iwithprefixbefore",
    "-isysroot", "-imultilib", "-imultiarch", "-Xlinker", "-Xassembler", "-Xpreprocessor", "-aux-info", "--param",
    "-dumpbase", "-dumpbase-ext", "-dumpdir", "-wrapper", "--sysroot", "-specs", "--output", "--language",
    "--define-macro", "--undefine-macro", "--include-directory", "--include", "--imacros", "--assert",
    "--library-directory", "--prefix", "--entry", "--for-linker", "--force-link",
    // clang's
    "-Xclang", "-mllvm", "-target", "-Xopenmp-target", "-MJ", "-include-pch", "-ivfsoverlay", "-iframework",
    "-iwithsysroot", "-isystem-after", "-resource-dir"};

// Preprocessing options written as one word when longer than their name
// (`-DX=1`, `-isystemdir`), or as the name and the next word; clang's
// directories for #embed as one word (`--embed-dir=dir`).
constexpr std::array<std::string_view, 9> kPreprocessingPrefixes = {
    "-D", "-U", "-I", "-include", "-imacros", "-isystem", "-idirafter", "-iquote", "--embed-dir=",
};

// Preprocessing options of one word only.
constexpr std::array<std::string_view, 2> kPreprocessingWords = {"-nostdinc", "-undef"};

constexpr std::array<std::string_view, 10> kProductWords = {
    "-E", "-M", "-MM", "--version", "-dumpversion", "-dumpfullversion", "-dumpmachine", "-dumpspecs",
    "--target-help", "-###"};

constexpr std::array<std::string_view, 3> kProductPrefixes = {"-print-", "--print-", "--help"};

constexpr std::array<std::string_view, 4> kDependencyWords = {"-MD", "-MMD", "-MP", "-MG"};

constexpr std::array<std::string_view, 3> kDependencyPrefixes = {"-MF", "-MT", "-MQ"};

}  // namespace

bool gcc_takes_separate_argument(std::string_view word) { return listed(kSeparateArgument, word); }

bool gcc_preprocessing_option(std::string_view word) {
    // clang's options that merely begin like gcc's preprocessing ones.
    if (word.starts_with("-include-pch") || word.starts_with("-isystem-after")) return false;
    if (listed(kPreprocessingWords, word)) return true;
    return std::any_of(kPreprocessingPrefixes.begin(), kPreprocessingPrefixes.end(),
                       [&](std::string_view name) { return word.starts_with(name); });
}

bool gcc_forced_header(std::string_view word) {
    return gcc_preprocessing_option(word) && (word.starts_with("-include") || word.starts_with("-imacros"));
}

bool gcc_product_option(std::string_view word) {
    if (listed(kProductWords, word)) return true;
    return std::any_of(kProductPrefixes.begin(), kProductPrefixes.end(),
                       [&](std::string_view prefix) { return word.starts_with(prefix); });
}

std::vector<GccOption> gcc_option_groups(const std::vector<std::string>& words) {
    std::vector<GccOption> groups;
    for (size_t i = 0; i < words.size();) {
        size_t count = gcc_takes_separate_argument(words[i]) && i + 1 < words.size() ? 2 : 1;
        groups.push_back({i, count});
        i += count;
    }
    return groups;
}

bool gcc_dependency_option(std::string_view word) {
    if (listed(kDependencyWords, word)) return true;
    return std::any_of(kDependencyPrefixes.begin(), kDependencyPrefixes.end(),
                       [&](std::string_view prefix) { return word.starts_with(prefix); });
}

}  // namespace qor
