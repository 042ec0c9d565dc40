// full_prepro: the external preprocessor of qor_cc, built on clang's
// preprocessor. It writes the preprocessed source to standard output with
// comments, line markers and the markers that qor_cc reads.
#include <cstdio>
#include <string>
#include <vector>

#include "messages.hpp"
#include "options.hpp"
#include "run.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    full_prepro::Messages messages;
    std::optional<full_prepro::Options> options = full_prepro::parse_options(arguments, messages);
    if (!options) return 1;
    return full_prepro::run(*options, messages, stdout);
}
