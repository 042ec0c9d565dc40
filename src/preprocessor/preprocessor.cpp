#include "preprocessor/preprocessor.hpp"

#include <algorithm>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "platform/files.hpp"

namespace qor {

namespace {

// The characters of a comment that count: those that can form identifiers.
bool is_comment_word_char(int c) { return c == '_' || c == '$' || is_ascii_alnum(c); }

// The character that a trigraph ??x stands for, or 0.
int trigraph_char(int c) {
    switch (c) {
    case '=': return '#';
    case '/': return '\\';
    case '\'': return '^';
    case '(': return '[';
    case ')': return ']';
    case '!': return '|';
    case '<': return '{';
    case '>': return '}';
    case '-': return '~';
    default: return 0;
    }
}

}  // namespace

Preprocessor::Preprocessor(const DialectState& dialect) : dialect_(dialect) {}

bool Preprocessor::start_file(const std::string& source) {
    FILE* file = platform::open_for_reading(source);
    if (!file) return false;
    inputs_.push_file(file, source);
    return true;
}

void Preprocessor::start_pipe(std::unique_ptr<platform::ChildOutput> pipe, std::vector<std::string> command,
                              const std::string& name) {
    inputs_.push_pipe(std::move(pipe), std::move(command), name);
}

std::string Preprocessor::current_file() const {
    const InputRecord* record = inputs_.stream_record();
    return record ? record->shown_name() : inputs_.final_name();
}

void Preprocessor::report(int severity, std::string_view message) {
    report_at_position(severity, current_file(), current_line(), message);
}

// Messages before the input starts (the -U option) have no position.
void Preprocessor::report_at_position(int severity, const std::string& file, int line, std::string_view message) {
    if (file.empty())
        report_message(severity, message);
    else
        report_at(severity, file, line, message);
}

// A byte of the input with carriage returns and the argument codes
// dropped.
int Preprocessor::read_raw() {
    for (;;) {
        int c = inputs_.get();
        if (c == '\r' || c == kArgumentStart || c == kArgumentEnd) continue;
        return c;
    }
}

int Preprocessor::read_trigraph() {
    int second = read_raw();
    if (second != '?') {
        inputs_.unget(second);
        return '?';
    }
    int third = read_raw();
    if (int replaced = trigraph_char(third)) return replaced;
    inputs_.unget(third);
    inputs_.unget('?');
    return '?';
}

int Preprocessor::read_char() {
    // Most characters need none of the layer's work.
    if (InputRecord* top = inputs_.top(); top && !top->exhausted() && top->has_stream()) {
        int c = static_cast<unsigned char>(top->buffer[top->pos]);
        if (c != '\r' && c != '?' && c != '/' && c != '\n' && c != kArgumentStart && c != kArgumentEnd) {
            inputs_.skip_stream_byte();
            bool word = is_word_char(c);
            if (word && !in_word_) word_hidden_.reset();
            in_word_ = word;
            return c;
        }
    }
    for (;;) {
        int c = read_raw();
        if (c == '?' && dialect_.ansi_preprocessing) c = read_trigraph();
        if (c == '/' && !in_literal_) {
            int second = read_raw();
            if (second == '*' || second == '/') {
                c = read_comment(second);
                if (c == 0) continue;
            } else {
                inputs_.unget(second);
            }
        }
        if (is_word_char(c)) {
            if (!in_word_) word_hidden_ = inputs_.last_hide_set();
            in_word_ = true;
        } else {
            in_word_ = false;
        }
        return c;
    }
}

void Preprocessor::unread_char(int c) {
    in_word_ = false;
    inputs_.unget(c);
}

void Preprocessor::unread_text(std::string_view text) {
    in_word_ = false;
    // Pushed back into the current input, so that the text keeps where it
    // came from (file text or expansion) and its line count.
    for (auto it = text.rbegin(); it != text.rend(); ++it) inputs_.unget(static_cast<unsigned char>(*it));
}

namespace {

// The bytes of a comment that read_raw drops or that count a line end a
// run of plain bytes taken at once.
bool ends_plain_run(unsigned char c) {
    return c == '\n' || c == '\r' || c == static_cast<unsigned char>(kArgumentStart) ||
           c == static_cast<unsigned char>(kArgumentEnd);
}

}  // namespace

// A comment after its opening "/*" or "//". Returns what stands for it:
// a blank, the newline that ends a line comment, kEndOfInput, or 0 for
// nothing (a block comment without ANSI preprocessing).
int Preprocessor::read_comment(int second) {
    int start_line = current_line();
    bool counted = counting_;
    if (second == '/') {
        int chars = 0;
        int c;
        std::string body;
        for (;;) {
            std::string_view plain = inputs_.take_stream_bytes(ends_plain_run);
            for (char k : plain) chars += is_comment_word_char(static_cast<unsigned char>(k));
            if (keeping_) body += plain;
            if ((c = read_raw()) == '\n' || c == kEndOfInput) break;
            chars += is_comment_word_char(c);
            if (keeping_) body += static_cast<char>(c);
        }
        if (keeping_) {
            // Kept as a block comment, which a "*/" of the text would end.
            kept_comments_ += "/*";
            for (char k : body) {
                if (k == '/' && kept_comments_.back() == '*') kept_comments_ += ' ';
                kept_comments_ += k;
            }
            kept_comments_ += " */ ";
        }
        if (counted) {
            comments_.groups = 1;
            comments_.lines += start_line != last_comment_end_line_;
            comments_.chars += chars;
            last_comment_end_line_ = start_line;
        }
        return c;
    }
    std::string body;
    // The comment ends with its file at the latest.
    size_t streams = inputs_.stream_count();
    std::string file = current_file();
    int end_line = current_line();
    int newlines = 0;
    bool closed = false;
    for (;;) {
        body += inputs_.take_stream_bytes([](unsigned char c) { return c == '*' || ends_plain_run(c); });
        int c = read_raw();
        if (c == kEndOfInput) break;
        if (inputs_.stream_count() < streams) {
            inputs_.unget(c);
            break;
        }
        end_line = current_line();
        if (c == '*') {
            int next = read_raw();
            if (next == '/') {
                closed = true;
                break;
            }
            inputs_.unget(next);
        }
        if (c == '\n') ++newlines;
        body += static_cast<char>(c);
    }
    if (!closed) report_at_position(MSG_ERROR, file, end_line, "EOF in comment");
    bool marker = !comment_marker_.empty() && body.compare(0, comment_marker_.size(), comment_marker_) == 0;
    if (marker && marker_handler_ && marker_handler_(body.substr(comment_marker_.size()))) {
        // The external preprocessor's markers are not the author's comments.
        return dialect_.ansi_preprocessing ? ' ' : 0;
    }
    if (counted) {
        comments_.groups = 1;
        comments_.lines += (start_line != last_comment_end_line_) + newlines;
        for (char c : body) comments_.chars += is_comment_word_char(static_cast<unsigned char>(c));
        last_comment_end_line_ = current_line();
    }
    if (keeping_) {
        std::replace(body.begin(), body.end(), '\n', ' ');
        kept_comments_ += "/*" + body + "*/ ";
    }
    return dialect_.ansi_preprocessing ? ' ' : 0;
}

CommentCounts Preprocessor::take_comment_counts() {
    CommentCounts counts = comments_;
    comments_ = {};
    return counts;
}

bool Preprocessor::reading_file_text() {
    InputRecord* top = inputs_.top();
    return top && top->has_stream();
}

void Preprocessor::note_token_start() {
    if (inputs_.last_from_stream()) expansion_depth_ = 0;
}

void Preprocessor::add_include_directory(const std::string& directory) {
    if (include_directories_.size() >= 256) report(MSG_FATAL, "too many include directories");
    include_directories_.push_back(directory);
}

void Preprocessor::insert_include_directory(const std::string& directory) {
    if (include_directories_.size() >= 256) report(MSG_FATAL, "too many include directories");
    include_directories_.insert(include_directories_.begin() + static_cast<long>(include_insertion_point_++), directory);
}

}  // namespace qor
