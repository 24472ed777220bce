// Counting and comparing the units of byte strings, written once for every
// text model: `UnitAt` reads the unit at p (its code and size) before end.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintavo::detail {

template <auto UnitAt>
std::size_t count_units(std::string_view bytes) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    std::size_t n = 0;
    while (p < end) {
        p += static_cast<unsigned char>(*p) < 0x80 ? 1 : UnitAt(p, end).size;
        ++n;
    }
    return n;
}

// Unit by unit by code values: <0, 0 or >0. ASCII bytes are units of their
// own in both models, so runs of them compare as bytes.
template <auto UnitAt>
int compare_units(std::string_view a, std::string_view b) {
    const char* pa = a.data();
    const char* ea = pa + a.size();
    const char* pb = b.data();
    const char* eb = pb + b.size();
    while (pa < ea && pb < eb) {
        const unsigned x = static_cast<unsigned char>(*pa);
        const unsigned y = static_cast<unsigned char>(*pb);
        if (x < 0x80 && y < 0x80) {
            if (x != y) return x < y ? -1 : 1;
            ++pa;
            ++pb;
            continue;
        }
        const auto ua = UnitAt(pa, ea);
        const auto ub = UnitAt(pb, eb);
        if (ua.code != ub.code) return ua.code < ub.code ? -1 : 1;
        pa += ua.size;
        pb += ub.size;
    }
    if (pa < ea) return 1;
    if (pb < eb) return -1;
    return 0;
}

}  // namespace lintavo::detail
