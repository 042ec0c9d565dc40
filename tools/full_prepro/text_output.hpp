// The preprocessed text on standard output, kept in step with the source
// lines: a few skipped lines become empty lines, more of them or a change of
// file a line marker `# <line> "<file>"`.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace full_prepro {

class TextOutput {
public:
    explicit TextOutput(std::FILE* stream) : stream_(stream) {}
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    ~TextOutput() { flush(); }

    // Names the source line and file of the next output line, with the
    // flag 3 of a system header's text; both stay current for later
    // markers.
    void line_marker(unsigned line, std::string_view file, bool system_header);
    // Goes to the output line of source line `line`; `start_of_line` ends a
    // line that already holds text.
    void move_to_line(unsigned line, bool start_of_line);
    // Ends the current line if it holds text.
    void start_new_line_if_needed();
    // Text on the current line; line breaks inside it are counted.
    void write(std::string_view text);
    // A directive line: the next text goes on a line of its own.
    void write_directive(std::string_view text);
    // A whole line of its own, outside the line count (a marker before a
    // line marker).
    void write_line(std::string_view text);

    bool at_line_start() const { return !text_on_line_ && !directive_on_line_; }
    bool ends_with_blank() const { return last_ == ' '; }
    bool directive_on_line() const { return directive_on_line_; }
    void flush();
    // True once a write to the stream failed (a full disk, a closed pipe).
    bool failed() const { return failed_; }

private:
    void put(std::string_view text);
    void newline();

    std::FILE* stream_;
    std::string buffer_;
    std::string file_;
    bool system_header_ = false;
    unsigned line_ = 1;
    bool text_on_line_ = false;
    bool directive_on_line_ = false;
    char last_ = '\n';
    bool failed_ = false;
};

}  // namespace full_prepro
