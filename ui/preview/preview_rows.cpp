#include "ui/preview/preview_rows.h"

#include <QApplication>
#include <QFont>
#include <QPainter>

#include "ui/preview/preview_colours.h"

namespace lintavo::ui {

void PreviewRows::fill(const std::function<PreviewResult(PreviewSink&)>& preview, PreviewResult& result) {
    PreviewTable table;
    result = preview(table);
    take(std::move(table), result.failure.has_value());
}

void PreviewRows::take(PreviewTable&& table, bool failed) {
    beginResetModel();
    // A table of an earlier preview would tell what is no longer so.
    layout_ = failed ? PreviewLayout{} : table.layout;
    rows_ = failed ? std::vector<PreviewRow>{} : std::move(table.rows);
    endResetModel();
}

void PreviewTable::record(const PreviewRecord& r) {
    PreviewRow row;
    row.number = r.number;
    row.kind = r.kind;
    if (r.kind == PreviewKind::HeldBack) row.reason = QString::fromStdString(failed_test_name(r.verdict));
    row.fields.reserve(r.fields.size());
    for (const std::string_view f : r.fields) {
        row.fields.push_back(shown_cell(layout.read_encoding, f, 2000, true));
        row.field_bytes.emplace_back(f);
    }
    row.written = r.written;
    if (r.written) row.line = shown_cell(layout.write_encoding, r.line, 2000, true);
    row.record.assign(r.record);
    rows.push_back(std::move(row));
}

QString PreviewRows::field_heading(int row) const {
    const QString mark = QStringLiteral("@%1").arg(row + 1);
    if (splits_columns(layout_.type)) {
        const bool named = !rows_.empty() && rows_.front().kind == PreviewKind::Header;
        if (named) return mark + QLatin1Char(' ') + rows_.front().fields[static_cast<std::size_t>(row)].text;
        return mark + QStringLiteral(" %1列目").arg(layout_.columns[static_cast<std::size_t>(row)]);
    }
    if (row >= layout_.cut_rows) return mark + QStringLiteral(" (長さなし)");
    const auto [start, length] = layout_.cuts[static_cast<std::size_t>(row)];
    if (length <= 0) return mark + QStringLiteral(" %1 (長さ0)").arg(start);
    return mark + QStringLiteral(" %1-%2").arg(start).arg(start + length - 1);
}

int PreviewRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewRows::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : line_column() + 1; }

const ShownCell* PreviewRows::cell(const QModelIndex& index) const {
    const PreviewRow& r = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() == line_column()) return &r.line;
    if (index.column() >= kFirstField) return &r.fields[static_cast<std::size_t>(index.column() - kFirstField)];
    return nullptr;
}

QVariant PreviewRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PreviewRow& r = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            if (column == kNumber) return QString::number(r.number);
            if (column == kVerdict) {
                static const QString kMarks[] = {QStringLiteral("○"), QStringLiteral("×"), QStringLiteral("見出し")};
                return kMarks[static_cast<int>(r.kind)];
            }
            if (column == kReason) return r.reason;
            return cell(index)->text;
        case kEscapesRole:
            if (const ShownCell* c = column >= kFirstField ? cell(index) : nullptr) return QVariant::fromValue(c->escapes);
            return {};
        case Qt::ForegroundRole:
            if (column == kVerdict && r.kind == PreviewKind::Written) return kWrittenMark;
            if ((column == kVerdict || column == kReason) && r.kind == PreviewKind::HeldBack) return kHeldBackMark;
            if (r.kind == PreviewKind::HeldBack) return kHeldBackText;
            return {};
        case Qt::BackgroundRole:
            if (r.kind == PreviewKind::Header) return kHeaderRow;
            return {};
        case Qt::TextAlignmentRole:
            if (column == kNumber) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            if (column == kVerdict) return QVariant(Qt::AlignCenter);
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            if (column == kNumber) return shown_cell(layout_.read_encoding, r.record).text;  // the record as read
            if (column >= kFirstField) {
                const ShownCell* c = cell(index);
                return c->blanks.isEmpty() ? c->text : c->text + QLatin1Char('\n') + c->blanks;
            }
            return {};
        default:
            return {};
    }
}

QVariant PreviewRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    const bool field = section >= kFirstField && section < line_column();
    if (role == Qt::DisplayRole) {
        if (section == kNumber) return QStringLiteral("件目");
        if (section == kVerdict) return QStringLiteral("判定");
        if (section == kReason) return QStringLiteral("理由");
        if (field) return field_heading(section - kFirstField);
        return QStringLiteral("書出し内容");
    }
    if (role == Qt::BackgroundRole && field) return field_colour(section - kFirstField);
    return {};
}

void EscapeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QList<int> escapes = index.data(PreviewRows::kEscapesRole).value<QList<int>>();
    if (escapes.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // background, selection, focus
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(3, 0, -3, 0);
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QColor plain = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics fm(opt.font);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(opt.font);
    int x = area.left();
    const int baseline = area.top() + (area.height() + fm.ascent() - fm.descent()) / 2;
    const auto draw = [&](const QString& part, bool escape) {
        const int w = fm.horizontalAdvance(part);
        if (escape) painter->fillRect(QRect(x, area.top() + 2, w, area.height() - 4), kEscapeBackground);
        painter->setPen(escape ? kEscapeText : plain);  // the plain text in the row's own colour
        painter->drawText(x, baseline, part);
        x += w;
    };
    int at = 0;
    for (qsizetype k = 0; k + 1 < escapes.size() && x <= area.right(); k += 2) {
        if (escapes[k] > at) draw(text.mid(at, escapes[k] - at), false);
        draw(text.mid(escapes[k], escapes[k + 1]), true);
        at = escapes[k] + escapes[k + 1];
    }
    if (at < text.size() && x <= area.right()) draw(text.mid(at), false);
    painter->restore();
}

}  // namespace lintavo::ui
