// One options file through the reader of the internal preprocessor and
// through full_prepro's: both must take the same macros and directories
// and refuse the same lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "definitions_file.hpp"
#include "lexer_support.hpp"

namespace qor {
namespace {

using test::LexerRun;
using test::Tokens;
using test::write_file;

using DefinitionsReadersTest = test::LexerFixture;

// The lines of `messages` that report a syntax error.
size_t syntax_errors(const std::string& messages) {
    size_t count = 0;
    for (size_t at = messages.find("syntax error"); at != std::string::npos; at = messages.find("syntax error", at + 1))
        ++count;
    return count;
}

TEST_F(DefinitionsReadersTest, BothPreprocessorsReadTheSameFile) {
    const std::string text =
        "// compiler macros\n"
        "D OBJ  one  two \n"
        "\tD EMPTY\n"
        "D FN(a, b) a ## b\n"
        "D NONE() none\r\n"
        "D OPEN(a x\n"
        "I inc dir  (ignored)\n"
        "E elsewhere\n"
        "A machine ( x86 )\n"
        "A broken\n"
        "#define X 1\n"
        "D LAST last\n";
    std::filesystem::create_directory("inc dir");
    write_file("inc dir/h.h", "from_header\n");

    LexerRun internal;
    testing::internal::CaptureStderr();
    internal.predefined(text);
    std::string internal_messages = testing::internal::GetCapturedStderr();

    write_file("options.def", text);
    full_prepro::Definitions external;
    full_prepro::Messages messages;
    testing::internal::CaptureStderr();
    full_prepro::read_definitions("options.def", external, messages);
    std::string external_messages = testing::internal::GetCapturedStderr();

    EXPECT_EQ(syntax_errors(internal_messages), 3u);
    EXPECT_EQ(syntax_errors(external_messages), 3u);
    EXPECT_NE(external_messages.find("options.def(6): Warning: syntax error"), std::string::npos);

    std::vector<std::string> names;
    const MacroTable& table = internal.preprocessor().macros();
    for (const full_prepro::FileMacro& macro : external.macros) {
        names.push_back(macro.name);
        const Macro* same = table.find(macro.name);
        ASSERT_NE(same, nullptr) << macro.name;
        EXPECT_EQ(same->function_like(), !macro.parameters.empty()) << macro.name;
        if (!same->function_like()) {
            EXPECT_EQ(test::body_text(*same), macro.body) << macro.name;
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"OBJ", "EMPTY", "FN", "NONE", "LAST"}));
    EXPECT_EQ(table.find("OPEN"), nullptr);

    EXPECT_EQ(external.include_directories, (std::vector<std::string>{"inc dir"}));
    EXPECT_EQ(internal.lex("a.c", "#include <h.h>\n"), (Tokens{"id:from_header"}));
}

}  // namespace
}  // namespace qor
