#include "options.hpp"

#include <string_view>

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

// A compiler option with a value: attached to its name ("-Idir") or as the
// next word ("-I dir"), or only as the next word, as the compiler accepts it.
struct ValueOption {
    std::string_view name;
    bool may_attach;
    // Null for the options of other steps, whose value is skipped.
    void (*take)(Options&, std::string);
};

const ValueOption kValueOptions[] = {
    {"-D", true, [](Options& o, std::string v) { o.macro_options.push_back({true, std::move(v)}); }},
    {"-U", true, [](Options& o, std::string v) { o.macro_options.push_back({false, std::move(v)}); }},
    {"-I", true, [](Options& o, std::string v) { o.directories.user.push_back(std::move(v)); }},
    {"-iquote", true, [](Options& o, std::string v) { o.directories.quote.push_back(std::move(v)); }},
    {"-isystem", true, [](Options& o, std::string v) { o.directories.system.push_back(std::move(v)); }},
    {"-idirafter", true, [](Options& o, std::string v) { o.directories.after.push_back(std::move(v)); }},
    {"-include", true, [](Options& o, std::string v) { o.included_files.push_back(std::move(v)); }},
    {"-imacros", true, [](Options& o, std::string v) { o.macro_files.push_back(std::move(v)); }},
    {"-iprefix", true, nullptr},
    {"-iwithprefix", true, nullptr},
    {"-iwithprefixbefore", true, nullptr},
    {"-isysroot", true, nullptr},
    {"--sysroot", false, nullptr},  // "--sysroot=DIR" is one word
    {"-MF", true, nullptr},
    {"-MT", true, nullptr},
    {"-MQ", true, nullptr},
    {"-x", true, nullptr},
    {"-o", true, nullptr},
    {"-T", true, nullptr},
    {"-u", true, nullptr},
    {"-z", true, nullptr},
    {"-A", true, nullptr},
    {"-Xpreprocessor", false, nullptr},
    {"-Xlinker", false, nullptr},
    {"-Xassembler", false, nullptr},
    {"-aux-info", false, nullptr},
    {"--param", false, nullptr},
};

// The option that `word` starts; the longest name wins, as "-iwithprefix"
// and "-iwithprefixbefore" both start "-iwithprefixbeforeDIR".
const ValueOption* value_option(const std::string& word) {
    const ValueOption* found = nullptr;
    for (const ValueOption& option : kValueOptions) {
        bool matches = option.may_attach ? word.starts_with(option.name) : word == option.name;
        if (matches && (!found || option.name.size() > found->name.size())) found = &option;
    }
    return found;
}

// False when the value is missing; an unknown option is ignored.
bool compiler_option(const std::string& word, ArgumentReader& reader, Options& options) {
    if (word == "-undef") {
        options.without_file_macros = true;
        return true;
    }
    if (word == "-nostdinc") {
        options.without_file_directories = true;
        return true;
    }
    // The compiler takes --embed-dir's value in the same word only.
    if (word.starts_with("--embed-dir=")) {
        options.embed_directories.push_back(word.substr(std::string_view("--embed-dir=").size()));
        return true;
    }
    const ValueOption* option = value_option(word);
    if (!option) return true;
    std::string value = word.substr(option->name.size());
    if (value.empty()) {
        auto next = reader.value_of(word);
        if (!next) return false;
        value = *next;
    }
    if (option->take) option->take(options, std::move(value));
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
