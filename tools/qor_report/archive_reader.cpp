#include "archive_reader.hpp"

#include <cstdlib>
#include <stdexcept>

#include "value_notation.hpp"

namespace qor::report {

namespace {

// A logical line: a physical line that ends in a backslash goes on in the
// next one (long names, call lists and descriptions are split so).
struct Line {
    std::string text;
    int number = 0;
};

std::vector<Line> logical_lines(std::string_view text, size_t& end_of_records) {
    std::vector<Line> lines;
    int number = 0;
    size_t pos = 0;
    bool continued = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(pos, end - pos);
        ++number;
        pos = end + 1;
        bool goes_on = !piece.empty() && piece.back() == '\\';
        if (goes_on) piece.remove_suffix(1);
        if (continued)
            lines.back().text += piece;
        else
            lines.push_back({std::string(piece), number});
        continued = goes_on;
        if (!continued && lines.back().text == "*FI*") break;
    }
    end_of_records = std::min(pos, text.size());
    return lines;
}

int to_int(const std::string& digits, int line) {
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end != '\0') throw SyntaxError(line, "not a number '" + digits + "'");
    return static_cast<int>(value);
}

// "<number> <kind> <line>[ <text>]", numbers right-aligned in five columns.
BranchDescription branch_line(const Line& line) {
    std::string_view rest = line.text;
    auto field = [&]() {
        size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) throw SyntaxError(line.number, "incomplete description");
        rest.remove_prefix(start);
        size_t end = std::min(rest.find(' '), rest.size());
        std::string out(rest.substr(0, end));
        rest.remove_prefix(end);
        return out;
    };
    BranchDescription out;
    out.number = to_int(field(), line.number);
    out.kind = field();
    out.line = to_int(field(), line.number);
    if (!rest.empty()) out.text = std::string(rest.substr(1));
    return out;
}

// ":DEBU ;#<line>.<file>," names the component's file and line.
void graph_start(ArchiveComponent& component, const std::string& text) {
    size_t mark = text.find(";#");
    if (text.rfind(":DEBU", 0) != 0 || mark == std::string::npos) return;
    size_t dot = text.find('.', mark);
    if (dot == std::string::npos) return;
    component.line = std::atoi(text.c_str() + mark + 2);
    std::string file = text.substr(dot + 1);
    if (!file.empty() && file.back() == ',') file.pop_back();
    component.file = file;
}

// A node of the control graph, "[!label]:KIND ...": the ifs (SI), their
// else (SINO) and their ends (FISI), with the ifs still open.
void graph_node(ArchiveComponent& component, std::vector<size_t>& open_ifs, const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return;
    std::string kind = text.substr(colon + 1, text.find_first_of(" ;/", colon) - colon - 1);
    if (kind == "SI") {
        open_ifs.push_back(component.ifs_with_else.size());
        component.ifs_with_else.push_back(false);
    } else if (kind == "SINO" && !open_ifs.empty()) {
        component.ifs_with_else[open_ifs.back()] = true;
    } else if (kind == "FISI" && !open_ifs.empty()) {
        open_ifs.pop_back();
    }
}

// The name line "<name> <date>".
void name_and_date(ArchiveComponent& component, const std::string& text) {
    size_t blank = text.rfind(' ');
    component.name = text.substr(0, blank);
    component.date = blank == std::string::npos ? "" : text.substr(blank + 1);
}

std::vector<ArchiveComponent> component_records(const std::vector<Line>& lines) {
    std::vector<ArchiveComponent> out;
    enum class Part { Head, Name, Language, Counters, Graph, Calls, Branches } part = Part::Head;
    std::vector<size_t> open_ifs;
    for (const Line& line : lines) {
        const std::string& text = line.text;
        if (text == "*MO*") {
            out.emplace_back();
            open_ifs.clear();
            part = Part::Name;
        } else if (text == "*FI*" || part == Part::Head) {
            continue;
        } else if (part == Part::Name) {
            name_and_date(out.back(), text);
            part = Part::Language;
        } else if (text == ".DT.") {
            part = Part::Counters;
        } else if (text == ".DC.") {
            part = Part::Graph;
        } else if (text == ".DA.") {
            part = Part::Calls;
        } else if (text == ".CD.") {
            part = Part::Branches;
        } else if (part == Part::Counters) {
            size_t blank = text.find(' ');
            if (blank != std::string::npos)
                out.back().counters[text.substr(0, blank)] = std::atol(text.c_str() + blank);
        } else if (part == Part::Graph) {
            if (out.back().file.empty()) graph_start(out.back(), text);
            graph_node(out.back(), open_ifs, text);
        } else if (part == Part::Calls) {
            out.back().callees.push_back(text.substr(0, text.find(' ')));
        } else if (part == Part::Branches) {
            out.back().branches.push_back(branch_line(line));
        }
    }
    return out;
}

int record_number(const Value& record, size_t index) {
    if (record.kind != Value::Kind::List || index >= record.items.size())
        throw SyntaxError(record.line, "record with too few items");
    return to_int(record.items[index].text, record.line);
}

const std::string& record_text(const Value& record, size_t index) {
    if (index >= record.items.size()) throw SyntaxError(record.line, "record with too few items");
    return record.items[index].text;
}

void condition_sections(Archive& archive, std::string_view text, int first_line) {
    std::vector<Section> sections = read_sections(text, first_line);
    if (const Section* sources = find_section(sections, "source_description"))
        if (!sources->records.empty()) archive.source = record_text(sources->records.front(), 1);
    if (const Section* names = find_section(sections, "component_description"))
        for (const Value& record : names->records)
            archive.component_names[record_number(record, 0)] = record_text(record, 1);
    if (const Section* decisions = find_section(sections, "mcdc_description")) {
        for (const Value& record : decisions->records) {
            try {
                McdcDescription description = parse_mcdc_description(record_text(record, 2));
                description.component = record_number(record, 1);
                archive.decisions.push_back(std::move(description));
            } catch (const std::invalid_argument& bad) {
                throw SyntaxError(record.line, std::string("bad decision description (") + bad.what() + ")");
            }
        }
    }
}

}  // namespace

const ArchiveComponent* Archive::find(std::string_view name) const {
    for (const ArchiveComponent& component : components)
        if (component.name == name) return &component;
    return nullptr;
}

Archive read_archive(std::string_view text) {
    if (text.rfind("<archive ", 0) != 0) throw SyntaxError(1, "not an archive");
    size_t end_of_records = 0;
    std::vector<Line> lines = logical_lines(text, end_of_records);
    if (lines.empty() || lines.back().text != "*FI*") throw SyntaxError(lines.empty() ? 1 : lines.back().number, "the archive has no end (*FI*)");
    Archive archive;
    archive.components = component_records(lines);
    std::string_view rest = text.substr(end_of_records);
    if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos)
        condition_sections(archive, rest, lines.back().number + 1);
    return archive;
}

}  // namespace qor::report
