// frm_main's commands: start-up, the control states, the file choices, the
// pattern commands, the version message and closing.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPlainTextEdit>
#include <QScreen>

#include "engine/io/encoding_sniff.h"
#include "engine/version.h"
#include "pattern/pattern_file.h"
#include "ui/main/control_states.h"
#include "ui/main/main_window.h"

namespace lintavo::ui {
namespace {

const QString kReadFileFilter = QStringLiteral("テキスト ファイル (*.txt*.csv)|*.txt;*.csv|全てのファイル|*.*|");
const QString kPatternFilter = QStringLiteral("抽出パターン (*.txt *.ptn)|*.txt;*.ptn|全てのファイル|*.*|");

template <std::size_t N>
void fill(QComboBox* list, const std::array<std::string_view, N>& entries) {
    for (const std::string_view e : entries) list->addItem(QString::fromUtf8(e.data(), static_cast<qsizetype>(e.size())));
    list->setCurrentIndex(0);
}

// The busy pointer for as long as it lives.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

void frm_main::show_message(const QString& text) {
    if (message_) {
        message_(text);
        return;
    }
    // The focus goes back where it was when the box closes.
    const QPointer<QWidget> had = QApplication::focusWidget();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Lintavo"), text, QMessageBox::Ok, this);
    box.exec();
    activateWindow();  // the window the box stood over takes the keyboard again
    restore_focus(had);
}

void frm_main::restore_focus(QWidget* had) {
    if (had != nullptr && had->isVisible() && had->isEnabled()) had->setFocus(Qt::OtherFocusReason);
}

void frm_main::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    // move() places the outer frame's corner.
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

bool frm_main::event(QEvent* event) {
    // Before the window is shown its frame is not known, so Form_Load can
    // centre only the inner area; a window manager adds its title bar and
    // borders once it takes the window, and the window is centred once more
    // then. A user cannot have moved it before that frame exists.
    const QEvent::Type type = event->type();
    if (!centred_in_frame_ && isVisible() &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize || type == QEvent::Paint) &&
        frameGeometry().size() != size()) {
        centred_in_frame_ = true;
        centre_on_screen();
    }
    return QMainWindow::event(event);
}

bool frm_main::Form_Load(const QString& command_line) {
    centre_on_screen();
    fill(cmb_type, kReadFileTypes);
    fill(cmb_type_Write, kWriteModes);
    fill(cmb_code, kReadCodes);
    fill(cmb_code_Write, kWriteCodes);
    for (int i = 0; i < kConditionRows; ++i) {
        lbl_selectNo[i]->setText(QStringLiteral("@%1").arg(i + 1));
        fill(cmb_select[i], kComparisons);
        fill(cmb_change[i], kConversions);
    }
    for (int j = 0; j < kKeywordRows; ++j) fill(cmb_keyword[j], kKeywordKinds);
    for (QComboBox* c : findChildren<QComboBox*>()) fit_list_font(c);
    if (command_line.isEmpty()) return true;
    if (!pattern::pattern_file_exists(to_path(command_line))) {
        show_message(QStringLiteral("抽出パターンファイルが見つかりません"));
        return false;
    }
    proc_ReadPattern(command_line);
    return true;
}

void frm_main::cmb_type_Click() {
    const TypeState state = type_state(cmb_type->currentIndex() < 0 ? QString() : cmb_type->currentText());
    lbl_ichi->setText(state.ichi_caption);
    name_start_fields();
    lbl_len->setVisible(state.lengths_shown);
    for (auto& t : txt_len) t.edit->setVisible(state.lengths_shown);
    lbl_RecordLength->setVisible(state.record_length_shown);
    txt_RecordLength.edit->setVisible(state.record_length_shown);
    chk_header->setVisible(state.header_shown());
    mark_changed();
}

void frm_main::cmb_type_Write_Click() {
    txt_hinagata->setVisible(template_shown(cmb_type_Write->currentIndex()));
    mark_changed();
}

void frm_main::mnu_readfileOpen_Click() {
    CommonDialogState& d = dialog_.state;
    dialog_.start_in_folder_of(txt_ReadFile->text());
    d.FileName = txt_ReadFile->text();
    d.Filter = kReadFileFilter;
    const QString name = dialog_.ShowOpen();
    if (name.isEmpty()) return;
    choose_read_file(name);
}

void frm_main::choose_read_file(const QString& name) {
    txt_ReadFile->setText(name);
    const QString ending = txt_ReadFile->text().right(4).toUpper();
    if (ending == QStringLiteral(".CSV")) cmb_type->setCurrentIndex(kTypeCsv);
    else if (ending == QStringLiteral(".TSV")) cmb_type->setCurrentIndex(kTypeTsv);
    else if (ending == QStringLiteral(".TXT")) cmb_type->setCurrentIndex(kTypeText);
    if (const auto code = sniff_read_code(to_path(name))) cmb_code->setCurrentIndex(*code);
}

void frm_main::mnu_WriteFileOpen_Click() {
    CommonDialogState& d = dialog_.state;
    dialog_.start_in_folder_of(txt_WriteFile->text());
    d.FileName = txt_WriteFile->text();
    const QString name = dialog_.ShowOpen();
    if (name.isEmpty()) return;
    txt_WriteFile->setText(name);
}

void frm_main::mnu_Select_FileRead_Click() {
    CommonDialogState& d = dialog_.state;
    dialog_.start_in_folder_of(txt_pattern->text());
    d.FileName = txt_pattern->text();
    d.Flags = kHideReadOnly;
    d.Filter = kPatternFilter;
    const QString name = dialog_.ShowOpen();
    if (name.isEmpty()) return;
    load_pattern_file(name);
}

void frm_main::load_pattern_file(const QString& name) {
    txt_pattern->setText(name);
    proc_ReadPattern(txt_pattern->text());
}

void frm_main::proc_ReadPattern(const QString& path) {
    std::optional<std::string> failure;
    {
        BusyPointer busy;
        ExtractionSettings s = read_settings();
        failure = pattern::proc_ReadPattern(to_path(path), s);
        if (!failure) write_settings(s);
    }
    if (failure) show_message(QString::fromStdString(*failure));
}

void frm_main::mnu_Select_FileWrite_Click() {
    CommonDialogState& d = dialog_.state;
    dialog_.start_in_folder_of(txt_pattern->text());
    d.FileName = txt_pattern->text();
    d.Filter = kPatternFilter;
    d.DefaultExt = QStringLiteral(".txt");
    const QString name = dialog_.ShowOpen();
    if (name.isEmpty()) return;
    txt_pattern->setText(name);
    std::optional<std::string> failure;
    {
        BusyPointer busy;
        failure = pattern::save_pattern(to_path(txt_pattern->text()), read_settings());
    }
    if (failure) show_message(QString::fromStdString(*failure));
}

// In Japanese where the user's locale is Japanese, else as it always read.
void frm_main::mnu_Version_Click() {
    const bool japanese = QLocale::system().language() == QLocale::Japanese;
    show_message((japanese ? QStringLiteral("バージョン ") : QStringLiteral("Version ")) + QString::fromStdString(version_number()));
}

bool frm_main::ask(const QString& text) {
    if (question_) return question_(text);
    const QPointer<QWidget> had = QApplication::focusWidget();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Lintavo"), text, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    activateWindow();
    restore_focus(had);
    return yes;
}

void frm_main::closeEvent(QCloseEvent* event) {
    // During a run the user is asked first; the run waits for the answer.
    // Closing then ends the program at once, the run stopping between two
    // records with every line written whole.
    if (running_ && !closing_ && !ask(QStringLiteral("実行中です。中止して終了しますか?"))) {
        event->ignore();
        return;
    }
    closing_ = true;
    event->accept();
    QCoreApplication::quit();
}

}  // namespace lintavo::ui
