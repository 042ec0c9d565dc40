// The predefined-macros file (-ddef): a compiler's predefined macros (D
// lines), include directories (I lines) and assertions (A lines); E lines
// and comment lines are read and ignored.
#pragma once

#include <string>
#include <vector>

#include "messages.hpp"

namespace full_prepro {

struct FileMacro {
    unsigned line = 0;       // where the D line stands, for messages
    std::string name;
    std::string parameters;  // "(a,b)" as written, empty for an object-like macro
    std::string body;
};

struct Definitions {
    std::vector<FileMacro> macros;
    std::vector<std::string> include_directories;
};

// Reads `path` into `definitions`. An unreadable file is an error; a
// malformed line gives the warning "syntax error in predefined macros file"
// and is skipped. The clang preprocessor has no assertions, so a well-formed
// A line has no effect.
void read_definitions(const std::string& path, Definitions& definitions, Messages& messages);

// Whether the definitions' __STDC_VERSION__ is that of C23.
bool defines_c23(const Definitions& definitions);
// Whether the compiler reads #embed: it then predefines
// __STDC_EMBED_FOUND__, as C23 asks (gcc 12 does neither).
bool defines_embed(const Definitions& definitions);

}  // namespace full_prepro
