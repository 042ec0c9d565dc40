// What an incremental build needs to know of one command line: its words,
// the inputs and outputs of each analysed file, written as a Tcl script of
// incr:: commands in the results' cache directory.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qor {

class DependencyRecord {
public:
    // Every argument in braces, separated by one blank.
    void set_command_line(const std::vector<std::string>& args);
    void add_input(const std::string& name);
    void add_output(const std::string& name);
    void set_main_input(const std::string& name) { main_input_ = name; }
    void set_file_name(const std::string& name) { file_name_ = name; }

    // Writes the dependency file; -1 when it cannot be written (the cache
    // directory is not created here).
    int write() const;
    // The file's text, as write() stores it.
    std::string text() const;
    void release() { *this = DependencyRecord(); }

    const std::vector<std::string>& inputs() const { return inputs_; }
    const std::vector<std::string>& outputs() const { return outputs_; }

private:
    std::optional<std::string> command_line_;
    std::optional<std::string> main_input_;
    std::vector<std::string> inputs_;
    std::vector<std::string> outputs_;
    std::string file_name_;
};

}  // namespace qor
