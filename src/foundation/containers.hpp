// Container helpers whose behaviour shows in the program's output: lists
// that keep each item once in order of first mention, and dictionaries
// walked in signed-byte key order.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qor {

// Appends the item unless an equal one is present; true when appended.
template <class T>
bool append_unique(std::vector<T>& list, const T& item) {
    if (std::find(list.begin(), list.end(), item) != list.end()) return false;
    list.push_back(item);
    return true;
}

// Key order of the dictionaries: bytes compared as signed 8-bit values, a
// key before every longer key that it starts.
struct SignedByteLess {
    bool operator()(std::string_view a, std::string_view b) const {
        size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            auto ca = static_cast<signed char>(a[i]);
            auto cb = static_cast<signed char>(b[i]);
            if (ca != cb) return ca < cb;
        }
        return a.size() < b.size();
    }
    using is_transparent = void;
};

template <class Value>
using Dico = std::map<std::string, Value, SignedByteLess>;

}  // namespace qor
