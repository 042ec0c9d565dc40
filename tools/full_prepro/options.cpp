#include "options.hpp"

namespace full_prepro {

namespace {

// Walks the arguments; an option's value is the next word.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& arguments, Messages& messages)
        : arguments_(arguments), messages_(messages) {}

    bool done() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    std::optional<std::string> value_of(const std::string& option) {
        if (!done()) return take();
        messages_.error("missing value after " + option);
        return std::nullopt;
    }

private:
    const std::vector<std::string>& arguments_;
    Messages& messages_;
    size_t next_ = 0;
};

// -D, -U and -I take their value attached ("-DX=1") or as the next word.
bool compiler_option(const std::string& word, ArgumentReader& reader, Options& options) {
    if (word.size() < 2 || (word[1] != 'D' && word[1] != 'U' && word[1] != 'I')) return true;
    std::string value = word.substr(2);
    if (value.empty()) {
        auto next = reader.value_of(word);
        if (!next) return false;
        value = *next;
    }
    if (word[1] == 'I')
        options.include_directories.push_back(value);
    else
        options.macro_options.push_back({word[1] == 'D', value});
    return true;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& arguments, Messages& messages) {
    Options options;
    std::optional<std::string> source;
    ArgumentReader reader(arguments, messages);
    while (!reader.done()) {
        const std::string& word = reader.take();
        if (word.empty() || word[0] != '-') {
            source = word;
        } else if (word == "-C") {
            // Comments are always kept.
        } else if (word == "-trigraphs") {
            options.trigraphs = true;
        } else if (word == "-$") {
            options.dollar_in_identifiers = false;
        } else if (word == "-mode=exp") {
            options.expansion_mode = true;
        } else if (word == "-mode=noexp") {
            options.expansion_mode = false;
        } else if (word == "-dial" || word == "-ddef" || word == "-mac") {
            std::optional<std::string> value = reader.value_of(word);
            if (!value) return std::nullopt;
            if (word == "-dial") options.dialect = *value;
            if (word == "-ddef") options.definitions_file = *value;
            if (word == "-mac") options.macro_name_file = *value;
        } else if (!compiler_option(word, reader, options)) {
            return std::nullopt;
        }
    }
    if (!source) {
        messages.error("no source file");
        return std::nullopt;
    }
    options.source = *source;
    return options;
}

}  // namespace full_prepro
