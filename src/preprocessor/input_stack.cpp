#include "preprocessor/input_stack.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "preprocessor/macro_table.hpp"

namespace qor {

namespace {

// Lines beyond the largest int are shown as that.
int shown_line(long long line) { return static_cast<int>(std::min<long long>(line, INT_MAX)); }

}  // namespace

InputStack::~InputStack() { clear(); }

void InputStack::push_file(FILE* file, std::string name) {
    auto record = std::make_unique<InputRecord>();
    record->kind = InputRecord::Kind::File;
    record->file = file;
    record->opened_name = std::move(name);
    records_.push_back(std::move(record));
    file_changed_ = true;
}

void InputStack::push_pipe(std::unique_ptr<platform::ChildOutput> pipe, std::vector<std::string> command,
                           std::string name) {
    auto record = std::make_unique<InputRecord>();
    record->kind = InputRecord::Kind::Pipe;
    record->file = pipe->stream();
    record->pipe = std::move(pipe);
    record->pipe_command = std::move(command);
    record->opened_name = std::move(name);
    records_.push_back(std::move(record));
    file_changed_ = true;
}

InputRecord& InputStack::push_text(std::string text) {
    auto record = std::make_unique<InputRecord>();
    record->buffer = std::move(text);
    records_.push_back(std::move(record));
    return *records_.back();
}

void InputStack::clear() {
    while (!records_.empty()) pop();
}

bool InputStack::refill(InputRecord& record) {
    record.buffer.clear();
    record.pos = 0;
    if (!record.file) return false;
    // One line at a time, NUL bytes included.
    char* line = nullptr;
    size_t capacity = 0;
    ssize_t length = getline(&line, &capacity, record.file);
    if (length > 0) record.buffer.assign(line, static_cast<size_t>(length));
    std::free(line);
    return length > 0;
}

void InputStack::pop() {
    InputRecord& record = *records_.back();
    if (record.kind == InputRecord::Kind::Pipe) {
        record.file = nullptr;
        platform::ChildStatus status = record.pipe->finish();
        if (status.status != 0 && pipe_failure_) pipe_failure_(record.pipe_command);
    } else if (record.kind == InputRecord::Kind::File && record.file) {
        std::fclose(record.file);
    }
    if (record.has_stream()) {
        file_changed_ = true;
        final_name_ = record.shown_name();
        final_line_ = shown_line(record.line);
    }
    records_.pop_back();
}

int InputStack::get() {
    while (!records_.empty()) {
        InputRecord& record = *records_.back();
        if (record.exhausted() && !(record.has_stream() && refill(record))) {
            pop();
            continue;
        }
        unsigned char c = static_cast<unsigned char>(record.buffer[record.pos++]);
        last_from_stream_ = record.has_stream();
        if (!record.has_stream()) {
            // The argument codes open and close the text of a substituted
            // argument, where the expansion's own name is not hidden.
            if (c == kArgumentStart) ++record.argument_depth;
            if (c == kArgumentEnd && record.argument_depth > 0) --record.argument_depth;
            last_hidden_ = record.argument_depth > 0 ? record.outer_hidden : record.hidden;
        } else {
            last_hidden_.reset();
        }
        if (c == '\n') count_newline(1);
        return c;
    }
    last_from_stream_ = false;
    last_hidden_.reset();
    return -1;
}

void InputStack::unget(int c) {
    if (c < 0) return;
    if (records_.empty()) push_text("");
    InputRecord& record = *records_.back();
    if (record.pos > 0) {
        record.buffer[--record.pos] = static_cast<char>(c);
    } else {
        record.buffer.insert(record.buffer.begin(), static_cast<char>(c));
    }
    if (c == '\n') count_newline(-1);
}

void InputStack::count_newline(int delta) {
    if (InputRecord* record = stream_record()) record->line += delta;
    if (line_counter_) *line_counter_ += delta;
}

InputRecord* InputStack::stream_record() {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        if ((*it)->has_stream()) return it->get();
    return nullptr;
}

const InputRecord* InputStack::stream_record() const {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        if ((*it)->has_stream()) return it->get();
    return nullptr;
}

size_t InputStack::stream_count() const {
    size_t count = 0;
    for (const auto& record : records_) count += record->has_stream();
    return count;
}

int InputStack::line() const {
    const InputRecord* record = stream_record();
    return record ? shown_line(record->line) : final_line_;
}

void InputStack::set_line(int line) {
    if (InputRecord* record = stream_record()) record->line = line;
}

bool InputStack::take_file_changed() {
    bool changed = file_changed_;
    file_changed_ = false;
    return changed;
}

void InputStack::discard_texts() {
    while (!records_.empty() && !records_.back()->has_stream()) records_.pop_back();
}

}  // namespace qor
