// What the callbacks make of clang's reports, over whole runs on files of a
// scratch directory: macro markers at the outermost uses, line and include
// markers at file changes, pragma and #ident lines, the -include and
// -imacros files, and the #define lines kept for unexpanded macros.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "messages.hpp"
#include "options.hpp"
#include "run.hpp"

namespace full_prepro {
namespace {

namespace fs = std::filesystem;

struct Preprocessed {
    std::string text;
    std::string messages;
    int status = 0;
};

class OutputCallbacksTest : public testing::Test {
protected:
    OutputCallbacksTest() : old_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "full_prepro_XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        fs::current_path(dir_);
    }
    ~OutputCallbacksTest() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

    static void write(const std::string& name, const std::string& text) { std::ofstream(name) << text; }

    // A run with the options that qor_cc always gives.
    static Preprocessed preprocess(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-C", "-dial", "ansi"});
        Preprocessed result;
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* out = open_memstream(&buffer, &size);
        Messages messages;
        testing::internal::CaptureStderr();
        std::optional<Options> options = parse_options(arguments, messages);
        result.status = options ? run(*options, messages, out) : 1;
        result.messages = testing::internal::GetCapturedStderr();
        std::fclose(out);
        result.text.assign(buffer, size);
        std::free(buffer);
        return result;
    }

private:
    fs::path old_;
    fs::path dir_;
};

TEST_F(OutputCallbacksTest, MarksTheOutermostUsesWithTheirWrittenArguments) {
    write("m.c",
          "#define ONE 1\n"
          "#define ADD(a, b) ((a) + (b))\n"
          "#define EMPTY\n"
          "#define TWICE(x) ADD(x, x)\n"
          "#define CALLER ADD\n"
          "int a = ONE;\n"
          "int b = ADD(ONE, 2 /* two */);\n"
          "int c = TWICE(ONE);\n"
          "EMPTY int d;\n"
          "int e = CALLER(3,\n"
          "               ONE);\n"
          "#if ONE && ADD(1, 1) == 2\n"
          "int f = __LINE__;\n"
          "#endif\n"
          "int g = ADD(\"*/\", 'x');\n"
          "int h = ADD(1,2)/ONE;\n"
          "EMPTY\n");
    Preprocessed run = preprocess({"m.c"});
    EXPECT_EQ(run.text,
              "# 1 \"m.c\"\n\n\n\n\n\n"
              "int a = /*@QOR #macro ONE*/ 1 /*@QOR #f_end */;\n"
              "int b = /*@QOR #macro ADD(ONE, 2 )*/ ((1) + (2)) /*@QOR #f_end */;\n"
              "int c = /*@QOR #macro TWICE(ONE)*/ ((1) + (1)) /*@QOR #f_end */;\n"
              "/*@QOR #macro EMPTY*/ /*@QOR #f_end */ int d;\n"
              "int e = /*@QOR #macro CALLER*/ ((3) + (1)) /*@QOR #f_end */;\n\n\n"
              "int f = /*@QOR #macro __LINE__*/ 13 /*@QOR #f_end */;\n\n"
              "int g = /*@QOR #macro ADD(\"* /\", 'x')*/ ((\"*/\") + ('x')) /*@QOR #f_end */;\n"
              "int h = /*@QOR #macro ADD(1,2)*/ ((1) + (2)) /*@QOR #f_end *// /*@QOR #macro ONE*/1 /*@QOR #f_end */;\n"
              "/*@QOR #macro EMPTY*/ /*@QOR #f_end */\n");
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(run.status, 0);
}

TEST_F(OutputCallbacksTest, LineMarkersPragmaAndIdentLines) {
    write("h.h", "int in_header;\n");
    write("l.c",
          "#include \"h.h\"\n"
          "#if 0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n#endif\n"
          "int after_skip;\n"
          "#if 0\n#endif\n"
          "int near;\n"
          "#line 100 \"gen.c\"\n"
          "int renamed;\n"
          "#pragma pack(1) /* comment */\n"
          "#pragma weak \\\n   w\n"
          "#pragma once\n"
          "_Pragma(\"weak v\") int same_line;\n"
          "#ident \"v1\"\n");
    Preprocessed run = preprocess({"l.c"});
    EXPECT_EQ(run.text,
              "# 1 \"l.c\"\n"
              "/*@QOR #incl: h.h\"*/\n"
              "# 1 \"h.h\"\n"
              "int in_header;\n"
              "# 2 \"l.c\"\n"
              "# 13 \"l.c\"\n"
              "int after_skip;\n\n\n"
              "int near;\n"
              "# 100 \"gen.c\"\n"
              "int renamed;\n"
              "#pragma pack(1)\n"
              "#pragma weak    w\n\n\n"
              "#pragma weak v\n"
              "# 105 \"gen.c\"\n"
              "                  int same_line;\n"
              "#ident \"v1\"\n");
    EXPECT_EQ(run.messages, "gen.c(104): Warning: #pragma once in main file\n");
    EXPECT_EQ(run.status, 0);

    // The source keeps the name it was given; a header is named as included.
    std::string given = preprocess({"./l.c"}).text;
    EXPECT_TRUE(given.starts_with("# 1 \"./l.c\"\n/*@QOR #incl: h.h\"*/\n# 1 \"h.h\"\n")) << given;
}

// A header is named as the include line at hand reached it: through a
// symbolic link, then by its own name.
TEST_F(OutputCallbacksTest, AHeaderIsNamedAsItsInclusionReachedIt) {
    write("real.h", "int in_header;\n");
    fs::create_symlink("real.h", "link.h");
    write("t.c", "#include \"link.h\"\n#include \"real.h\"\n");
    EXPECT_EQ(preprocess({"t.c"}).text,
              "# 1 \"t.c\"\n"
              "/*@QOR #incl: link.h\"*/\n# 1 \"link.h\"\nint in_header;\n# 2 \"t.c\"\n"
              "/*@QOR #incl: real.h\"*/\n# 1 \"real.h\"\nint in_header;\n# 3 \"t.c\"\n");
}

// -imacros files come before -include files, each kind in order; an
// -imacros file's uses get no marker and its text is not passed on.
TEST_F(OutputCallbacksTest, IncludedAndMacroFilesBeforeTheSource) {
    write("m1.h", "#ifdef FROM_D\n#define M1 1\n#endif\nint m1_text = M1;\n");
    write("m2.h", "#define M2 2\n#pragma weak w\n");
    write("a.h", "int a = M1 + M2;\n");
    write("b.h", "int b;\n");
    write("t.c", "int main_text = M1;\n");
    Preprocessed run =
        preprocess({"-DFROM_D", "-include", "b.h", "-imacros", "m1.h", "-includea.h", "-imacrosm2.h", "t.c"});
    EXPECT_EQ(run.text,
              "# 1 \"t.c\"\n"
              "/*@QOR #incl: m1.h\"*/\n# 1 \"m1.h\"\n"
              "/*@QOR #incl: m2.h\"*/\n# 1 \"m2.h\"\n\n#pragma weak w\n"
              "/*@QOR #incl: b.h\"*/\n# 1 \"b.h\"\nint b;\n"
              "/*@QOR #incl: a.h\"*/\n# 1 \"a.h\"\n"
              "int a = /*@QOR #macro M1*/ 1 /*@QOR #f_end */ + /*@QOR #macro M2*/ 2 /*@QOR #f_end */;\n"
              "# 1 \"t.c\"\n"
              "int main_text = /*@QOR #macro M1*/ 1 /*@QOR #f_end */;\n");
    EXPECT_EQ(run.status, 0);

    // Left unexpanded, an -imacros macro keeps its #define in the output.
    EXPECT_NE(preprocess({"-mode=noexp", "-imacros", "m2.h", "t.c"}).text.find("# 1 \"m2.h\"\n#define M2 2\n"),
              std::string::npos);
}

// The listed macros are the expanded ones in one mode, the unexpanded ones
// in the other; an unexpanded macro keeps its #define and #undef lines.
TEST_F(OutputCallbacksTest, SelectiveExpansionKeepsTheDefinitionsItNeeds) {
    fs::create_directory("inc");
    write("inc/h.h", "int from_header;\n");
    write("s.c",
          "#define HDR \"inc/h.h\"\n"
          "#define KEPT 7\n"
          "#define OTHER 2\n"
          "#include HDR\n"
          "#if KEPT == 7 && OTHER == 2\n"
          "int taken = KEPT + OTHER;\n"
          "#endif\n"
          "#undef KEPT\n"
          "#define KEPT 8\n"
          "int k = KEPT;\n");
    write("names.mac", "KEPT HDR\n");
    const std::string header = "/*@QOR #incl: inc/h.h\"*/\n# 1 \"inc/h.h\"\nint from_header;\n# 5 \"s.c\"\n\n";
    EXPECT_EQ(preprocess({"-mode=exp", "-mac", "names.mac", "s.c"}).text,
              "# 1 \"s.c\"\n#define HDR \"inc/h.h\"\n#define KEPT 7\n" + header +
                  "int taken = KEPT + /*@QOR #macro OTHER*/ 2 /*@QOR #f_end */;\n\n"
                  "#undef KEPT\n#define KEPT 8\nint k = KEPT;\n");
    EXPECT_EQ(preprocess({"-mode=noexp", "-mac", "names.mac", "s.c"}).text,
              "# 1 \"s.c\"\n\n\n#define OTHER 2\n" + header +
                  "int taken = /*@QOR #macro KEPT*/ 7 /*@QOR #f_end */ + OTHER;\n\n\n\n"
                  "int k = /*@QOR #macro KEPT*/ 8 /*@QOR #f_end */;\n");

    // Without a macro-name file nothing is expanded, and every #define stays.
    std::string plain = preprocess({"-mode=noexp", "s.c"}).text;
    EXPECT_NE(plain.find("int taken = KEPT + OTHER;"), std::string::npos);
    EXPECT_EQ(plain.find("#macro"), std::string::npos);
}

// Where the compiler reads #embed (its definitions say so), an #embed line
// gives its data as the compiler reads it, the bytes as integers 0 to 255,
// on the directive's line and indented as it is, with its prefix and
// suffix, or its if_empty tokens when the data is empty; the next line's
// tokens stay on their line.
TEST_F(OutputCallbacksTest, EmbeddedDataOnTheDirectivesLine) {
    write("embed.def", "D __STDC_EMBED_FOUND__ 1\n");
    write("d.bin", std::string("\x00\x7f\x80\xff", 4));
    write("e.c",
          "#define OPEN {\n"
          "int a[] = OPEN\n"
          "#embed \"d.bin\"\n"
          "};\n"
          "int b[] = {\n"
          "  #embed \"d.bin\" limit(1) prefix(1,) suffix(,2)\n"
          "}; int after_suffix;\n"
          "int c[] = {\n"
          "#embed \"d.bin\" limit(0) if_empty(3)\n"
          "};\n"
          "int d[] = {\n"
          "    #embed \"d.bin\" limit(0)\n"
          "  };\n"
          "#if __has_embed(\"d.bin\") == 1 && __has_embed(\"d.bin\" limit(0)) == 2 && !__has_embed(\"none\")\n"
          "int line = __LINE__;\n"
          "#endif\n");
    Preprocessed run = preprocess({"-ddef", "embed.def", "e.c"});
    EXPECT_EQ(run.text,
              "# 1 \"e.c\"\n\n"
              "int a[] = /*@QOR #macro OPEN*/ { /*@QOR #f_end */\n"
              "0, 127, 128, 255\n"
              "};\n"
              "int b[] = {\n"
              "  1, 0 ,2\n"
              "}; int after_suffix;\n"
              "int c[] = {\n"
              "3\n"
              "};\n"
              "int d[] = {\n\n"
              "  };\n\n"
              "int line = /*@QOR #macro __LINE__*/ 15 /*@QOR #f_end */;\n");
    EXPECT_EQ(run.messages, "");
    EXPECT_EQ(run.status, 0);
}

// Where the compiler reads no #embed, an #embed line is an error and
// gives nothing, whether its file exists or not, and __has_embed is no
// macro: the compiler rejects the text, and qor_cc has it say so.
TEST_F(OutputCallbacksTest, EmbedRefusedWhereTheCompilerHasNone) {
    write("d.bin", "data");
    write("r.c",
          "int a[] = {\n"
          "#embed \"d.bin\" limit(1)\n"
          "#embed \"absent.bin\"\n"
          "};\n"
          "#ifdef __has_embed\n"
          "int has_embed;\n"
          "#endif\n"
          "int z;\n");
    Preprocessed run = preprocess({"r.c"});
    EXPECT_EQ(run.text, "# 1 \"r.c\"\nint a[] = {\n\n\n};\n\n\n\nint z;\n");
    EXPECT_EQ(run.messages, "r.c(2): Error: #embed is not supported\nr.c(3): Error: #embed is not supported\n");
    EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace full_prepro
