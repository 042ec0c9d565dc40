#include "embedded_data.hpp"

namespace full_prepro {

std::string integer_list(std::string_view bytes) {
    std::string text;
    // At most "255, " per byte.
    text.reserve(bytes.size() * 5);
    for (unsigned char byte : bytes) {
        if (!text.empty()) text += ", ";
        text += std::to_string(byte);
    }
    return text;
}

}  // namespace full_prepro
