// The text of the system headers in an instrumented copy. It goes to a
// companion header that the copy includes where the text stood, one part
// per stretch, under gcc's line markers with the system-header flag and
// `#pragma GCC system_header`: the compiler judges it as it judges the
// headers themselves, so that no warning of the project's own flags fires
// on it, and the copy keeps no line marker of its own (which -pedantic
// reports). Stretches that only white space of the copy separates (the
// lines of consecutive #include lines) make one part: the compiler reads
// the whole companion for every part, skipping the others.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "foundation/atomic_file.hpp"

namespace qor {

class SystemHeaderText {
public:
    // `companion_name` is the name the copy includes the companion by.
    SystemHeaderText(AtomicFile& copy, FILE* companion, std::string companion_name);

    // For a line marker of the text (what followed its '#'): writes what
    // the switch between the copy and the companion needs, and returns the
    // stream that the text after the marker goes to.
    FILE* line_marker(std::string_view marker);
    // Closes the companion's last part.
    void finish();

private:
    AtomicFile& copy_;
    FILE* companion_;
    std::string companion_name_;
    int parts_ = 0;
    bool in_system_header_ = false;
    // The length of the copy's text when the last part ended.
    std::size_t after_part_ = 0;
};

}  // namespace qor
