#include "engine/text/utf8.h"

#include "engine/text/unit_walk.h"

namespace lintavo::utf8 {

std::size_t unit_count(std::string_view bytes) { return detail::count_units<unit_at>(bytes); }

int compare(std::string_view a, std::string_view b) { return detail::compare_units<unit_at>(a, b); }

std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to) {
    if (boundary >= to) return boundary;
    const auto size = static_cast<std::size_t>(end - base);
    // A unit that holds the byte at `to` starts at most three bytes before
    // it, and every byte that is no continuation byte starts a unit: walk
    // from the last such byte there (or from the known boundary).
    const std::size_t lowest = to - boundary > 3 ? to - 3 : boundary;
    std::size_t q = to;
    while (q > lowest && (q >= size || is_continuation(static_cast<unsigned char>(base[q])))) --q;
    if (q == to) return to;
    if (q != boundary && is_continuation(static_cast<unsigned char>(base[q]))) {
        return to;  // no lead byte close enough: the byte at `to` starts a unit
    }
    while (q < to) q += unit_size(base + q, end);
    return q;
}

namespace {

// True when [p, end) is the start of a valid sequence that the end cut off.
bool cut_off_sequence(const char* p, const char* end) {
    const auto b = static_cast<unsigned char>(*p);
    const std::size_t need = b >= 0xF5 ? 0 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    const auto have = static_cast<std::size_t>(end - p);
    if (need == 0 || have >= need) return false;
    // Complete it with the lowest bytes that could follow, and read it.
    char whole[4];
    for (std::size_t i = 0; i < need; ++i) whole[i] = i < have ? p[i] : '\x80';
    if (have == 1) whole[1] = b == 0xE0 ? '\xA0' : (b == 0xF0 ? '\x90' : '\x80');
    return unit_at(whole, whole + need).size == need;
}

}  // namespace

Sniffed sniff(std::string_view head, bool whole_file) {
    if (head.starts_with(kByteOrderMark)) return Sniffed::Utf8;
    const char* p = head.data();
    const char* end = p + head.size();
    bool multi = false;
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
            continue;
        }
        const Unit u = unit_at(p, end);
        if (u.size == 1) {  // a byte outside any valid sequence
            if (!whole_file && cut_off_sequence(p, end)) break;
            return Sniffed::NotUtf8;
        }
        multi = true;
        p += u.size;
    }
    return multi ? Sniffed::Utf8 : Sniffed::Unknown;
}

}  // namespace lintavo::utf8
