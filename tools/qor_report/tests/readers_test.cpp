// The readers of the results file, the archive and the coverage data, on
// the golden files of the results test and on texts in the shape that
// qor_cc and the instrumentation run-time write.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "archive_reader.hpp"
#include "coverage_data.hpp"
#include "results_reader.hpp"
#include "value_notation.hpp"

namespace qor::report {
namespace {

std::string golden(const std::string& name) {
    std::ifstream in(std::string(QOR_REPORT_GOLDEN_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ValueNotation, SectionsRecordsAndEscapes) {
    auto sections = read_sections(
        "Entities_Definitions DEFINITIONS ::= BEGIN\n"
        "class ::= SEQUENCE OF {\n\tSEQUENCE {\n\t\tidentity oid\n\t}\n}\n"
        "class ::= {\n{\"5\",\"FILE\"},\n{\"4\",\"a \\\"b\\\\\"}\n}\n\n"
        "rel ::= {\n{\"1\",\"2\",{\"3\",\"4\"} }\n}\nempty ::= {\n}\nEND\n");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].name, "class");
    EXPECT_EQ(sections[0].line, 7);
    EXPECT_EQ(sections[0].records[1].items[1].text, "a \"b\\");
    EXPECT_EQ(sections[0].records[1].line, 9);
    EXPECT_EQ(sections[1].records[0].items[2].items[1].text, "4");
    EXPECT_TRUE(sections[2].records.empty());
    EXPECT_EQ(find_section(sections, "none"), nullptr);
}

TEST(ValueNotation, MalformedTextsNameTheirLine) {
    for (const char* text : {"a ::= {\n{\"1\",\n", "a ::= {\n{\"x}\n", "a = {}", "a ::= {\n{1 2}\n}"}) {
        try {
            read_sections(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const SyntaxError& error) {
            EXPECT_GE(error.line, 1) << text;
        }
    }
}

TEST(ResultsReader, GoldenFiles) {
    auto components = read_results(golden("a.mtr.expected"));
    ASSERT_EQ(components.size(), 2u);
    EXPECT_EQ(components[0].name, "f");
    EXPECT_EQ(components[0].file, "a.c");
    EXPECT_EQ(components[0].line, 3);
    EXPECT_EQ(components[1].name, "g");
    EXPECT_EQ(components[1].line, 9);
    EXPECT_EQ(components[1].values.size(), 44u);
    EXPECT_EQ(components[1].value("CALL"), 1);
    EXPECT_EQ(components[0].value("VG"), 1);
    EXPECT_FALSE(components[0].has("NONE"));

    auto switched = read_results(golden("switch.mtr.expected"));
    ASSERT_EQ(switched.size(), 2u);
    EXPECT_EQ(switched[0].name, "s");
    EXPECT_EQ(switched[0].value("VG"), 3);
    EXPECT_EQ(switched[1].value("GOTO"), 1);
    EXPECT_EQ(switched[1].value("RETU"), 2);
    EXPECT_TRUE(read_results(golden("nofunc.mtr.expected")).empty());
}

TEST(ResultsReader, BrokenReferencesAreErrors) {
    std::string text = golden("a.mtr.expected");
    text.replace(text.find("{\"59\",\"   1.00\",\"11\",\"1\"}"), 24, "{\"59\",\"   1.00\",\"11\",\"99\"}");
    EXPECT_THROW(read_results(text), SyntaxError);
    EXPECT_THROW(read_results("class_instance ::= {\n{\"1\",\"f\",\"4\"}\n}\n"), SyntaxError);
}

TEST(ArchiveReader, GoldenFiles) {
    Archive archive = read_archive(golden("switch.sta.expected"));
    ASSERT_EQ(archive.components.size(), 2u);
    const ArchiveComponent& s = archive.components[0];
    EXPECT_EQ(s.name, "s");
    EXPECT_EQ(s.date, "mm/dd/yy-hh:mm:ss");
    EXPECT_EQ(s.file, "switch.c");
    EXPECT_EQ(s.line, 1);
    EXPECT_EQ(s.counters.at("INST"), 5);
    ASSERT_EQ(s.branches.size(), 4u);
    EXPECT_EQ(s.branches[0].kind, "Begin");
    EXPECT_EQ(s.branches[0].text, "");
    EXPECT_EQ(s.branches[1].number, 2);
    EXPECT_EQ(s.branches[1].line, 5);
    EXPECT_EQ(s.branches[1].text, "k == 1, 2");
    EXPECT_EQ(s.branches[3].kind, "Else-Case");
    EXPECT_EQ(s.branches[3].text, "k ==  default");
    EXPECT_EQ(archive.components[1].branches[2].text, "not(x<0)");
    EXPECT_TRUE(archive.decisions.empty());

    Archive long_names = read_archive(golden("long.sta.expected"));
    ASSERT_EQ(long_names.components.size(), 1u);
    EXPECT_EQ(long_names.components[0].name.size(), 250u);
    EXPECT_EQ(long_names.components[0].callees, std::vector<std::string>{"step"});
}

// An archive with condition coverage: the component numbers and the
// decisions, whose texts escape quotes and colons.
TEST(ArchiveReader, ConditionSections) {
    std::string text = golden("a.sta.expected") +
                       "Entities_Definitions DEFINITIONS ::= BEGIN\n"
                       "mcdc_description ::= SEQUENCE OF {\n  SEQUENCE {\n    source integer\n  }\n}\n"
                       "source_description ::= {\n{1, \"dir/a.c\"}\n}\n"
                       "component_description ::= {\n{1, \"a.c/f\"},\n{2, \"g\"}\n}\n"
                       "mcdc_description ::= {\n"
                       "{1, 2, \"4:43:8:3:a:b:c:3:101:0-1:11-:2:0-0:100:((a && b) || c)\"},\n"
                       "{1, 1, \"15:101:5:2:s!=0:same(s,\\\"a\\\\:b\\\"):1:11:2:10:0-:(s!=0 && same(s,\\\"a\\\\:b\\\"))\"}\n"
                       "}\nEND\n";
    Archive archive = read_archive(text);
    EXPECT_EQ(archive.source, "dir/a.c");
    EXPECT_EQ(archive.component_names.at(1), "a.c/f");
    ASSERT_EQ(archive.decisions.size(), 2u);
    const McdcDescription& first = archive.decisions[0];
    EXPECT_EQ(first.component, 2);
    EXPECT_EQ(first.decision, 4);
    EXPECT_EQ(first.line, 43);
    EXPECT_EQ(first.branch, 8);
    EXPECT_EQ(first.conditions, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(first.true_vectors, (std::vector<std::string>{"101", "0-1", "11-"}));
    EXPECT_EQ(first.false_vectors, (std::vector<std::string>{"0-0", "100"}));
    EXPECT_EQ(first.expression, "((a && b) || c)");
    EXPECT_EQ(archive.decisions[1].conditions[1], "same(s,\"a:b\")");
    EXPECT_EQ(archive.decisions[1].expression, "(s!=0 && same(s,\"a:b\"))");
}

TEST(ArchiveReader, MalformedArchives) {
    EXPECT_THROW(read_archive("hello"), SyntaxError);
    EXPECT_THROW(read_archive("<archive V3.0>\n*MO*\nf d\n"), SyntaxError);
    std::string bad_vector = golden("a.sta.expected") + "mcdc_description ::= {\n{1, 1, \"1:2:3:2:a:b:1:1:0:x\"}\n}\n";
    EXPECT_THROW(read_archive(bad_vector), SyntaxError);
    EXPECT_THROW(parse_mcdc_description("1:2:3:2:a:b:1:111:0:(x)"), std::invalid_argument);
    EXPECT_THROW(parse_mcdc_description("1:2:3:0::0:0:x"), std::invalid_argument);
}

struct Warnings {
    std::vector<std::string> seen;
    DataWarning sink() {
        return [this](int line, const std::string& text) { seen.push_back(std::to_string(line) + ": " + text); };
    }
};

TEST(CoverageData, RecordsFunctionsAndVectors) {
    Warnings warnings;
    auto records = read_coverage_data(
        "QVX 1 42\nH /src/out/a\\\\b\\040c.inst.h\nD 03/07/08-14:05:09\n"
        "F 1 2 2 a.c/static name\nB 0 0 1 1\nC 3\nM 1 1 10 6\nM 1 0 0- 9\nX 1 2\n"
        "F 2 0 0 g\nB 0\nC\nEND\n",
        warnings.sink());
    EXPECT_TRUE(warnings.seen.empty());
    ASSERT_EQ(records.size(), 1u);
    const DataRecord& record = records[0];
    EXPECT_EQ(record.pid, 42);
    EXPECT_EQ(record.header, "/src/out/a\\b c.inst.h");
    EXPECT_EQ(record.date, "03/07/08-14:05:09");
    ASSERT_EQ(record.functions.size(), 2u);
    const FunctionData& f = record.functions[0];
    EXPECT_EQ(f.name, "a.c/static name");
    EXPECT_EQ(f.entries, 2u);
    EXPECT_EQ(f.branches, (std::vector<Count>{0, 0, 1, 1}));
    EXPECT_EQ(f.calls, std::vector<Count>{3});
    ASSERT_EQ(f.vectors.size(), 2u);
    EXPECT_TRUE(f.vectors[0].outcome);
    EXPECT_EQ(f.vectors[1].vector, "0-");
    EXPECT_EQ(f.vectors[1].count, 9u);
    EXPECT_EQ(f.lost, (std::vector<std::pair<int, Count>>{{1, 2}}));
    EXPECT_TRUE(record.functions[1].calls.empty());
}

// A record cut short (disk full) or malformed is left out; the others stay.
TEST(CoverageData, IncompleteAndMalformedRecordsAreLeftOut) {
    Warnings warnings;
    auto records = read_coverage_data(
        "QVX 1 1\nH /a.inst.h\nD d\nF 1 1 1 f\nB 0 1\nC\nEND\n"
        "QVX 1 2\nH /a.inst.h\nD d\nF 1 1 1 f\nB 0 x\nC\nEND\n"
        "QVX 9 3\nH /a.inst.h\nEND\n"
        "QVX 1 4\nH /a.inst.h\nD d\nF 1 7 7 f\nB 0 7\nC\nEND\n"
        "QVX 1 5\nH /a.inst.h\nD d\nF 1 1 1 f\nB 0",
        warnings.sink());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].pid, 1);
    EXPECT_EQ(records[1].pid, 4);
    EXPECT_EQ(records[1].line, 18);
    ASSERT_EQ(warnings.seen.size(), 3u);
    EXPECT_EQ(warnings.seen[0], "12: bad count 'x'; record left out");
    EXPECT_EQ(warnings.seen[1], "15: record of an unknown format left out");
    EXPECT_EQ(warnings.seen[2], "25: record without END left out");
}

// A live file's section as the run-time writes it: the first line, the
// layout, zeros up to the block at 4096, and the block of 8-byte counts
// and then bytes.
// A data file's section has no process number, and an L line.
std::string section(const std::string& first, const std::string& layout, const std::vector<std::uint64_t>& counts,
                    const std::string& bytes) {
    size_t block = counts.size() * 8 + bytes.size();
    std::string text = first + " 8 4096 " + std::to_string(block) + "\n" + layout;
    text.resize(4096, '\0');
    for (std::uint64_t count : counts) text.append(reinterpret_cast<const char*>(&count), 8);
    return text + bytes;
}

std::string live_section(long pid, const std::string& layout, const std::vector<std::uint64_t>& counts,
                         const std::string& bytes) {
    return section("QVX-LIVE 1 " + std::to_string(pid), layout, counts, bytes);
}

TEST(CoverageData, LiveFileSections) {
    Warnings warnings;
    // f: entries, exits, branches 0-2, call slots 0-1; decision 4 of two
    // conditions with three slots (counts, overflow, taken), two of them
    // holding the same vector; then ready flags and vectors.
    std::string first = live_section(
        7, "H /a.inst.h\nD d\nF 1 3 2 a.c/f\nM 4 2 3\nEND\n",
        {0, 5, 5, 0, 3, 2, 0, 4, 2, 1, 1, 1, 3}, std::string("\1\1\1", 3) + "110" "0-0" "0-0");
    std::string unran = live_section(7, "H /b.inst.h\nD d\nF 1 1 1 g\nEND\n", {0, 0, 0, 0, 0}, "");
    std::string later = live_section(8, "H /a.inst.h\nD d\nF 1 3 2 a.c/f\nM 4 2 3\nEND\n",
                                     {12, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2}, std::string(3, '\0') + "110" "0-0" "0-0");
    std::string file = first;
    file.resize(2 * 4096, '\0');  // a section whose process ended before it was written
    file += std::string(4096, '\0') + unran;
    file.resize(5 * 4096, '\0');
    file += later;
    auto records = read_live_data(file, warnings.sink());
    EXPECT_EQ(warnings.seen, std::vector<std::string>{});
    ASSERT_EQ(records.size(), 2u);
    const FunctionData& f = records[0].functions.at(0);
    EXPECT_EQ(records[0].pid, 7);
    EXPECT_EQ(records[0].header, "/a.inst.h");
    EXPECT_FALSE(records[0].added);
    EXPECT_EQ(f.name, "a.c/f");
    EXPECT_EQ(f.entries, 5u);
    EXPECT_EQ(f.branches, (std::vector<Count>{0, 3, 2}));
    EXPECT_EQ(f.calls, (std::vector<Count>{4}));
    ASSERT_EQ(f.vectors.size(), 2u);
    EXPECT_EQ(f.vectors[0].vector, "10");
    EXPECT_TRUE(f.vectors[0].outcome);
    EXPECT_EQ(f.vectors[1].vector, "-0");
    EXPECT_EQ(f.vectors[1].count, 2u);  // two slots of one vector
    EXPECT_EQ(f.lost, (std::vector<std::pair<int, Count>>{{4, 1}}));
    // Slots that are not ready count nothing; counts added to the data file are marked.
    EXPECT_TRUE(records[1].added);
    EXPECT_EQ(records[1].place, 5 * 4096u);
    EXPECT_TRUE(records[1].functions.at(0).vectors.empty());
    EXPECT_TRUE(records[1].functions.at(0).lost.empty());

    auto cut = read_live_data(first.substr(0, 4100), warnings.sink());
    EXPECT_TRUE(cut.empty());
    ASSERT_EQ(warnings.seen.size(), 1u);
    EXPECT_EQ(warnings.seen[0], "1: the file ends before its block; live file left out");
}

// A data file of sections: per unit and label the sums and the runs that
// made them, shown as text records; one from an earlier run-time is text.
TEST(CoverageData, DataFileSectionsAndTheirText) {
    Warnings warnings;
    std::string file = section("QVX-SUM 1", "L nightly\\2\nH /a.inst.h\nD d\nF 1 2 2 a.c/f\nM 3 1 2\nEND\n",
                               {40, 9, 8, 0, 9, 0, 0, 5, 0, 0, 2}, std::string("\1\1", 2) + "11" "00");
    file.resize(2 * 4096, '\0');
    file += section("QVX-SUM 1", "L\nH /a.inst.h\nD d\nF 1 2 2 a.c/f\nEND\n", {0, 0, 0, 0, 0, 0}, "");
    auto records = read_coverage_data(file, warnings.sink());
    EXPECT_EQ(warnings.seen, std::vector<std::string>{"1: the section at byte 8192: a section without L line; section left out"});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].runs, 40u);
    EXPECT_EQ(records[0].label, "nightly\\2");
    EXPECT_EQ(record_text(records[0]),
              "QVX-SUM 1 40\nL nightly\\\\2\nH /a.inst.h\nD d\nF 1 9 8 a.c/f\nB 0 9\nC 0\nM 3 1 1 5\nEND\n");

    // Cut short (a full disk): the whole section is read, the cut one named.
    Warnings cut;
    EXPECT_EQ(read_coverage_data(file.substr(0, 2 * 4096 + 4100), cut.sink()).size(), 1u);
    EXPECT_EQ(cut.seen, std::vector<std::string>{
                            "1: the section at byte 8192: the file ends before its block; section left out"});

    std::string text = "QVX 1 42\nH /a\\\\b\\012.inst.h\nD d\nF 1 2 2 a.c/f\nB 0 1\nC 3\nM 1 1 10 6\nM 1 0 0- 9\nX 1 2\n"
                       "F 2 0 0 g\nB 0\nC\nEND\n";
    records = read_coverage_data(text, warnings.sink());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(record_text(records[0]), text);
}

}  // namespace
}  // namespace qor::report
