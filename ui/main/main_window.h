// frm_main: the one window of Lintavo. Its controls hold the settings of an
// extraction; its buttons and menu entries start the run, the file choices
// and the pattern commands.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

#include "engine/io/byte_io.h"
#include "engine/settings.h"
#include "ui/common/common_dialog.h"
#include "ui/common/text_binding.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace lintavo::ui {

class frm_preview;

// The room a closed list has for its entry's text, and a font for the
// closed list in which every entry fits that room.
int list_text_room(const QComboBox* c);
void fit_list_font(QComboBox* c);
inline constexpr qreal kLeastListPoints = 7;  // the smallest a closed list's font is made

class frm_main : public QMainWindow {
    Q_OBJECT

public:
    explicit frm_main(QWidget* parent = nullptr);
    ~frm_main() override;

    // Start-up: centres the window, fills the lists, labels the rows and
    // loads the pattern file the command line names. False when the program
    // is to end without showing the window (the file is missing).
    bool Form_Load(const QString& command_line);

    // The settings as the controls hold them, and back into the controls
    // (list choices set here run their handlers as a user's choice does).
    ExtractionSettings read_settings() const;
    void write_settings(const ExtractionSettings& s);

    // Handlers of the controls and menu entries.
    void cmb_type_Click();
    void cmb_type_Write_Click();
    void cmd_select_Click();
    void cmd_ReadFileOpen_Click() { mnu_readfileOpen_Click(); }
    void cmd_WriteFile_Click() { mnu_WriteFileOpen_Click(); }
    void mnu_readfileOpen_Click();
    void mnu_WriteFileOpen_Click();
    void mnu_Select_FileRead_Click();
    void mnu_Select_FileWrite_Click();
    void mnu_Version_Click();
    void mnu_Preview_Click();
    void proc_ReadPattern(const QString& path);

    CommonDialog& CommonDialog1() { return dialog_; }
    // The preview window, once opened (tests).
    frm_preview* preview_window() const { return preview_; }
    // Replaces the message box (tests record the texts instead).
    void set_message_handler(std::function<void(const QString&)> handler) { message_ = std::move(handler); }
    // Replaces the question box with はい and いいえ (tests answer it).
    void set_question_handler(std::function<bool(const QString&)> handler) { question_ = std::move(handler); }
    bool running() const { return running_; }
    // Stops a run at its next pause (the "中止" button, Esc); no message.
    void stop_run() {
        if (running_) stop_asked_ = true;
    }
    // Called after the window's events are processed at each pause of a run
    // (tests act there as a user would).
    void set_pause_hook(std::function<void()> hook) { pause_hook_ = std::move(hook); }

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_QueryUnload
    // The outer frame a window manager puts round the window is known only
    // once the window is shown; the window is centred again when it is.
    bool event(QEvent* event) override;
    // Files dropped onto the window (window_drop.cpp): the background's
    // events here, the controls' through the filter.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Host;
    struct BoundText {
        QLineEdit* edit = nullptr;
        TextBinding binding;
    };

    void create_frames();
    void create_frame2();
    void create_frame4();
    void create_frame3();
    void create_frame1();
    void create_menu();
    void set_tab_order();
    void name_controls();
    void name_start_fields();
    void show_message(const QString& text);
    // A question with はい and いいえ (いいえ chosen at first); true for はい.
    bool ask(const QString& text);
    void set_text(BoundText& t, const std::string& bytes);
    // The read file chosen (dialog or drop), with the type its ending names
    // and the encoding its first bytes show.
    void choose_read_file(const QString& name);
    // The pattern load command once a name is chosen (menu or drop).
    void load_pattern_file(const QString& name);
    void accept_drops_on_controls();
    // The local file a drag brings, or the empty text when it brings none
    // this window takes (no file, a folder, or a run going on).
    QString dropped_file(const QMimeData* data) const;
    void take_dropped_file(QWidget* target, const QString& path);
    void show_progress(bool shown);
    static void restore_focus(QWidget* had);
    // cmd_select's caption and the progress, for a run going on or not.
    void show_run_state(bool running);
    void fit_counters();
    // A setting changed: the preview reads the records again shortly after
    // (a run keeps the settings it took).
    void mark_changed();
    void tell_preview_run_state(bool running);
    void place_preview();
    // Centres the outer frame (title bar and borders included) on the screen.
    void centre_on_screen();

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QPushButton* cmd_ReadFileOpen = nullptr;
    QLineEdit* txt_ReadFile = nullptr;
    QComboBox* cmb_type = nullptr;
    QComboBox* cmb_code = nullptr;  // the read file's encoding
    QCheckBox* chk_header = nullptr;  // the first line is a header (TEXT and CSV)
    QLabel* lbl_RecordLength = nullptr;
    BoundText txt_RecordLength;
    QPushButton* cmd_WriteFile = nullptr;
    QLineEdit* txt_WriteFile = nullptr;
    QPushButton* cmd_select = nullptr;
    QLabel* lbl_ReadCount = nullptr;
    QLabel* lbl_WriteCount = nullptr;
    QProgressBar* prg_Progress = nullptr;
    QLabel* lbl_Progress = nullptr;
    QComboBox* cmb_type_Write = nullptr;
    QComboBox* cmb_code_Write = nullptr;  // the write file's encoding
    QPlainTextEdit* txt_hinagata = nullptr;
    TextBinding hinagata_binding_;
    std::array<BoundText, kKeywordRows> txt_keyword;
    std::array<QComboBox*, kKeywordRows> cmb_keyword{};
    QLabel* lbl_ichi = nullptr;
    QLabel* lbl_len = nullptr;
    std::array<QLabel*, kConditionRows> lbl_selectNo{};
    std::array<BoundText, kConditionRows> txt_ichi;
    std::array<BoundText, kConditionRows> txt_len;
    std::array<QComboBox*, kConditionRows> cmb_select{};
    std::array<BoundText, kConditionRows> txt_key;
    std::array<QComboBox*, kConditionRows> cmb_change{};
    QLineEdit* txt_pattern = nullptr;
    QMenu* mnu_file = nullptr;
    QMenu* mnu_view = nullptr;
    frm_preview* preview_ = nullptr;  // made when first opened

    CommonDialog dialog_;
    std::function<void(const QString&)> message_;
    std::function<bool(const QString&)> question_;
    std::function<void()> pause_hook_;
    RunFiles files_;
    bool running_ = false;
    bool closing_ = false;
    bool stop_asked_ = false;
    QString select_caption_;  // cmd_select's caption when no run lasts
    bool centred_in_frame_ = false;
    // The paths' bytes as the last pattern loaded held them (see the settings).
    PathBytes path_bytes_;  // centred again with the frame known
};

}  // namespace lintavo::ui
