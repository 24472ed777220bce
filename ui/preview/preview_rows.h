// The preview's table: one row per record read, with its number, verdict,
// the test that held it back, its fields and the line written. It is the
// sink the engine's preview fills, and the model the table view shows.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

#include "engine/run/preview.h"
#include "ui/preview/shown_cell.h"

namespace lintavo::ui {

struct PreviewRow {
    std::int64_t number = 0;
    PreviewKind kind = PreviewKind::Written;
    QString reason;
    std::vector<ShownCell> fields;
    std::vector<std::string> field_bytes;  // as converted, in the read encoding
    bool written = false;
    ShownCell line;
    std::string record;  // the bytes as read, for the ruler
};

// The records the engine's preview hands on, made ready to show. It holds
// no Qt object, so a search may fill it on a thread of its own.
class PreviewTable : public PreviewSink {
public:
    void begin(const PreviewLayout& l) override { layout = l; }
    void record(const PreviewRecord& r) override;

    PreviewLayout layout;
    std::vector<PreviewRow> rows;
};

class PreviewRows : public QAbstractTableModel {
public:
    static constexpr int kEscapesRole = Qt::UserRole + 1;  // QList<int>: the escapes of a cell
    enum Column { kNumber = 0, kVerdict, kReason, kFirstField };

    // Empties the table and fills it anew from the engine's preview.
    void fill(const std::function<PreviewResult(PreviewSink&)>& preview, PreviewResult& result);
    // Shows a table filled elsewhere (none, when its preview failed).
    void take(PreviewTable&& table, bool failed);

    const PreviewLayout& layout() const { return layout_; }
    const std::vector<PreviewRow>& rows() const { return rows_; }
    int line_column() const { return kFirstField + layout_.rows_in_use; }
    // The heading of the field of condition row `row`: "@3 都道府県",
    // "@3 3列目", "@1 1-4".
    QString field_heading(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ShownCell* cell(const QModelIndex& index) const;

    PreviewLayout layout_;
    std::vector<PreviewRow> rows_;
};

// Draws the escapes of a cell in their own colour.
class EscapeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace lintavo::ui
