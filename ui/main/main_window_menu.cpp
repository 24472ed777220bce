// frm_main's menus: the File menu with its fixed entries, and the View menu
// with the preview, which follows the settings while it is open.
#include <QAction>
#include <QMenu>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>

#include "ui/main/main_window.h"
#include "ui/preview/preview_window.h"

namespace lintavo::ui {

void frm_main::create_menu() {
    mnu_file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnu_file->setObjectName(QStringLiteral("mnu_file"));
    const auto entry = [this](const char* name, const QString& caption, bool shown, void (frm_main::*handler)()) {
        QAction* a = mnu_file->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setVisible(shown);
        if (handler != nullptr) connect(a, &QAction::triggered, this, handler);
        return a;
    };
    const auto bar = [this](const char* name, bool shown) {
        QAction* a = mnu_file->addSeparator();
        a->setObjectName(QLatin1String(name));
        a->setVisible(shown);
    };
    entry("mnu_ReadfileOpen", QStringLiteral("読込ファイルを選択く"), false, &frm_main::mnu_readfileOpen_Click);
    entry("mnu_WriteFileOpen", QStringLiteral("書出ファイルを選択"), false, &frm_main::mnu_WriteFileOpen_Click);
    bar("mnu_file_bar0", false);
    // The entries keep their captions; the menu shows the keys beside them.
    entry("mnu_Select_FileRead", QStringLiteral("抽出パターン読込み"), true, &frm_main::mnu_Select_FileRead_Click)
        ->setShortcut(QKeySequence::Open);
    entry("mnu_Select_FileWrite", QStringLiteral("抽出パターン保管"), true, &frm_main::mnu_Select_FileWrite_Click)
        ->setShortcut(QKeySequence::Save);
    bar("mnu_file_bar1", true);
    entry("mnu_Version", QStringLiteral("バージョン"), true, &frm_main::mnu_Version_Click);
    QAction* end = entry("mnu_end", QStringLiteral("終了"), true, nullptr);
    connect(end, &QAction::triggered, this, &QWidget::close);

    mnu_view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    mnu_view->setObjectName(QStringLiteral("mnu_view"));
    QAction* preview = mnu_view->addAction(QStringLiteral("プレビュー(&P)"));
    preview->setObjectName(QStringLiteral("mnu_Preview"));
    preview->setShortcut(QKeySequence(Qt::Key_F5));
    connect(preview, &QAction::triggered, this, &frm_main::mnu_Preview_Click);
}

// Opens the preview, or brings it forward, and reads the records anew. It
// first opens beside the window, so that the settings it reflects stay in
// sight; after that it comes back where the user left it.
void frm_main::mnu_Preview_Click() {
    if (preview_ == nullptr) {
        preview_ = new frm_preview(this, [this] { return read_settings(); }, [this] { return running_; });
        preview_->set_read_code_action([this](int code) { cmb_code->setCurrentIndex(code); });
        // What the preview sets shows in the fields at once, to be edited or saved as any setting.
        preview_->set_row_actions(
            [this](int row, const QString& start, const QString& length) {
                txt_ichi[row].edit->setText(start);
                txt_len[row].edit->setText(length);
            },
            [this](int row, const QString& key, int change) {
                cmb_select[row]->setCurrentIndex(kCompareEqual);
                txt_key[row].edit->setText(key);
                if (change >= 0) cmb_change[row]->setCurrentIndex(change);
            });
        place_preview();
    }
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
    preview_->refresh();
}

void frm_main::place_preview() {
    const QScreen* s = screen();
    if (s == nullptr) return;
    // The preview's frame is taken to be as wide as the window's own.
    const QSize frame = frameGeometry().size() - size();
    const QRect rows(Frame1->mapToGlobal(QPoint(0, 0)), Frame1->size());
    const QRect at = preview_place(frameGeometry(), rows, preview_->size() + frame, s->availableGeometry());
    preview_->resize(at.size() - frame);
    preview_->move(at.topLeft());
}

void frm_main::mark_changed() {
    if (preview_ != nullptr) preview_->refresh_soon();
}

void frm_main::tell_preview_run_state(bool running) {
    if (preview_ != nullptr) preview_->run_state_changed(running);
}

}  // namespace lintavo::ui
