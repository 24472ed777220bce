#include "ui/preview/ruler_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "ui/preview/preview_colours.h"

namespace lintavo::ui {
namespace {

constexpr int kTickHeight = 8;
constexpr int kBandGap = 3;

}  // namespace

RulerView::RulerView(QWidget* parent) : QWidget(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

int RulerView::cell_width() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }
int RulerView::line_height() const { return fontMetrics().height() + 2; }
// The marks of the bands are in the window's own font and size.
int RulerView::left_margin() const {
    return std::max(fontMetrics().horizontalAdvance(QStringLiteral("@7 ")),
                    QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("@7 ")));
}
int RulerView::band_height() const { return QFontMetrics(QApplication::font()).height(); }

void RulerView::show_record(const std::string& record, const PreviewLayout& layout) {
    anchor_ = cursor_ = -1;
    cut_short_ = record.size() > kMostBytes;
    bytes_ = record.substr(0, kMostBytes);
    units_.clear();
    const char* const base = bytes_.data();
    const char* const end = base + bytes_.size();
    for (const char* p = base; p < end;) {
        const TextUnit u = unit_at(layout.read_encoding, p, end);
        if (u.invalid()) {  // each byte of it, as the record's cells show it
            units_.push_back({static_cast<std::size_t>(p - base), 0xDC00u + static_cast<unsigned char>(*p), 1, true});
            ++p;
            continue;
        }
        units_.push_back({static_cast<std::size_t>(p - base), u.code, u.size, false});
        p += u.size;
    }
    cuts_.assign(layout.cuts.begin(), layout.cuts.begin() + layout.cut_rows);
    updateGeometry();
    resize(sizeHint());
    update();
}

const RulerView::Unit* RulerView::unit_of(std::int64_t offset) const {
    const auto at = std::upper_bound(units_.begin(), units_.end(), offset,
                                     [](std::int64_t o, const Unit& u) { return o < static_cast<std::int64_t>(u.offset); });
    return at == units_.begin() ? nullptr : &*(at - 1);
}

std::pair<std::int64_t, std::int64_t> RulerView::selection() const {
    if (anchor_ < 0 || cursor_ < 0) return {0, 0};
    const Unit* from = unit_of(std::min(anchor_, cursor_));
    const Unit* to = unit_of(std::max(anchor_, cursor_));
    if (from == nullptr || to == nullptr) return {0, 0};
    return {static_cast<std::int64_t>(from->offset) + 1, static_cast<std::int64_t>(to->offset + to->size - from->offset)};
}

void RulerView::select_bytes(std::int64_t first, std::int64_t last) {
    const auto n = static_cast<std::int64_t>(bytes_.size());
    if (n == 0) return;
    anchor_ = std::clamp<std::int64_t>(first - 1, 0, n - 1);
    cursor_ = std::clamp<std::int64_t>(last - 1, 0, n - 1);
    update();
}

std::int64_t RulerView::byte_at(int x) const {
    const auto n = static_cast<std::int64_t>(bytes_.size());
    if (n == 0) return -1;
    return std::clamp<std::int64_t>((x - left_margin()) / cell_width(), 0, n - 1);
}

void RulerView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    anchor_ = cursor_ = byte_at(event->position().toPoint().x());
    setFocus(Qt::MouseFocusReason);
    update();
}

void RulerView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0) return;
    cursor_ = byte_at(event->position().toPoint().x());
    update();
}

// Left and Right move by a character, with Shift they widen the choice;
// the menu key (or Shift+F10) opens the menu.
void RulerView::keyPressEvent(QKeyEvent* event) {
    const auto n = static_cast<std::int64_t>(bytes_.size());
    if (n == 0 || (event->key() != Qt::Key_Left && event->key() != Qt::Key_Right)) return QWidget::keyPressEvent(event);
    if (cursor_ < 0) anchor_ = cursor_ = 0;
    const Unit* u = unit_of(cursor_);
    std::int64_t next = cursor_;
    if (event->key() == Qt::Key_Right && u != nullptr) next = std::min<std::int64_t>(n - 1, static_cast<std::int64_t>(u->offset + u->size));
    if (event->key() == Qt::Key_Left && u != nullptr && u->offset > 0) next = static_cast<std::int64_t>(unit_of(static_cast<std::int64_t>(u->offset) - 1)->offset);
    cursor_ = next;
    if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = cursor_;
    update();
}

void RulerView::contextMenuEvent(QContextMenuEvent* event) {
    if (on_menu && selection().second > 0) on_menu(event->globalPos());
}

void RulerView::clear() {
    bytes_.clear();
    units_.clear();
    cuts_.clear();
    cut_short_ = false;
    resize(sizeHint());
    update();
}

int RulerView::row_of_byte(std::int64_t position) const {
    for (std::size_t i = 0; i < cuts_.size(); ++i) {
        const auto [start, length] = cuts_[i];
        if (position >= start && position < start + length) return static_cast<int>(i);
    }
    return -1;
}

