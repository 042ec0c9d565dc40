// Source files: which positions lie in them (the predefines buffer is no
// source file), and their names as messages and line markers show them.
#pragma once

#include <string>
#include <string_view>

#include <clang/Basic/SourceManager.h>

namespace full_prepro {

inline bool is_source_file(const clang::SourceManager& sources, clang::FileID file) {
    return file.isValid() && sources.getFileEntryForID(file) != nullptr;
}

inline bool in_source_file(const clang::SourceManager& sources, clang::SourceLocation location) {
    return is_source_file(sources, sources.getFileID(sources.getExpansionLoc(location)));
}

// The name of the file at `position` as its latest inclusion gave it.
// clang names a file by the name it was first opened under (a header that
// one include line reaches through a symbolic link and another by its own
// name would keep the first); a #line name stands as it is.
inline std::string_view included_name(const clang::SourceManager& sources, const clang::PresumedLoc& position) {
    std::string_view name = position.getFilename();
    const clang::SrcMgr::SLocEntry& entry = sources.getSLocEntry(position.getFileID());
    if (!entry.isFile()) return name;
    const clang::SrcMgr::FileInfo& file = entry.getFile();
    const clang::OptionalFileEntryRef& opened = file.getContentCache().OrigEntry;
    if (opened && std::string_view(opened->getName()) == name && !file.getName().empty()) return file.getName();
    return name;
}

// The file name of a position. clang names a header found beside a file of
// the current directory "./name"; it is shown as the include line wrote
// it. The source keeps the name it was given.
inline std::string_view shown_name(const clang::SourceManager& sources, clang::SourceLocation location,
                                   const clang::PresumedLoc& position) {
    std::string_view name = included_name(sources, position);
    if (sources.getFileID(sources.getExpansionLoc(location)) == sources.getMainFileID()) return name;
    while (name.starts_with("./") && name.size() > 2) name.remove_prefix(2);
    return name;
}

// A file name in double quotes as a line marker writes it.
inline std::string quoted(std::string_view name) {
    std::string text = "\"";
    for (char c : name) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + '"';
}

}  // namespace full_prepro
