// The record chosen in the preview's table, byte by byte under a ruler of
// byte positions (from 1, counting bytes as start positions and lengths
// do), with the bytes each condition row cuts marked in that row's colour:
// the record's bytes on the colour of the first row that holds them, and
// under them one band for each row, so that rows that overlap show too.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/run/preview.h"

namespace lintavo::ui {

class RulerView : public QWidget {
public:
    explicit RulerView(QWidget* parent = nullptr);

    // The bytes chosen by dragging across them (or with Shift and the arrow
    // keys), always whole characters: start from 1 and length, or a length
    // of 0 when none are chosen.
    std::pair<std::int64_t, std::int64_t> selection() const;
    // Chooses the bytes from `first` to `last` (from 1), widened to whole characters.
    void select_bytes(std::int64_t first, std::int64_t last);
    // Asks for the menu that puts the chosen bytes into a row.
    std::function<void(const QPoint& global)> on_menu;

    // Shows the record, cut as the layout says.
    void show_record(const std::string& record, const PreviewLayout& layout);
    void clear();

    // The first condition row whose field holds byte `position` (from 1),
    // or -1.
    int row_of_byte(std::int64_t position) const;
    // Where byte `position` (from 1) of the record stands.
    QRect byte_rect(std::int64_t position) const;
    // The bytes shown: a record longer than this is cut short.
    static constexpr std::size_t kMostBytes = 65536;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Unit {
        std::size_t offset;
        std::uint32_t code;
        std::uint32_t size;
        bool invalid;
    };
    int cell_width() const;
    int line_height() const;
    int left_margin() const;
    int band_height() const;
    // The byte (from 0) under x, within the record, or -1.
    std::int64_t byte_at(int x) const;
    // The unit that holds byte `offset` (from 0).
    const Unit* unit_of(std::int64_t offset) const;

    std::string bytes_;
    std::vector<Unit> units_;
    std::vector<std::pair<std::int64_t, std::int64_t>> cuts_;  // of the rows that cut a field
    bool cut_short_ = false;
    std::int64_t anchor_ = -1;  // where the choice began (a byte from 0)
    std::int64_t cursor_ = -1;  // where it ends now
};

}  // namespace lintavo::ui
