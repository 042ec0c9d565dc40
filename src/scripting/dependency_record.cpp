#include "scripting/dependency_record.hpp"

#include <cstdio>

#include "foundation/containers.hpp"

namespace qor {

void DependencyRecord::set_command_line(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& arg : args) {
        if (!line.empty()) line += ' ';
        line += "{" + arg + "}";
    }
    command_line_ = line;
}

void DependencyRecord::add_input(const std::string& name) {
    if (!name.empty()) append_unique(inputs_, name);
}

void DependencyRecord::add_output(const std::string& name) {
    if (!name.empty()) append_unique(outputs_, name);
}

std::string DependencyRecord::text() const {
    std::string out;
    if (command_line_) out += "incr::DepCommandLine " + *command_line_ + "\n";
    if (main_input_) out += "incr::DepMainInput {" + *main_input_ + "}\n";
    for (const auto& input : inputs_) out += "incr::DepInput {" + input + "}\n";
    for (const auto& output : outputs_) out += "incr::DepOutput {" + output + "}\n";
    return out;
}

int DependencyRecord::write() const {
    if (file_name_.empty()) return -1;
    FILE* f = std::fopen(file_name_.c_str(), "w");
    if (!f) return -1;
    std::string content = text();
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return 0;
}

}  // namespace qor
