#include "instrument/system_header_text.hpp"

#include <algorithm>

#include "foundation/char_class.hpp"

namespace qor {

namespace {

// The flags after the file name hold 3: the text is a system header's.
bool system_header(std::string_view marker) {
    size_t first = marker.find('"');
    size_t last = marker.rfind('"');
    if (first == std::string_view::npos || first == last) return false;
    std::string_view flags = marker.substr(last + 1);
    for (size_t i = 0; i < flags.size(); ++i) {
        bool alone = (i == 0 || flags[i - 1] == ' ') && (i + 1 == flags.size() || flags[i + 1] == ' ');
        if (flags[i] == '3' && alone) return true;
    }
    return false;
}

bool blank(std::string_view text) { return std::all_of(text.begin(), text.end(), is_ascii_space); }

}  // namespace

SystemHeaderText::SystemHeaderText(AtomicFile& copy, FILE* companion, std::string companion_name)
    : copy_(copy), companion_(companion), companion_name_(std::move(companion_name)) {
    std::fputs("#pragma GCC system_header\n", companion_);
}

FILE* SystemHeaderText::line_marker(std::string_view marker) {
    if (!system_header(marker)) {
        if (in_system_header_) after_part_ = copy_.text().size();
        in_system_header_ = false;
        return copy_.get();
    }
    if (!in_system_header_) {
        std::string_view copied = copy_.text();
        if (parts_ > 0 && copied.size() >= after_part_ && blank(copied.substr(after_part_))) {
            // The last part goes on; the copy keeps its lines where the
            // part's directives would have stood.
            std::fputs("\n\n\n\n", copy_.get());
        } else {
            // Directives start on a line of their own.
            ++parts_;
            std::fprintf(copy_.get(), "\n#define QVX_SYSTEM_TEXT %d\n#include \"%s\"\n#undef QVX_SYSTEM_TEXT\n",
                         parts_, companion_name_.c_str());
            std::fprintf(companion_, "\n#%s QVX_SYSTEM_TEXT == %d\n", parts_ == 1 ? "if" : "elif", parts_);
        }
        in_system_header_ = true;
    }
    std::fprintf(companion_, "\n# %.*s\n", static_cast<int>(marker.size()), marker.data());
    return companion_;
}

void SystemHeaderText::finish() {
    if (parts_ > 0) std::fputs("\n#endif\n", companion_);
}

}  // namespace qor
