#include "text_file.hpp"

#include <cstdio>
#include <memory>

namespace full_prepro {

std::optional<std::string> read_text_file(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::string content;
    char buffer[8192];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, count);
    if (std::ferror(file.get())) return std::nullopt;
    return content;
}

}  // namespace full_prepro
