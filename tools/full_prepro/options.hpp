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

// The include directories of the command line, each list in command-line
// order. The definitions file's I lines are searched after `system` and
// before `after`.
struct SearchDirectories {
    std::vector<std::string> quote;   // -iquote: for #include "..." only
    std::vector<std::string> user;    // -I
    std::vector<std::string> system;  // -isystem
    std::vector<std::string> after;   // -idirafter
};

struct Options {
    std::string dialect = "ansi";
    bool trigraphs = false;
    bool dollar_in_identifiers = true;
    std::optional<std::string> definitions_file;
    bool expansion_mode = true;
    std::optional<std::string> macro_name_file;
    std::vector<MacroOption> macro_options;
    SearchDirectories directories;
    // --embed-dir=: searched for #embed's files, after the including file's
    // directory and the working directory for a "..." name.
    std::vector<std::string> embed_directories;
    // -imacros and -include files, read after the macros of the command line.
    std::vector<std::string> macro_files;
    std::vector<std::string> included_files;
    // -undef: the definitions file's D lines are left out; -nostdinc: its
    // I lines.
    bool without_file_macros = false;
    bool without_file_directories = false;
    std::string source;
};

// Reads the arguments after the program name. Of the compiler-style
// arguments, those that name macros, include directories and files to
// include are taken; those of other compilation steps that take a value are
// skipped with it; any other is ignored. The last word that is neither an
// option nor an option's value is the source. Nothing is returned (after an
// error message) when a value or the source is missing.
std::optional<Options> parse_options(const std::vector<std::string>& arguments, Messages& messages);

}  // namespace full_prepro
