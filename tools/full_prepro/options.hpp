// The command line of full_prepro:
//   full_prepro -C -dial <dialect> [-trigraphs] [-$] [-ddef <file>]
//               [-mode=noexp] [-mode=exp] [-mac <file>] <compiler args> <source>
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "messages.hpp"

namespace full_prepro {

// A -D or -U argument, kept in command-line order with the others.
struct MacroOption {
    bool define = true;
    std::string text;  // "NAME", "NAME=VALUE" or "NAME(PARAMS)=VALUE"
};

struct Options {
    std::string dialect = "ansi";
    bool trigraphs = false;
    bool dollar_in_identifiers = true;
    std::optional<std::string> definitions_file;
    bool expansion_mode = true;
    std::optional<std::string> macro_name_file;
    std::vector<MacroOption> macro_options;
    std::vector<std::string> include_directories;
    std::string source;
};

// Reads the arguments after the program name. Compiler-style arguments other
// than -D, -U and -I are ignored; the last word that is neither an option
// nor an option's value is the source. Nothing is returned (after an error
// message) when a value or the source is missing.
std::optional<Options> parse_options(const std::vector<std::string>& arguments, Messages& messages);

}  // namespace full_prepro
