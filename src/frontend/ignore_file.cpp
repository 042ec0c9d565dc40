#include "frontend/ignore_file.hpp"

#include <algorithm>
#include <cstdio>

#include "foundation/char_class.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

constexpr std::string_view kArrow = "-->";
// The end word `$` matches the newline word of the source.
constexpr std::string_view kEndOfLineWord = "$";
constexpr std::string_view kNewline = "\n";

// One line of the file without its newline; false at the end of the file.
bool read_line(FILE* file, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF && c != '\n') line += static_cast<char>(c);
    return c != EOF || !line.empty();
}

std::vector<std::string> split_words(std::string_view line) {
    std::vector<std::string> words;
    constexpr std::string_view separators = " \t\r";
    size_t pos = line.find_first_not_of(separators);
    while (pos != std::string_view::npos) {
        size_t stop = line.find_first_of(separators, pos);
        words.emplace_back(line.substr(pos, stop == std::string_view::npos ? std::string_view::npos : stop - pos));
        pos = stop == std::string_view::npos ? stop : line.find_first_not_of(separators, stop);
    }
    return words;
}

bool is_word_char(int c) { return is_ascii_alnum(c) || c == '_' || c == '$' || c == '-'; }

int bracket_change(std::string_view word) {
    if (word.size() != 1) return 0;
    switch (word[0]) {
    case '(': case '[': case '{': return 1;
    case ')': case ']': case '}': return -1;
    default: return 0;
    }
}

struct SourceWord {
    std::string text;
    bool end_of_input = false;
    size_t start = 0;  // offset in the region text where reading began (leading blanks included)
};

// Splits the source into the words that rules compare, keeping every
// character read in the region text.
class WordReader {
public:
    WordReader(CharSource& input, std::string& region_text) : input_(input), text_(region_text) {}

    SourceWord next() {
        SourceWord word;
        word.start = text_.size();
        if (at_end_) {
            word.end_of_input = true;
            return word;
        }
        int c = input_.read_char();
        while (is_space_or_tab(c)) {
            text_ += static_cast<char>(c);
            c = input_.read_char();
        }
        if (c == kEndOfInput) {
            at_end_ = true;
            word.end_of_input = true;
            return word;
        }
        word.text += static_cast<char>(c);
        if (c == '\n') {
            // The next line is left untouched for the line-start reader.
            text_ += word.text;
            if (at_line_start_) (*at_line_start_)();
            return word;
        }
        int after = input_.read_char();
        if (is_word_char(c)) {
            while (is_word_char(after)) {
                word.text += static_cast<char>(after);
                after = input_.read_char();
            }
        }
        text_ += word.text;
        // One blank or tab directly after the word belongs to it.
        if (is_space_or_tab(after))
            text_ += static_cast<char>(after);
        else if (after == kEndOfInput)
            at_end_ = true;
        else
            input_.unread_char(after);
        return word;
    }

    // From now on called after each end of line.
    void set_line_start_reader(const std::function<void()>* at_line_start) { at_line_start_ = at_line_start; }

private:
    CharSource& input_;
    std::string& text_;
    bool at_end_ = false;  // never read past the end once it was seen
    const std::function<void()>* at_line_start_ = nullptr;
};

}  // namespace

IgnoreRules::Node::~Node() {
    std::vector<std::unique_ptr<Node>> pending;
    auto take_children = [&pending](Node& node) {
        for (auto& [word, child] : node.children)
            if (child) pending.push_back(std::move(child));
    };
    take_children(*this);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        take_children(*node);
        // `node` now owns only empty slots, so its destruction does not recurse.
    }
}

std::optional<IgnoreRules> IgnoreRules::load(const std::string& path) {
    FilePtr file = open_file(path, "r", MSG_WARNING);
    if (!file) return std::nullopt;
    IgnoreRules rules;
    rules.path_ = path;
    std::string line;
    while (read_line(file.get(), line)) {
        std::vector<std::string> words = split_words(line);
        if (words.empty() || words.front().starts_with("//")) continue;
        if (!rules.add_rule(words)) {
            report_message(MSG_WARNING, "syntax error in ignore file");
            return std::nullopt;
        }
    }
    return rules;
}

bool IgnoreRules::add_rule(const std::vector<std::string>& words) {
    EndSequence end;
    auto first = words.begin();
    if (first != words.end() && iequals(*first, "C:")) {
        end.counted = true;
        ++first;
    }
    if (first != words.end() && iequals(*first, "U:")) {
        end.unnested = true;
        ++first;
    }
    auto arrow = std::find(first, words.end(), kArrow);
    if (arrow == words.end() || arrow == first) return false;

    Node* node = &roots_[*first];
    for (auto word = first + 1; word != arrow; ++word) {
        auto& child = node->children[*word];
        if (!child) child = std::make_unique<Node>();
        node = child.get();
    }
    for (auto word = arrow + 1; word != words.end(); ++word)
        end.words.push_back(*word == kEndOfLineWord ? std::string(kNewline) : *word);
    node->end = std::move(end);
    return true;
}

bool IgnoreRules::starts_rule(std::string_view word) const { return roots_.find(word) != roots_.end(); }

IgnoredRegion IgnoreRules::ignore_region(std::string_view start_word, CharSource& input,
                                         const std::function<void()>& at_line_start) const {
    IgnoredRegion region;
    auto root = roots_.find(start_word);
    if (root == roots_.end()) return region;
    WordReader reader(input, region.text);

    // Start sequence: descend while the next word names a child.
    const Node* node = &root->second;
    std::optional<SourceWord> unmatched;
    while (!node->children.empty()) {
        SourceWord word = reader.next();
        if (!word.end_of_input) {
            auto child = node->children.find(word.text);
            if (child != node->children.end()) {
                node = child->second.get();
                continue;
            }
        }
        unmatched = std::move(word);
        break;
    }
    if (!node->end) {
        input.unread_text(region.text);
        region.text.clear();
        return region;
    }
    const EndSequence& end = *node->end;
    region.counted = end.counted;
    if (end.words.empty()) {
        // The region ends with the start sequence; the word read past it goes back.
        if (unmatched) {
            input.unread_text(std::string_view(region.text).substr(unmatched->start));
            region.text.resize(unmatched->start);
        }
        region.found = true;
        return region;
    }

    // The region is certain now: nothing read from here on goes back.
    if (at_line_start) {
        reader.set_line_start_reader(&at_line_start);
        if (unmatched && unmatched->text == kNewline) at_line_start();
    }

    // End sequence: the first end word counts only outside brackets opened in
    // the region; the further end words must follow, newlines aside.
    long depth = 0;
    size_t matched = 0;
    for (SourceWord word = unmatched ? std::move(*unmatched) : reader.next();; word = reader.next()) {
        if (word.end_of_input) {
            if (end.words.front() == kNewline)
                region.found = true;
            else
                region.eof = true;
            return region;
        }
        if (matched > 0 && word.text == end.words[matched])
            ++matched;
        else if (matched > 0 && word.text == kNewline)
            continue;
        else
            matched = depth == 0 && word.text == end.words.front() ? 1 : 0;
        if (matched == end.words.size()) {
            region.found = true;
            return region;
        }
        if (!end.unnested) depth += bracket_change(word.text);
    }
}

}  // namespace qor
