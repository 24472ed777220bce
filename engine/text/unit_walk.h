// Counting and comparing the units of byte strings, written once for every
// text model: `UnitAt` reads the unit at p (its code and size) before end.
// A unit of invalid bytes (code U+DC00 + first byte) may hold more than one
// byte (an EUC-JP sequence that is no character): each of its bytes b then
// counts and compares as a unit of its own, U+DC00 + b.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lintavo::detail {

// A set of code values below U+10000, one bit each (a model's duplicates).
class CodeSet {
public:
    CodeSet(const std::uint16_t* codes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) bits_[codes[i] >> 6] |= std::uint64_t{1} << (codes[i] & 63);
    }
    bool has(std::uint32_t code) const { return code <= 0xFFFF && ((bits_[code >> 6] >> (code & 63)) & 1) != 0; }

private:
    std::array<std::uint64_t, 1024> bits_{};
};

// True when some unit of the string has a code value of the set.
template <auto UnitAt>
bool any_unit_in(std::string_view bytes, const CodeSet& set) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const auto u = UnitAt(p, end);
        if (set.has(u.code)) return true;
        p += u.size;
    }
    return false;
}

inline bool invalid_code(std::uint32_t code) { return code >= 0xDC00 && code <= 0xDCFF; }

// `AsciiBytes`: every byte below 0x80 is a unit of its own (all models but
// UTF-16), so that runs of them need no decoding.
template <auto UnitAt, bool AsciiBytes = true>
std::size_t count_units(std::string_view bytes) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    std::size_t n = 0;
    while (p < end) {
        if (AsciiBytes && static_cast<unsigned char>(*p) < 0x80) {
            ++p;
            ++n;
            continue;
        }
        const auto u = UnitAt(p, end);
        n += invalid_code(u.code) ? u.size : 1;
        p += u.size;
    }
    return n;
}

// Reads code values one after the other, the bytes of an invalid unit one by one.
template <auto UnitAt>
struct CodeCursor {
    const char* p;
    const char* end;
    std::uint32_t invalid_left = 0;
    std::uint32_t next() {
        if (invalid_left > 0) {
            --invalid_left;
            return 0xDC00u + static_cast<unsigned char>(*p++);
        }
        const auto u = UnitAt(p, end);
        if (invalid_code(u.code)) {
            invalid_left = u.size - 1;
            return 0xDC00u + static_cast<unsigned char>(*p++);
        }
        p += u.size;
        return u.code;
    }
};

// Unit by unit by code values: <0, 0 or >0. Where ASCII bytes are units of
// their own, runs of them compare as bytes.
template <auto UnitAt, bool AsciiBytes = true>
int compare_units(std::string_view a, std::string_view b) {
    CodeCursor<UnitAt> ca{a.data(), a.data() + a.size()};
    CodeCursor<UnitAt> cb{b.data(), b.data() + b.size()};
    while (ca.p < ca.end && cb.p < cb.end) {
        const unsigned x = static_cast<unsigned char>(*ca.p);
        const unsigned y = static_cast<unsigned char>(*cb.p);
        if (AsciiBytes && x < 0x80 && y < 0x80 && ca.invalid_left == 0 && cb.invalid_left == 0) {
            if (x != y) return x < y ? -1 : 1;
            ++ca.p;
            ++cb.p;
            continue;
        }
        const std::uint32_t ua = ca.next();
        const std::uint32_t ub = cb.next();
        if (ua != ub) return ua < ub ? -1 : 1;
    }
    if (ca.p < ca.end) return 1;
    if (cb.p < cb.end) return -1;
    return 0;
}

// The first unit boundary at or after `to`, for a string [base, end) in
// which `boundary` (<= to) is known to be one, in a model where no byte
// below `single` is ever part of a longer unit: a unit starts right after
// such a byte, so the walk starts from the nearest one before `to`.
template <auto UnitSize>
std::size_t boundary_after_single(const char* base, const char* end, std::size_t boundary, std::size_t to, unsigned single) {
    if (boundary >= to) return boundary;
    std::size_t q = to;
    while (q > boundary && static_cast<unsigned char>(base[q - 1]) >= single) --q;
    while (q < to) q += UnitSize(base + q, end);
    return q;
}

}  // namespace lintavo::detail