QRect RulerView::byte_rect(std::int64_t position) const {
    const int lh = line_height();
    return {left_margin() + static_cast<int>(position - 1) * cell_width(), lh + kTickHeight + 2, cell_width(), lh};
}

QSize RulerView::sizeHint() const {
    const std::size_t shown = std::max<std::size_t>(bytes_.size(), 10);
    const int width = left_margin() + static_cast<int>(shown + (cut_short_ ? 2 : 0)) * cell_width() + cell_width();
    const int height = 2 * line_height() + kTickHeight + 2 + static_cast<int>(cuts_.size()) * (band_height() + kBandGap) + 4;
    return {width, height};
}

QSize RulerView::minimumSizeHint() const { return sizeHint(); }

void RulerView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const int cw = cell_width();
    const int lh = line_height();
    const int x0 = left_margin();
    const QFontMetrics fm = fontMetrics();
    QFont small = font();
    small.setPointSizeF(std::max(5.0, font().pointSizeF() * 0.7));
    // Only the bytes in the part to paint.
    const auto first = static_cast<std::int64_t>(std::max(0, (event->rect().left() - x0) / cw - 8));
    const auto last = static_cast<std::int64_t>(std::max(0, (event->rect().right() - x0) / cw + 8));
    const auto cell_x = [&](std::int64_t byte) { return byte_rect(byte + 1).left(); };  // byte from 0

    // The ruler: a number at 1 and every tenth byte, a tick at every byte.
    p.setPen(palette().color(QPalette::WindowText));
    const std::int64_t shown = std::max<std::int64_t>(static_cast<std::int64_t>(bytes_.size()), 10);
    for (std::int64_t b = first; b < std::min(shown, last); ++b) {
        const std::int64_t position = b + 1;
        if (position == 1 || position % 10 == 0) p.drawText(cell_x(b), fm.ascent() + 1, QString::number(position));
        const int tick = position % 10 == 0 ? kTickHeight : (position % 5 == 0 ? kTickHeight * 2 / 3 : kTickHeight / 3);
        p.drawLine(cell_x(b), lh + kTickHeight - tick, cell_x(b), lh + kTickHeight);
    }

    // The record: each byte on the colour of the first row that holds it.
    const int top = byte_rect(1).top();
    for (std::int64_t b = first; b < std::min<std::int64_t>(static_cast<std::int64_t>(bytes_.size()), last); ++b) {
        const int row = row_of_byte(b + 1);
        if (row >= 0) p.fillRect(byte_rect(b + 1), field_colour(row));
    }
    for (const Unit& u : units_) {
        if (static_cast<std::int64_t>(u.offset + u.size) < first || static_cast<std::int64_t>(u.offset) > last) continue;
        const QRect r(cell_x(static_cast<std::int64_t>(u.offset)), top, static_cast<int>(u.size) * cw, lh);
        if (u.invalid || u.code < 0x20 || u.code == 0x7F || (u.code >= 0x80 && u.code <= 0x9F)) {
            // What no glyph shows: its byte, or its code, in hex.
            p.fillRect(r.adjusted(1, 2, -1, -2), kEscapeBackground);
            p.setPen(kEscapeText);
            p.setFont(small);
            p.drawText(r, Qt::AlignCenter, QStringLiteral("%1").arg(u.code & 0xFF, 2, 16, QLatin1Char('0')).toUpper());
            p.setFont(font());
            continue;
        }
        const char32_t c = u.code;
        p.setPen(palette().color(QPalette::Text));
        p.drawText(r, Qt::AlignCenter, QString::fromUcs4(&c, 1));
    }
    // The chosen bytes, framed.
    if (const auto [start, length] = selection(); length > 0) {
        const QRect chosen(cell_x(start - 1), top - 1, static_cast<int>(length) * cw, lh + 2);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(chosen);
    }
    if (cut_short_) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(cell_x(static_cast<std::int64_t>(bytes_.size())), top + fm.ascent() + 1, QStringLiteral("…"));
    }

    // One band for each row that cuts a field, its mark at the left.
    const int band = band_height();
    for (std::size_t i = 0; i < cuts_.size(); ++i) {
        const int y = top + lh + kBandGap + static_cast<int>(i) * (band + kBandGap);
        p.setFont(QApplication::font());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(0, y, x0 - 3, band), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("@%1").arg(i + 1));
        p.setFont(font());
        const auto [start, length] = cuts_[i];
        if (length <= 0 || start < 1) continue;
        const std::int64_t from = std::max(start - 1, first);
        const std::int64_t to = std::min({start - 1 + length, std::max(last, from), static_cast<std::int64_t>(bytes_.size())});
        if (to > from) p.fillRect(QRect(cell_x(from), y, static_cast<int>(to - from) * cw, band), field_colour(static_cast<int>(i)).darker(115));
    }
}

}  // namespace lintavo::ui
