#include "engine/text/utf16.h"

#include "engine/text/unit_walk.h"

namespace lintavo::utf16 {

// Bytes below 0x80 are no units of their own here: the walks read every unit.
std::size_t unit_count(std::string_view bytes, bool big) {
    return big ? lintavo::detail::count_units<unit_at_be, false>(bytes)
               : lintavo::detail::count_units<unit_at_le, false>(bytes);
}

int compare(std::string_view a, std::string_view b, bool big) {
    return big ? lintavo::detail::compare_units<unit_at_be, false>(a, b)
               : lintavo::detail::compare_units<unit_at_le, false>(a, b);
}

std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to, bool big) {
    if (boundary >= to) return boundary;
    const auto n = static_cast<std::size_t>(end - base);
    // Units start at even distances from a boundary, except the low half of
    // a surrogate pair (and the end, after a last odd byte).
    std::size_t q = to + ((to - boundary) & 1);
    if (q > n) return n;
    if (q >= boundary + 2 && q + 2 <= n) {
        const unsigned before = big ? code_unit<true>(base + q - 2) : code_unit<false>(base + q - 2);
        const unsigned at = big ? code_unit<true>(base + q) : code_unit<false>(base + q);
        if (is_high(before) && is_low(at)) q += 2;
    }
    return q;
}

}  // namespace lintavo::utf16
