#include "scripting/dependency_record.hpp"

#include <cstdio>
#include <string_view>

#include "foundation/atomic_file.hpp"
#include "foundation/containers.hpp"

namespace qor {

namespace {

// A name as one word of the Tcl script: in braces, or, when braces cannot
// hold it (a brace or backslash of its own), with every special character
// escaped so that the script still reads back the exact name.
std::string tcl_word(const std::string& name) {
    if (name.find_first_of("{}\\") == std::string::npos) return "{" + name + "}";
    std::string word;
    for (char c : name) {
        if (c == '\n') {
            word += "\\n";
            continue;
        }
        if (std::string_view(" \t{}[]$\";\\").find(c) != std::string_view::npos) word += '\\';
        word += c;
    }
    return word;
}

}  // namespace

void DependencyRecord::set_command_line(const std::vector<std::string>& args) {
    std::string line;
    for (const auto& arg : args) {
        if (!line.empty()) line += ' ';
        line += tcl_word(arg);
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
    if (main_input_) out += "incr::DepMainInput " + tcl_word(*main_input_) + "\n";
    for (const auto& input : inputs_) out += "incr::DepInput " + tcl_word(input) + "\n";
    for (const auto& output : outputs_) out += "incr::DepOutput " + tcl_word(output) + "\n";
    return out;
}

int DependencyRecord::write() const {
    if (file_name_.empty()) return -1;
    // Silent, as the cache is optional; never left half written.
    AtomicFile file(file_name_, 0);
    if (!file) return -1;
    std::string content = text();
    std::fwrite(content.data(), 1, content.size(), file.get());
    return file.commit() ? 0 : -1;
}

}  // namespace qor
