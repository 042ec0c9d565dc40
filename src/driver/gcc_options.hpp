// What gcc's (and clang's) command line means, for the GNU dialects, which
// read the build's command line as the compiler reads it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor {

// An option that takes the next word as its argument (`-MF deps.d`,
// `-isystem dir`, `-Xlinker x`): the two stay together, and the argument is
// never sorted as a source or object file.
bool gcc_takes_separate_argument(std::string_view word);

// An option that changes the text the preprocessor reads or produces
// (`-DX`, `-I dir`, `-include f.h`, `-isystem d`, `-nostdinc`, `-undef`):
// the analysis's preprocessor gets it too.
bool gcc_preprocessing_option(std::string_view word);

// -include or -imacros: an option that brings a header's text (or its
// macros) in ahead of the source.
bool gcc_forced_header(std::string_view word);

// An option that makes the compiler's standard output (or a file instead of
// an object) the product asked for: preprocessed text, dependency lists,
// version and configuration queries. Such a command line is handed to the
// compiler as it is, with nothing of the analysis around it.
bool gcc_product_option(std::string_view word);

// The options of dependency output that leave the compile going on
// (`-MD`, `-MMD`, `-MP`, `-MG`, and `-MF`, `-MT`, `-MQ` with their
// arguments).
bool gcc_dependency_option(std::string_view word);

// One option of a list of compiler words, with the argument that follows
// it when it takes one, or one file word: `count` words from `index`.
struct GccOption {
    size_t index;
    size_t count;
};

// The compiler words grouped into options and file words.
std::vector<GccOption> gcc_option_groups(const std::vector<std::string>& words);

}  // namespace qor
