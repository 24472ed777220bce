// frm_preview: the window "プレビュー - Lintavo", which shows for the first
// records of the read file what a run would do with each, and why. It
// never writes a file, never changes a setting of the main window and never
// reads during a run; it refreshes when it opens, on F5 or "更新", and
// about 300 ms after a setting changes.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

#include "engine/io/byte_io.h"
#include "engine/settings.h"
#include "ui/preview/preview_rows.h"

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTableView;

namespace lintavo::ui {

class RulerView;

// Where the preview first opens (its outer frame, of `size` or smaller):
// beside the main window's frame `main` where the screen `screen` has room,
// to the right, else below; else where it leaves `rows` (the condition
// rows) in sight, to their right or below them, made smaller as it must;
// else in the screen's lower right corner.
QRect preview_place(const QRect& main, const QRect& rows, const QSize& size, const QRect& screen);

class frm_preview : public QDialog {
    Q_OBJECT

public:
    // `settings`: the main window's settings as they stand; `running`:
    // whether a run goes on.
    frm_preview(QWidget* parent, std::function<ExtractionSettings()> settings, std::function<bool()> running);

    // Reads the records anew, now (or shows that a run goes on).
    void refresh();
    // Refreshes about 300 ms after the last of several changes; a search
    // going on ends at once.
    void refresh_soon() {
        end_search();
        timer_.start();
    }
    // A run began or ended: the preview waits for its end, then refreshes.
    void run_state_changed(bool running);
    // What the preview may change in the main window, at the user's word:
    // the read encoding (the list's index).
    void set_read_code_action(std::function<void(int)> action) { set_read_code_ = std::move(action); }
    // A row's start and length (TEXT, fixed length: bytes; CSV: the column
    // and an empty length), and a row's filter: "=" and the value, with the
    // conversion when it is not -1.
    void set_row_actions(std::function<void(int, const QString&, const QString&)> cut,
                         std::function<void(int, const QString&, int)> filter) {
        set_cut_ = std::move(cut);
        set_filter_ = std::move(filter);
    }
    // The menus of the ruler's chosen bytes and of a cell (tests call them).
    QMenu* ruler_menu();
    QMenu* cell_menu(const QModelIndex& index);

    // The limits of the window's preview.
    static constexpr std::int64_t kMostRecords = 1000;
    static constexpr std::uint64_t kMostBytes = std::uint64_t{16} << 20;

    ~frm_preview() override;

    // For tests: what the window holds.
    const PreviewRows& rows() const { return rows_; }
    QString status() const;
    QPushButton* code_button() const { return cmd_code; }
    QCheckBox* written_box() const { return chk_written; }
    bool searching() const { return search_ != nullptr; }
    RulerView* ruler() const { return pic_ruler; }
    int refresh_count() const { return refreshes_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // The search for the records a run would write, on a thread of its own.
    struct Search;
    void start_search(const ExtractionSettings& s, int chosen, bool selected);
    void end_search();
    void poll_search();
    void show_result(const ExtractionSettings& s, const PreviewResult& result, int chosen, bool selected);
    void show_status(const QString& text);
    void show_chosen_record();
    void fit_columns();

    // The status line: the counts (or the failure), a row not in use, and
    // the encoding the file seems to be in, with a button to read it so.
    void show_hints(const ExtractionSettings& s, QString status);

    std::function<ExtractionSettings()> settings_;
    std::function<bool()> running_;
    std::function<void(int)> set_read_code_;
    std::function<void(int, const QString&, const QString&)> set_cut_;
    std::function<void(int, const QString&, int)> set_filter_;
    QMenu* menu_ = nullptr;
    int hinted_code_ = -1;
    RunFiles files_;
    PreviewRows rows_;
    QTimer timer_;
    QTimer search_timer_;
    std::unique_ptr<Search> search_;
    int refreshes_ = 0;

    QTableView* grd_preview = nullptr;
    QScrollArea* scr_ruler = nullptr;
    RulerView* pic_ruler = nullptr;
    QLabel* lbl_status = nullptr;
    QPushButton* cmd_refresh = nullptr;
    QPushButton* cmd_code = nullptr;  // "UTF-8 として読む" when the file seems to be so
    QCheckBox* chk_written = nullptr;  // "書出し分のみ": the first records a run writes, from the whole file
};

}  // namespace lintavo::ui
