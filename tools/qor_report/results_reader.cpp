#include "results_reader.hpp"

#include <cstdlib>
#include <map>

#include "value_notation.hpp"

namespace qor::report {

namespace {

using Names = std::map<std::string, std::string>;

const Value& item(const Value& record, size_t index) {
    if (record.kind != Value::Kind::List || index >= record.items.size())
        throw SyntaxError(record.line, "record with too few items");
    return record.items[index];
}

const std::string& text(const Value& record, size_t index) { return item(record, index).text; }

// Identity -> name of the declarations of a section ({"id","name",...}).
Names declared(const std::vector<Section>& sections, std::string_view name) {
    Names names;
    if (const Section* section = find_section(sections, name))
        for (const Value& record : section->records) names[text(record, 0)] = text(record, 1);
    return names;
}

const std::string& named(const Names& names, const std::string& id, int line) {
    auto found = names.find(id);
    if (found == names.end()) throw SyntaxError(line, "reference to no declared object " + id);
    return found->second;
}

double number(const Value& record, size_t index) {
    const std::string& digits = text(record, index);
    char* end = nullptr;
    double value = std::strtod(digits.c_str(), &end);
    while (end && *end == ' ') ++end;
    if (digits.empty() || !end || *end != '\0') throw SyntaxError(record.line, "not a number '" + digits + "'");
    return value;
}

const std::vector<Value>& records(const std::vector<Section>& sections, std::string_view name) {
    static const std::vector<Value> none;
    const Section* section = find_section(sections, name);
    return section ? section->records : none;
}

}  // namespace

double ComponentMetrics::value(std::string_view metric, double missing) const {
    for (const auto& [name, value] : values)
        if (name == metric) return value;
    return missing;
}

bool ComponentMetrics::has(std::string_view metric) const {
    for (const auto& entry : values)
        if (entry.first == metric) return true;
    return false;
}

std::vector<ComponentMetrics> read_results(std::string_view text_of_file) {
    std::vector<Section> sections = read_sections(text_of_file);
    Names classes = declared(sections, "class");
    Names attributes = declared(sections, "attribute");
    Names metrics = declared(sections, "metric");

    std::vector<ComponentMetrics> components;
    std::map<std::string, size_t> component_at;  // identity -> position
    Names file_paths;                            // identity -> path
    for (const Value& record : records(sections, "class_instance")) {
        const std::string& kind = named(classes, text(record, 2), record.line);
        if (kind == "FILE") {
            file_paths[text(record, 0)] = text(record, 1);
        } else if (kind == "COMPONENT") {
            component_at[text(record, 0)] = components.size();
            components.push_back({"", text(record, 1), 0, {}});
        }
    }
    auto component = [&](const Value& record, size_t index) -> ComponentMetrics* {
        auto found = component_at.find(text(record, index));
        return found == component_at.end() ? nullptr : &components[found->second];
    };
    for (const Value& record : records(sections, "attribute_instance")) {
        ComponentMetrics* owner = component(record, 3);
        if (owner && named(attributes, text(record, 2), record.line) == "NUM_LIG")
            owner->line = static_cast<int>(number(record, 1));
    }
    for (const Value& record : records(sections, "metric_instance")) {
        ComponentMetrics* owner = component(record, 3);
        if (!owner) throw SyntaxError(record.line, "metric of no component " + text(record, 3));
        owner->values.emplace_back(named(metrics, text(record, 2), record.line), number(record, 1));
    }
    for (const Value& record : records(sections, "relation_instance")) {
        const std::string& path = named(file_paths, text(record, 2), record.line);
        for (const Value& member : item(record, 3).items)
            if (auto found = component_at.find(member.text); found != component_at.end())
                components[found->second].file = path;
    }
    return components;
}

}  // namespace qor::report
