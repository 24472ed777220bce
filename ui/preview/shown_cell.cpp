#include "ui/preview/shown_cell.h"

#include "engine/text/escaped_text.h"

namespace lintavo::ui {

namespace {

constexpr char16_t kBlank = u' ';
constexpr char16_t kWideBlank = u'\u3000';
bool is_blank(QChar c) { return c == kBlank || c == kWideBlank; }

// "半角空白2個" and the like for a run of blanks, or nothing.
QString blank_count(const QString& run) {
    const auto wide = run.count(QChar(kWideBlank));
    const auto half = run.size() - wide;
    QStringList parts;
    if (half > 0) parts << QStringLiteral("半角空白%1個").arg(half);
    if (wide > 0) parts << QStringLiteral("全角空白%1個").arg(wide);
    return parts.join(QStringLiteral("と"));
}

// Marks the blanks at both ends (not at the end of a text cut short).
void mark_end_blanks(ShownCell& cell, bool cut_short) {
    QString& t = cell.text;
    qsizetype lead = 0;
    while (lead < t.size() && is_blank(t[lead])) ++lead;
    qsizetype trail = 0;
    if (!cut_short) {
        while (trail < t.size() - lead && is_blank(t[t.size() - 1 - trail])) ++trail;
    }
    QStringList tip;
    if (lead > 0) tip << QStringLiteral("先頭に") + blank_count(t.left(lead));
    if (trail > 0) tip << QStringLiteral("末尾に") + blank_count(t.right(trail));
    cell.blanks = tip.join(QStringLiteral("、"));
    QList<int> marks;
    const auto mark = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i) t[i] = t[i] == kBlank ? QChar(u'\u00B7') : QChar(u'\u30FB');
        marks << static_cast<int>(from) << static_cast<int>(count);
    };
    if (lead > 0) mark(0, lead);
    QList<int> escapes = marks;
    escapes += cell.escapes;
    if (trail > 0) {
        const QList<int> end = {static_cast<int>(t.size() - trail), static_cast<int>(trail)};
        mark(t.size() - trail, trail);
        escapes += end;
    }
    cell.escapes = escapes;
}

}  // namespace

ShownCell shown_cell(Encoding encoding, std::string_view bytes, int most, bool mark_blanks) {
    ShownCell cell;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    char escape[4];
    while (p < end) {
        if (cell.text.size() >= most) {
            cell.text += QChar(0x2026);
            break;
        }
        TextUnit u = unit_at(encoding, p, end);
        if (u.invalid()) u = {0xDC00u + static_cast<unsigned char>(*p), 1};  // each byte of it
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
    if (mark_blanks) mark_end_blanks(cell, p < end);
    return cell;
}

}  // namespace lintavo::ui
