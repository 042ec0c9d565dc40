#include "search_chain.hpp"

#include <algorithm>
#include <initializer_list>

namespace full_prepro {

namespace {

using Directories = std::vector<clang::DirectoryEntryRef>;
using Names = std::vector<std::string>;

bool contains(const Directories& directories, clang::DirectoryEntryRef directory) {
    // The file manager gives all names of a directory one entry.
    return std::any_of(directories.begin(), directories.end(),
                       [&](clang::DirectoryEntryRef d) { return &d.getDirEntry() == &directory.getDirEntry(); });
}

// The existing directories of `lists`, in order, that neither come earlier
// nor are in `system`.
Directories distinct(clang::FileManager& files, std::initializer_list<const Names*> lists,
                     const Directories& system) {
    Directories kept;
    for (const Names* names : lists) {
        for (const std::string& name : *names) {
            auto directory = files.getOptionalDirectoryRef(name);
            if (directory && !contains(kept, *directory) && !contains(system, *directory)) kept.push_back(*directory);
        }
    }
    return kept;
}

void add(SearchChain& chain, const Directories& directories, clang::SrcMgr::CharacteristicKind kind) {
    for (clang::DirectoryEntryRef directory : directories) chain.lookups.emplace_back(directory, kind, false);
}

}  // namespace

SearchChain search_chain(clang::FileManager& files, const SearchDirectories& directories, const Names& standard) {
    Directories system = distinct(files, {&directories.system, &standard, &directories.after}, {});
    Directories user = distinct(files, {&directories.user}, system);
    Directories quote = distinct(files, {&directories.quote}, system);
    // A -iquote directory may repeat a -I one, except right before it.
    const Directories& next = user.empty() ? system : user;
    if (!quote.empty() && !next.empty() && &quote.back().getDirEntry() == &next.front().getDirEntry())
        quote.pop_back();
    SearchChain chain;
    add(chain, quote, clang::SrcMgr::C_User);
    chain.first_angled = static_cast<unsigned>(chain.lookups.size());
    add(chain, user, clang::SrcMgr::C_User);
    chain.first_system = static_cast<unsigned>(chain.lookups.size());
    add(chain, system, clang::SrcMgr::C_System);
    return chain;
}

}  // namespace full_prepro
