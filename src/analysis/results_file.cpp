#include "analysis/results_file.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "foundation/atomic_file.hpp"
#include "foundation/diagnostics.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

// Type codes of the schema's fields.
constexpr int kStringType = 17;
constexpr int kOidType = 19;
constexpr int kSequenceOf = 11;

struct SchemaField {
    const char* name;
    int type;
    int constructor = 0;
};

struct SchemaClass {
    const char* name;
    std::vector<SchemaField> fields;
};

const std::vector<SchemaClass>& schema() {
    static const std::vector<SchemaClass> classes{
        {"class", {{"identity", kOidType}, {"name", kStringType}}},
        {"attribute", {{"identity", kOidType}, {"name", kStringType}, {"class", kOidType}, {"type", kOidType}}},
        {"metric", {{"identity", kOidType}, {"name", kStringType}, {"class", kOidType}, {"type", kOidType}}},
        {"type", {{"identity", kOidType}, {"name", kStringType}}},
        {"relation",
         {{"identity", kOidType}, {"name", kStringType}, {"class_from", kOidType}, {"class_to", kOidType}}},
        {"class_instance", {{"identity", kOidType}, {"value", kStringType}, {"owner", kOidType}}},
        {"attribute_instance",
         {{"identity", kOidType}, {"value", kStringType}, {"cowner", kOidType}, {"iowner", kOidType}}},
        {"metric_instance",
         {{"identity", kOidType}, {"value", kStringType}, {"cowner", kOidType}, {"iowner", kOidType}}},
        {"relation_instance",
         {{"identity", kOidType}, {"cowner", kOidType}, {"fromi", kOidType}, {"toi", kOidType, kSequenceOf}}},
    };
    return classes;
}

const char* type_word(int code) {
    switch (code) {
        case 13: return "integer";
        case 14: return "real";
        case 15: return "boolean";
        case 16: return "character";
        case 17: return "string";
        case 19: return "oid";
        case 20: return "meta_entity";
        case 21: return "bits";
        default: return "UNKNOWN";
    }
}

// The value as "%7.2f" prints it. Most values are counts: whole numbers
// take a short way; to_chars rounds the others as printf does.
std::string metric_value(float value) {
    std::string text;
    if (value == std::trunc(value) && std::fabs(value) < 1e9f) {
        text = std::to_string(static_cast<long>(value)) + ".00";
    } else {
        char digits[64];
        auto [end, error] = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value),
                                          std::chars_format::fixed, 2);
        text.assign(digits, error == std::errc() ? end : digits);
    }
    if (text.size() < 7) text.insert(0, 7 - text.size(), ' ');
    return text;
}

class ResultsWriter {
public:
    ResultsWriter(const MetricCollector& metrics, ObjectIdentities& identities)
        : metrics_(metrics), ids_(identities) {}

    std::string text() {
        write_schema();
        write_declarations();
        write_class_instances();
        write_attribute_instances();
        write_metric_instances();
        write_relation_instances();
        out_ += "END\n";
        return std::move(out_);
    }

private:
    const std::string& id(const char* name) { return ids_.of_name(name); }
    // Looks names up in this order, so that new ones are numbered in it.
    void look_up(std::initializer_list<const char*> names) {
        for (const char* name : names) id(name);
    }
    std::string fresh() { return std::to_string(ids_.take()); }

    void head(const char* section) {
        out_ += section;
        out_ += " ::= {\n";
    }
    void tail() { out_ += "}\n\n"; }

    // Appends "{"a","b",...}" with every item quoted.
    void record(std::initializer_list<std::string_view> items) {
        out_ += '{';
        bool first = true;
        for (std::string_view item : items) {
            if (!first) out_ += ',';
            first = false;
            out_ += '"';
            out_ += item;
            out_ += '"';
        }
        out_ += '}';
    }
    void line_end(bool more) { out_ += more ? ",\n" : "\n"; }

    void write_schema() {
        out_ += "Entities_Definitions DEFINITIONS ::= BEGIN\n";
        for (const SchemaClass& schema_class : schema()) {
            out_ += schema_class.name;
            out_ += " ::= SEQUENCE OF {\n\tSEQUENCE {\n";
            for (size_t i = 0; i < schema_class.fields.size(); ++i) {
                const SchemaField& field = schema_class.fields[i];
                out_ += "\t\t";
                out_ += field.name;
                out_ += ' ';
                if (field.constructor == kSequenceOf) out_ += "SEQUENCE OF ";
                out_ += type_word(field.type);
                out_ += i + 1 < schema_class.fields.size() ? "," : "\n\t}\n}";
                out_ += '\n';
            }
        }
    }

