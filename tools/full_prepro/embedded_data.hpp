// The text that stands for the data of an #embed line.
#pragma once

#include <string>
#include <string_view>

namespace full_prepro {

// The bytes' values (0 to 255) separated by ", ", as the compiler reads
// the data: each byte an integer constant of an initializer list.
std::string integer_list(std::string_view bytes);

}  // namespace full_prepro
