// Joins pieces of text into one string in a single allocation.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace lintavo {

inline std::string join(std::initializer_list<std::string_view> parts) {
    std::size_t n = 0;
    for (const auto p : parts) n += p.size();
    std::string s;
    s.reserve(n);
    for (const auto p : parts) s.append(p);
    return s;
}

}  // namespace lintavo
