// Ignore rules: word sequences of a dialect's ignore file that open a region
// of C source (vendor keywords with arguments, inline assembly, pragma-like
// statements) and the sequence that closes it. The lexer offers every
// identifier and every '#' that starts a line; a matched region is removed
// before the parser sees it.
//
// File format, one rule per line:
//     [C:] [U:] start-word [word ...] --> [end-word ...]
// Words are separated by blanks, tabs (and carriage returns, so that a file
// with CRLF line ends reads the same). A line whose first word begins with
// "//" is a comment; a line without words is skipped. `C:` (either case)
// marks the rule as counted, `U:` (either case) makes the end search ignore
// bracket nesting; when both are given, `C:` comes first. The end word `$`
// stands for an end of line. Lines are read whole whatever their length
// (the format promises at most 511 characters; longer ones are not cut).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "preprocessor/char_source.hpp"

namespace qor {

// The outcome of offering a start word.
//
//  found  eof   meaning
//  false  false no rule applies: every character read was pushed back and the
//               input is exactly as before; `text` is empty.
//  true   false the region was removed; `text` holds it for echoing.
//  false  true  a rule applied but the input ended before its end sequence
//               (whose first word is not `$`). Nothing is pushed back: the
//               region reaches the end of the input and `text` holds all of
//               it. The caller reports "end of file found while looking for
//               end of ignore sequence." and goes on with the start word as
//               it would without a rule (it then meets the end of input).
// A rule whose first end word is `$` also ends at the end of the input: that
// gives found = true, eof = false.
struct IgnoredRegion {
    bool found = false;    // a region was matched and removed from the input
    bool counted = false;  // the applied rule had the C: prefix (also set with eof)
    bool eof = false;      // the input ended while looking for the end sequence
    std::string text;      // every character read for the region after the start word
};

class IgnoreRules {
public:
    // Reads the rules of the file at `path`. A malformed rule line gives the
    // warning "syntax error in ignore file" and no rules at all (ignore
    // processing is off for the run); a file that cannot be opened is
    // reported as a warning and also gives no rules.
    static std::optional<IgnoreRules> load(const std::string& path);

    // The path the rules were read from (for the dependency list).
    const std::string& ignore_file_name() const { return path_; }

    // Whether some rule starts with `word`.
    bool starts_rule(std::string_view word) const;

    // Called after the lexer has read `start_word` (an identifier, or "#" at a
    // line start); reads the rest of the region from `input`. See
    // IgnoredRegion for the outcomes.
    //
    // Once the start sequence has matched, `at_line_start` (when given) is
    // called after every end of line read for the region, before anything
    // of the next line: it reads the line markers of a preprocessor that
    // stand there, so that the lines after the region keep their numbers.
    // What it reads is not part of the region's text.
    IgnoredRegion ignore_region(std::string_view start_word, CharSource& input,
                                const std::function<void()>& at_line_start = {}) const;

private:
    struct EndSequence {
        std::vector<std::string> words;  // `$` is stored as "\n", the word it matches
        bool counted = false;
        bool unnested = false;  // U: brackets do not nest
    };

    // One word of a start sequence; rules sharing leading words share nodes.
    struct Node {
        Node() = default;
        Node(Node&&) = default;
        Node& operator=(Node&&) = default;
        // Releases the subtree without recursion: a very long rule line
        // builds a chain as deep as it has words.
        ~Node();

        std::map<std::string, std::unique_ptr<Node>, std::less<>> children;
        std::optional<EndSequence> end;  // set when a rule's start sequence ends here
    };

    // Adds the rule of one non-comment line; false when the line is malformed.
    bool add_rule(const std::vector<std::string>& words);

    std::string path_;
    std::map<std::string, Node, std::less<>> roots_;
};

}  // namespace qor
