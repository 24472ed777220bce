#include "engine/text/text_model.h"

#include <cstring>

#include "engine/text/byte_scan.h"

namespace lintavo {

std::string ascii_form(Encoding e, std::string_view ascii) {
    if (!is_utf16(e)) return std::string(ascii);
    std::string out;
    out.reserve(ascii.size() * 2);
    for (const char c : ascii) utf16::append(out, static_cast<unsigned char>(c), e == Encoding::Utf16Be);
    return out;
}

Needle::Needle(std::string_view bytes, Encoding encoding)
    : bytes_(bytes), encoding_(encoding), by_code_(has_duplicate(encoding, bytes)) {}

bool Needle::whole_at(std::string_view hay, std::size_t at) const {
    if (at + bytes_.size() > hay.size()) return false;
    const char* base = hay.data();
    const char* end = base + hay.size();
    // Same bytes from a boundary give the same units, except that the last
    // unit of the hay may run on past the match.
    return boundary_from(base, end, 0, at) == at && boundary_from(base, end, at, at + bytes_.size()) == at + bytes_.size();
}

std::size_t Needle::find_in(std::string_view hay, std::size_t from) const {
    const std::size_t n = bytes_.size();
    if (n == 0) return from <= hay.size() ? from : std::string_view::npos;
    if (by_code_) return find_by_code(hay, from);
    const char* base = hay.data();
    const char* end = base + hay.size();
    std::size_t boundary = from;
    std::size_t pos = from;
    while (pos + n <= hay.size()) {
        const char* hit = scan::find(base + pos, end, bytes_);
        if (hit == nullptr) break;
        const auto h = static_cast<std::size_t>(hit - base);
        boundary = boundary_from(base, end, boundary, h);
        if (boundary == h && boundary_from(base, end, h, h + n) == h + n) return h;
        pos = h + 1;
    }
    return std::string_view::npos;
}

// A needle with a duplicate code is matched unit by unit from each unit
// boundary, by code value (invalid units by their bytes).
std::size_t Needle::find_by_code(std::string_view hay, std::size_t from) const {
    const char* base = hay.data();
    const char* end = base + hay.size();
    const char* nbeg = bytes_.data();
    const char* nend = nbeg + bytes_.size();
    for (const char* start = base + from; start < end; start += unit_at(encoding_, start, end).size) {
        const char* p = start;
        const char* q = nbeg;
        while (q < nend && p < end) {
            const TextUnit up = unit_at(encoding_, p, end);
            const TextUnit uq = unit_at(encoding_, q, nend);
            if (up.code != uq.code) break;
            if (up.invalid() && (up.size != uq.size || std::memcmp(p, q, up.size) != 0)) break;
            p += up.size;
            q += uq.size;
        }
        if (q == nend) return static_cast<std::size_t>(start - base);
    }
    return std::string_view::npos;
}

}  // namespace lintavo
