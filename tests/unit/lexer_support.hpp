// Runs the lexer over files of a scratch directory and records what it
// reports to the analysis.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/dialect.hpp"
#include "frontend/lexer.hpp"
#include "preprocessor/predefined_file.hpp"
#include "test_support.hpp"

namespace qor::test {

// The text pieces of a macro's body, joined: the whole body of a macro
// without parameters.
inline std::string body_text(const Macro& macro) {
    std::string text;
    for (const BodyPiece& piece : macro.body.pieces()) text += piece.text;
    return text;
}

class RecordingClient : public LexerClient {
public:
    bool component_open() const override { return open; }
    void count_occurrence(const std::string& text, Occurrence kind) override {
        occurrences.push_back((kind == Occurrence::Operand ? "3:" : "5:") + text);
    }
    void comments_inside(const CommentCounts& counts) override { add_comments("COM", counts); }
    // As the measuring side keeps them: the comments just before the
    // token, and the sum of all outside.
    void comments_outside(const CommentCounts& counts) override {
        for (const char* total : {"BCOM", "LCOM", "CCOM"}) totals[total] = 0;
        add_comments("COM", counts);
        add_comments("COB", counts);
    }
    void macro_use(bool function_like) override { ++totals[function_like ? "MACP" : "MACC"]; }
    void mark_ignored_region(const std::string& file, int line) override {
        ignored.push_back(file + ":" + std::to_string(line));
    }
    bool instrumenting() const override { return instrument; }
    void echo(std::string_view text) override { echoed += text; }

    // Adds to the B, L and C totals of `kind` (COM or COB).
    void add_comments(const std::string& kind, const CommentCounts& counts) {
        totals["B" + kind] += counts.groups;
        totals["L" + kind] += counts.lines;
        totals["C" + kind] += counts.chars;
    }

    bool open = false;
    std::map<std::string, int> totals;
    std::vector<std::string> occurrences;
    std::vector<std::string> ignored;
    std::vector<std::string> dependencies;
    bool instrument = false;
    std::string echoed;  // what an instrumented file would receive
};

// "kind:text" of a token (id, type, const, str, assign), or its text.
inline std::string describe(int token, const std::string& text) {
    switch (token) {
    case IDENTIFICATEUR: return "id:" + text;
    case NOM_DE_TYPE: return "type:" + text;
    case CONSTANT: return "const:" + text;
    case STRING: return "str:" + text;
    case ASSIGNMENT: return "assign:" + text;
    case RANGE_DOTS: return "range:" + text;
    case BUILTIN_TYPE_ARG: return "builtin:" + text;
    default: return text;
    }
}

// One source file lexed to its end in internal mode.
class LexerRun {
public:
    explicit LexerRun(const char* dialect = "ANSI") { select_dialect(dialect_, dialect); }

    // Options-file text and command-line words, applied before the start.
    LexerRun& predefined(const std::string& text) {
        write_file("options.def", text);
        read_predefined("options.def", preprocessor_);
        return *this;
    }
    LexerRun& options(std::vector<std::string> words) {
        preprocessor_.preprocessor_options(words);
        return *this;
    }
    LexerRun& ignore(const IgnoreRules* rules) {
        ignore_ = rules;
        return *this;
    }

    // Lexes `name` (written with `text` unless text is null); the tokens
    // are "kind:text" and messages what standard error received.
    std::vector<std::string> lex(const std::string& name, const char* text) {
        if (text) write_file(name, text);
        LexerSetup setup;
        setup.dialect = &dialect_;
        setup.preprocessor = &preprocessor_;
        setup.client = &client;
        setup.type_names = &type_names_;
        setup.on_dependency = [this](const std::string& file) { client.dependencies.push_back(file); };
        setup.ignore = ignore_;
        setup.main_source = name;
        Lexer lexer(setup);
        preprocessor_.macros().define_builtins(0);
        testing::internal::CaptureStderr();
        std::vector<std::string> tokens;
        if (preprocessor_.start_file(name)) {
            for (int token; (token = lexer.next_token()) != END_OF_INPUT;) {
                tokens.push_back(describe(token, lexer.token_text()));
                lines.push_back(lexer.value().line);
                from_source.push_back(lexer.value().from_source);
                if (on_token) on_token(lexer);
            }
        }
        messages = testing::internal::GetCapturedStderr();
        return tokens;
    }

    Preprocessor& preprocessor() { return preprocessor_; }

    RecordingClient client;
    std::string messages;
    std::vector<int> lines;
    std::vector<bool> from_source;
    std::function<void(Lexer&)> on_token;

private:
    DialectState dialect_;
    Preprocessor preprocessor_{dialect_};
    const IgnoreRules* ignore_ = nullptr;
    // The one type name the lexed texts know.
    ScopeStack type_names_ = [] {
        ScopeStack scopes;
        scopes.declare("type_t", NameKind::TypeName);
        return scopes;
    }();
};

using Tokens = std::vector<std::string>;

// Each test runs in a scratch directory; a fatal message throws ExitCalled.
class LexerFixture : public testing::Test {
protected:
    void SetUp() override { diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; }); }
    void TearDown() override {
        diagnostics().set_exit_handler(nullptr);
    }
    ScratchDirectory scratch;
};

}  // namespace qor::test
