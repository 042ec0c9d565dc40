// The directories that #include searches, merged from the command line's
// lists and the definitions file's I lines as the compiler merges them:
//   -iquote (for "..." only), -I, then the system directories: -isystem,
//   the standard ones (I lines), -idirafter.
// Missing directories are dropped, and so are repeated ones: a system
// directory keeps its first place, a -I or -iquote naming a system
// directory is dropped, as is a repeated -I or -iquote, and the last
// -iquote directory when it is the first directory searched after it.
#pragma once

#include <string>
#include <vector>

#include <clang/Basic/FileManager.h>
#include <clang/Lex/DirectoryLookup.h>

#include "options.hpp"

namespace full_prepro {

struct SearchChain {
    std::vector<clang::DirectoryLookup> lookups;
    unsigned first_angled = 0;  // where #include <...> starts
    unsigned first_system = 0;  // where the system headers' directories start
};

SearchChain search_chain(clang::FileManager& files, const SearchDirectories& directories,
                         const std::vector<std::string>& standard);

}  // namespace full_prepro
