// The stack of open inputs of one source file: the file itself (or the
// external preprocessor's pipe), included files, and texts pushed by the
// macro expander or pushed back by the readers.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process.hpp"

namespace qor {

// Names of the macros whose expansion a character belongs to; a name in
// this set is not expanded again when it is read (the rescan guard).
using HideSet = std::shared_ptr<const std::vector<std::string>>;

struct InputRecord {
    enum class Kind { File, Pipe, Text };
    Kind kind = Kind::Text;
    std::string buffer;
    size_t pos = 0;
    // File and pipe records.
    FILE* file = nullptr;
    std::unique_ptr<platform::ChildOutput> pipe;
    std::vector<std::string> pipe_command;
    // Wider than a line number: a #line may set it close to the largest
    // int, and reading goes on counting (see InputStack::line).
    long long line = 1;
    std::string opened_name;
    std::string display_name;  // set by #line and line markers
    // Text records that hold a macro expansion.
    HideSet hidden;        // names hidden while reading the expansion's own text
    HideSet outer_hidden;  // names hidden inside its substituted arguments
    int argument_depth = 0;

    bool has_stream() const { return kind != Kind::Text; }
    bool exhausted() const { return pos >= buffer.size(); }
    const std::string& shown_name() const { return display_name.empty() ? opened_name : display_name; }
};

class InputStack {
public:
    InputStack() = default;
    InputStack(const InputStack&) = delete;
    InputStack& operator=(const InputStack&) = delete;
    ~InputStack();

    void push_file(FILE* file, std::string name);
    void push_pipe(std::unique_ptr<platform::ChildOutput> pipe, std::vector<std::string> command, std::string name);
    // A text read before anything else.
    InputRecord& push_text(std::string text);
    void clear();

    // The next raw byte, or -1 when every input is done. Exhausted records
    // are closed and popped on the way; a newline counts a line.
    int get();
    // Takes the byte at the current position of the top record, a stream
    // record whose byte is not a newline (the character layer's fast path).
    void skip_stream_byte() {
        ++records_.back()->pos;
        last_from_stream_ = true;
        if (last_hidden_) last_hidden_.reset();
    }
    // Takes the bytes of the top record, a stream record, from the current
    // position up to the first that `stop` accepts or the end of its buffer
    // (the comment layer's fast path); none when the top record is a text.
    // `stop` must accept a newline, which counts a line.
    template <typename Stop>
    std::string_view take_stream_bytes(Stop stop) {
        InputRecord* record = top();
        if (!record || !record->has_stream()) return {};
        std::string_view rest = std::string_view(record->buffer).substr(record->pos);
        size_t length = 0;
        while (length < rest.size() && !stop(static_cast<unsigned char>(rest[length]))) ++length;
        if (length == 0) return {};
        record->pos += length;
        last_from_stream_ = true;
        if (last_hidden_) last_hidden_.reset();
        return rest.substr(0, length);
    }
    // Puts one byte back in front of the current position.
    void unget(int c);

    bool empty() const { return records_.empty(); }
    // The name and line of the file input that ended last, for messages
    // after the end of the input.
    const std::string& final_name() const { return final_name_; }
    // The innermost record with a stream, or null.
    InputRecord* stream_record();
    const InputRecord* stream_record() const;
    InputRecord* top() { return records_.empty() ? nullptr : records_.back().get(); }
    const std::vector<std::unique_ptr<InputRecord>>& records() const { return records_; }

    size_t stream_count() const;
    int line() const;
    void set_line(int line);
    // Set when a file was entered or left since the flag was last taken.
    bool take_file_changed();
    void set_file_changed() { file_changed_ = true; }
    // The hide set of the record the last byte came from.
    const HideSet& last_hide_set() const { return last_hidden_; }
    bool last_from_stream() const { return last_from_stream_; }
    // Drops expansion texts down to the innermost stream record.
    void discard_texts();
    // Called with the command of a pipe whose child ended with a failure.
    void set_pipe_failure_handler(std::function<void(const std::vector<std::string>&)> handler) {
        pipe_failure_ = std::move(handler);
    }

    // Counts +1 per newline read and -1 per newline put back, when set.
    void set_line_counter(int* counter) { line_counter_ = counter; }

private:
    bool refill(InputRecord& record);
    void pop();
    void count_newline(int delta);

    std::vector<std::unique_ptr<InputRecord>> records_;
    std::string final_name_;
    int final_line_ = 0;
    bool file_changed_ = false;
    HideSet last_hidden_;
    bool last_from_stream_ = false;
    int* line_counter_ = nullptr;
    std::function<void(const std::vector<std::string>&)> pipe_failure_;
};

}  // namespace qor
