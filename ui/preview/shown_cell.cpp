#include "ui/preview/shown_cell.h"

#include "engine/text/escaped_text.h"

namespace lintavo::ui {

ShownCell shown_cell(Encoding encoding, std::string_view bytes, int most) {
    ShownCell cell;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    char escape[4];
    while (p < end) {
        if (cell.text.size() >= most) {
            cell.text += QChar(0x2026);
            break;
        }
        const TextUnit u = unit_at(encoding, p, end);
        // A "\" is shown as it is: the colour of the escapes tells them apart.
        if (const std::size_t n = escape_of(u, false, escape)) {
            cell.escapes << static_cast<int>(cell.text.size()) << static_cast<int>(n);
            cell.text += QString::fromLatin1(escape, static_cast<qsizetype>(n));
        } else {
            const char32_t c = u.code;
            cell.text += QString::fromUcs4(&c, 1);
        }
        p += u.size;
    }
    return cell;
}

}  // namespace lintavo::ui
