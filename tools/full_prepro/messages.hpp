// Messages of full_prepro on standard error, in the program's message form
// "file(line): Error: text", and the error count that sets the exit status.
#pragma once

#include <string_view>

namespace full_prepro {

class Messages {
public:
    void error(std::string_view file, unsigned line, std::string_view text);
    void warning(std::string_view file, unsigned line, std::string_view text);
    // A message without a source position names the program instead.
    void error(std::string_view text);
    void warning(std::string_view text);

    int errors() const { return errors_; }

private:
    int errors_ = 0;
};

}  // namespace full_prepro
