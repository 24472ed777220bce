#include "engine/text/escaped_text.h"

namespace lintavo {

std::size_t escape_of(TextUnit unit, bool escape_backslash, char (&out)[4]) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint32_t c = unit.code;
    const auto pair = [&out](char second) {
        out[0] = '\\';
        out[1] = second;
        return std::size_t{2};
    };
    switch (c) {
        case '\t': return pair('t');
        case '\r': return pair('r');
        case '\n': return pair('n');
        case '\\': return escape_backslash ? pair('\\') : 0;
        default: break;
    }
    if (!(c < 0x20 || (c >= 0x7F && c <= 0x9F) || unit.invalid())) return 0;
    const std::uint32_t byte = c & 0xFF;  // an invalid byte's own value, or the code point
    out[0] = '\\';
    out[1] = 'x';
    out[2] = kHex[byte >> 4];
    out[3] = kHex[byte & 0xF];
    return 4;
}

std::string escaped_text(Encoding encoding, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    char escape[4];
    while (p < end) {
        TextUnit u = unit_at(encoding, p, end);
        if (u.invalid()) u = {0xDC00u + static_cast<unsigned char>(*p), 1};  // each byte of it
        if (const std::size_t n = escape_of(u, true, escape)) out.append(escape, n);
        else utf8::append(out, u.code);
        p += u.size;
    }
    return out;
}

}  // namespace lintavo
