// The markers of justifications in a source's comments.
#include <algorithm>

#include "foundation/diagnostics.hpp"
#include "justification.hpp"

namespace qor::report {

namespace {

struct Comment {
    int line = 0;  // where it starts
    std::string text;  // without its delimiters
};

// The comments of C source text, outside string and character literals.
std::vector<Comment> comments_of(std::string_view text) {
    std::vector<Comment> out;
    int line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\n') {
            ++line;
        } else if (c == '"' || c == '\'') {
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i)
                if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') ++i;
            if (i < text.size() && text[i] == '\n') ++line;
        } else if (c == '/' && next == '/') {
            size_t end = std::min(text.find('\n', i), text.size());
            out.push_back({line, std::string(text.substr(i + 2, end - i - 2))});
            i = end - 1;
        } else if (c == '/' && next == '*') {
            size_t end = std::min(text.find("*/", i + 2), text.size());
            std::string_view body = text.substr(i + 2, end - i - 2);
            out.push_back({line, std::string(body)});
            line += static_cast<int>(std::count(body.begin(), body.end(), '\n'));
            i = std::min(end + 1, text.size());
        }
    }
    return out;
}

// A comment's words on one line: blanks collapsed, the leading '*' of a
// block comment's further lines dropped.
std::string flattened(const std::string& text) {
    std::string out;
    bool line_start = false, blank = false;
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            line_start = blank = true;
        } else if (c == ' ' || c == '\t') {
            blank = true;
        } else if (c == '*' && line_start) {
            line_start = false;
        } else {
            if (blank && !out.empty()) out += ' ';
            out += c;
            line_start = blank = false;
        }
    }
    return out;
}

constexpr std::string_view kPrefix = "qor-justify";

class MarkerReader {
public:
    MarkerReader(const std::string& path, const std::string& file_name) : path_(path), file_name_(file_name) {}

    void comment(const Comment& comment) {
        std::string text = flattened(comment.text);
        // Doc comments (/** */, ///, //!) open with more of their marks.
        text.erase(0, std::min(text.find_first_not_of("*/! "), text.size()));
        if (!text.starts_with(kPrefix)) return;
        std::string_view rest = std::string_view(text).substr(kPrefix.size());
        if (rest.starts_with(":")) {
            if (auto j = justification(comment.line, rest.substr(1))) out_.push_back(std::move(*j));
        } else if (rest.starts_with("-begin:")) {
            if (auto j = justification(comment.line, rest.substr(7))) open_.push_back(std::move(*j));
        } else if (rest.starts_with("-end") && (rest.size() == 4 || rest[4] == ' ' || rest[4] == ':')) {
            close(comment.line);
        } else {
            report_at(MSG_ERROR, path_, comment.line,
                      "unknown marker '" + text.substr(0, text.find_first_of(" :")) +
                          "' (qor-justify or qor-justify-begin, each with a colon, criteria and a reason, "
                          "or qor-justify-end)");
        }
    }

    // The markers, the regions left open ending at `last_line`.
    std::vector<Justification> finish(int last_line) {
        while (!open_.empty()) {
            report_at(MSG_WARNING, path_, open_.back().origin_line,
                      "qor-justify-begin without qor-justify-end; the region ends with the file");
            close(last_line);
        }
        std::stable_sort(out_.begin(), out_.end(),
                  [](const Justification& a, const Justification& b) { return a.origin_line < b.origin_line; });
        return std::move(out_);
    }

private:
    // "CRITERIA REASON" after a marker's colon, for the marker's own line.
    std::optional<Justification> justification(int line, std::string_view body) {
        body.remove_prefix(std::min(body.find_first_not_of(' '), body.size()));
        size_t blank = body.find(' ');
        std::string_view words = body.substr(0, blank);
        std::string_view reason = blank == std::string_view::npos ? std::string_view() : body.substr(blank + 1);
        std::optional<unsigned> criteria = parse_criteria(words);
        if (!criteria) {
            report_at(MSG_ERROR, path_, line,
                      words.empty() ? std::string("the marker names no criterion (") + kCriterionWords + ")"
                                    : "unknown criterion '" + std::string(words) + "' (" + kCriterionWords + ")");
            return std::nullopt;
        }
        if (reason.empty()) {
            report_at(MSG_ERROR, path_, line, "the justification gives no reason");
            return std::nullopt;
        }
        Justification j;
        j.origin = path_;
        j.origin_line = line;
        j.marker = true;
        j.file = file_name_;
        j.first = j.last = line;
        j.criteria = *criteria;
        j.reason = std::string(reason);
        return j;
    }

    void close(int line) {
        if (open_.empty()) {
            report_at(MSG_ERROR, path_, line, "qor-justify-end without qor-justify-begin");
            return;
        }
        open_.back().last = line;
        out_.push_back(std::move(open_.back()));
        open_.pop_back();
    }

    const std::string& path_;
    const std::string& file_name_;
    std::vector<Justification> out_;
    std::vector<Justification> open_;  // the regions begun, innermost last
};

}  // namespace

std::vector<Justification> read_markers(std::string_view text, const std::string& path, const std::string& file_name) {
    MarkerReader reader(path, file_name);
    for (const Comment& comment : comments_of(text)) reader.comment(comment);
    int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + (text.ends_with('\n') ? 0 : 1);
    return reader.finish(lines);
}

}  // namespace qor::report