    // The class, attribute, type, metric and relation sections; the lookup
    // order fixes the identities of the names.
    void write_declarations() {
        head("class");
        look_up({"COMPONENT", "FILE"});
        record({id("FILE"), "FILE"});
        line_end(true);
        record({id("COMPONENT"), "COMPONENT"});
        line_end(false);
        tail();

        head("attribute");
        look_up({"STRING", "FILE", "LANG"});
        record({id("LANG"), "LANG", id("FILE"), id("STRING")});
        line_end(true);
        look_up({"INTEGER", "COMPONENT", "NUM_LIG"});
        record({id("NUM_LIG"), "NUM_LIG", id("COMPONENT"), id("INTEGER")});
        line_end(false);
        tail();

        head("type");
        record({id("INTEGER"), "INTEGER"});
        line_end(true);
        record({id("FLOAT"), "FLOAT"});
        line_end(true);
        record({id("STRING"), "STRING"});
        line_end(false);
        tail();

        head("metric");
        for (size_t i = 0; i < kMetricNames.size(); ++i) {
            look_up({"FLOAT", "COMPONENT"});
            record({id(kMetricNames[i]), kMetricNames[i], id("COMPONENT"), id("FLOAT")});
            line_end(i + 1 < kMetricNames.size());
        }
        tail();

        head("relation");
        look_up({"FILE", "COMPONENT"});
        record({id("FATHER"), "FATHER", id("COMPONENT"), id("FILE")});
        line_end(false);
        tail();
    }

    void write_class_instances() {
        head("class_instance");
        const auto& files = metrics_.files();
        const auto& entries = metrics_.entries();
        for (size_t i = 0; i < files.size(); ++i) {
            out_ += "{\"" + std::to_string(files[i].identity) + "\",";
            out_ += quoted_escaped(files[i].path);
            out_ += ",\"" + id("FILE") + "\"}";
            line_end(i + 1 < files.size() || !entries.empty());
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            record({std::to_string(entries[i].identity), entries[i].name, id("COMPONENT")});
            line_end(i + 1 < entries.size());
        }
        tail();
    }

    void write_attribute_instances() {
        head("attribute_instance");
        const auto& files = metrics_.files();
        const auto& entries = metrics_.entries();
        for (size_t i = 0; i < files.size(); ++i) {
            id("LANG");
            record({fresh(), "C", id("LANG"), std::to_string(files[i].identity)});
            line_end(i + 1 < files.size() || !entries.empty());
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            id("NUM_LIG");
            record({fresh(), std::to_string(entries[i].first_line), id("NUM_LIG"),
                    std::to_string(entries[i].identity)});
            line_end(i + 1 < entries.size());
        }
        tail();
    }

    void write_metric_instances() {
        head("metric_instance");
        const auto& entries = metrics_.entries();
        for (size_t e = 0; e < entries.size(); ++e) {
            const auto& stored = entries[e].metrics;
            for (size_t m = 0; m < stored.size(); ++m) {
                const std::string& name_id = ids_.of_name(stored[m].name);
                record({fresh(), metric_value(stored[m].value), name_id, std::to_string(entries[e].identity)});
                line_end(e + 1 < entries.size() || m + 1 < stored.size());
            }
        }
        tail();
    }

    // One line per file: the components it holds, files in path order.
    void write_relation_instances() {
        head("relation_instance");
        std::vector<const MetricEntry*> sorted;
        for (const MetricEntry& entry : metrics_.entries()) sorted.push_back(&entry);
        std::stable_sort(sorted.begin(), sorted.end(), [this](const MetricEntry* a, const MetricEntry* b) {
            return metrics_.file_of(*a).path < metrics_.file_of(*b).path;
        });
        for (size_t start = 0; start < sorted.size();) {
            size_t end = start;
            while (end < sorted.size() && sorted[end]->file == sorted[start]->file) ++end;
            id("FATHER");
            out_ += "{\"" + fresh() + "\",\"" + id("FATHER") + "\",\"" +
                    std::to_string(metrics_.file_of(*sorted[start]).identity) + "\",{";
            for (size_t i = start; i < end; ++i) {
                if (i > start) out_ += ',';
                out_ += "\"" + std::to_string(sorted[i]->identity) + "\"";
            }
            out_ += "} }";
            line_end(end < sorted.size());
            start = end;
        }
        tail();
    }

    const MetricCollector& metrics_;
    ObjectIdentities& ids_;
    std::string out_;
};

}  // namespace

std::string results_text(const MetricCollector& metrics, ObjectIdentities& identities) {
    return ResultsWriter(metrics, identities).text();
}

void write_results_file(const std::string& path, const MetricCollector& metrics, ObjectIdentities& identities) {
    AtomicFile file(path, MSG_ERROR);
    if (!file) return;
    std::string text = results_text(metrics, identities);
    std::fwrite(text.data(), 1, text.size(), file.get());
    file.commit();
}

}  // namespace qor
