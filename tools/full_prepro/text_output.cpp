#include "text_output.hpp"

#include "source_files.hpp"

namespace full_prepro {

namespace {

// Up to this many skipped lines are written as empty lines.
constexpr unsigned kMaxBlankLines = 8;
constexpr size_t kFlushSize = 1 << 16;

}  // namespace

void TextOutput::put(std::string_view text) {
    if (text.empty()) return;
    buffer_ += text;
    last_ = text.back();
    if (buffer_.size() >= kFlushSize) flush();
}

void TextOutput::flush() {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size() || std::fflush(stream_) != 0)
        failed_ = true;
    buffer_.clear();
}

void TextOutput::newline() {
    put("\n");
    text_on_line_ = directive_on_line_ = false;
}

void TextOutput::start_new_line_if_needed() {
    if (!at_line_start()) newline();
}

void TextOutput::line_marker(unsigned line, std::string_view file, bool system_header) {
    start_new_line_if_needed();
    put("# " + std::to_string(line) + " " + quoted(file) + (system_header ? " 3\n" : "\n"));
    file_ = file;
    system_header_ = system_header;
    line_ = line;
}

void TextOutput::move_to_line(unsigned line, bool start_of_line) {
    if ((start_of_line && text_on_line_) || directive_on_line_) {
        newline();
        ++line_;
    }
    if (line == line_) return;
    if (line > line_ && line - line_ <= kMaxBlankLines) {
        put(std::string(line - line_, '\n'));
        text_on_line_ = directive_on_line_ = false;
        line_ = line;
    } else {
        line_marker(line, std::string(file_), system_header_);
    }
}

void TextOutput::write(std::string_view text) {
    put(text);
    for (char c : text) line_ += c == '\n';
    text_on_line_ = true;
}

void TextOutput::write_directive(std::string_view text) {
    put(text);
    directive_on_line_ = true;
}

void TextOutput::write_line(std::string_view text) {
    start_new_line_if_needed();
    put(text);
    put("\n");
}

}  // namespace full_prepro
