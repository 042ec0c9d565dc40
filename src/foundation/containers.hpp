// Container helpers whose behaviour shows in the program's output: lists
// that keep each item once in order of first mention, dictionaries walked in
// signed-byte key order, and the ELF string hash.
#pragma once

#include <algorithm>
#include <cstdint>
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

// The ELF symbol hash of a key, modulo the bucket count; bytes count as
// signed values.
inline uint32_t hash_string(std::string_view key, uint32_t buckets) {
    uint32_t h = 0;
    for (char c : key) {
        h = (h << 4) + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
        uint32_t g = h & 0xF0000000u;
        if (g != 0) h = (h & 0x0FFFFFFFu) ^ (g >> 24);
    }
    return buckets ? h % buckets : 0;
}

}  // namespace qor
