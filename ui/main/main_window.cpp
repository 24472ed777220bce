// frm_main: its controls, menu and tab order, and the settings they hold.
#include "ui/main/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <algorithm>
#include <limits>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QAbstractItemView>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QShortcut>

#include "ui/common/accessible_lists.h"
#include "ui/common/number_field.h"
#include "ui/common/app_identity.h"
#include "ui/main/layout.h"
#include "ui/common/wrap_button.h"

namespace lintavo::ui {
namespace {

QString indexed(const char* name, int i) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i); }

template <typename W>
W* place(W* w, const QString& name) {
    w->setObjectName(name);
    w->setGeometry(placement_of(name));
    return w;
}

void fill_background(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A frame is read by its own caption: unnamed, a frame inside another would
// be read by the outer one's caption, as Qt names a widget in a frame.
QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, const QColor& colour) {
    auto* f = place(new QGroupBox(caption, parent), QLatin1String(name));
    f->setAccessibleName(caption);
    fill_background(f, colour);
    return f;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption) {
    return place(new QLabel(caption, parent), name);
}

// A caption label grows to show its whole caption (or the widest it will
// show), from where it stands.
void fit_caption(QLabel* l, const QString& widest = QString()) {
    const QSize need = l->fontMetrics().size(Qt::TextSingleLine, widest.isEmpty() ? l->text() : widest);
    l->resize(std::max(l->width(), need.width() + 1), std::max(l->height(), need.height()));
}

// The font made smaller, a quarter point at a time (a pixel for a font
// sized in pixels), until the widest of the texts fits `room` pixels, and
// not below `least` points.
QFont font_to_fit(QFont font, const QStringList& texts, int room, qreal least = 5) {
    const auto widest = [&texts](const QFont& f) {
        const QFontMetrics fm(f);
        int w = 0;
        for (const QString& t : texts) w = std::max(w, fm.horizontalAdvance(t));
        return w;
    };
    while (widest(font) > room) {
        if (font.pointSizeF() > least) font.setPointSizeF(font.pointSizeF() - 0.25);
        else if (font.pixelSize() > 7) font.setPixelSize(font.pixelSize() - 1);
        else break;
    }
    return font;
}

}  // namespace

// A closed list shows its chosen entry in the field beside its arrow; the
// entries must be readable there whole, in the list's fixed size. The font
// of the closed list is made smaller until the widest entry fits, down to
// 7 points; an entry too wide even then ("UTF-16LE (BOM付き)") is left out
// of the fitting and shown cut short with "…" there, and the open list,
// which keeps the window's font, opens as wide as its widest entry.
void fit_list_font(QComboBox* c) {
    const QFont normal = c->font();
    const int room = list_text_room(c);
    QStringList entries;
    for (int i = 0; i < c->count(); ++i) entries << c->itemText(i);
    QFont font = font_to_fit(normal, entries, room, kLeastListPoints);
    QStringList fitting;
    for (const QString& e : entries) {
        if (QFontMetrics(font).horizontalAdvance(e) <= room) fitting << e;
    }
    if (fitting.size() < entries.size()) font = font_to_fit(normal, fitting, room, kLeastListPoints);
    const QFontMetrics fm(normal);
    int widest = 0;
    for (const QString& e : entries) widest = std::max(widest, fm.horizontalAdvance(e));
    // The open list's rows have margins of their own beside the text.
    const int open_width = widest + 4 * c->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, c) + 16;
    if (open_width > c->width()) c->view()->setMinimumWidth(open_width);
    if (font == normal) return;
    c->setFont(font);
    c->view()->setFont(normal);
}

int list_text_room(const QComboBox* c) {
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    // The label is drawn one pixel in from each side of the field.
    return c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width() - 2;
}

namespace {

// A list whose closed field shows its entry cut short with "…" when the
// entry is wider than the field, as the standard drawing does otherwise.
class ShortenedList : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        painter.drawComplexControl(QStyle::CC_ComboBox, opt);
        opt.currentText = fontMetrics().elidedText(opt.currentText, Qt::ElideRight, list_text_room(this));
        painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }
};

QComboBox* list(QWidget* parent, const QString& name) {
    auto* c = place(new ShortenedList(parent), name);
    c->setEditable(false);
    return c;
}

// A single-line text field without a length limit.
QLineEdit* text(QWidget* parent, const QString& name) {
    auto* e = place(new QLineEdit(parent), name);
    e->setMaxLength(std::numeric_limits<int>::max());
    return e;
}

}  // namespace

frm_main::frm_main(QWidget* parent)
    : QMainWindow(parent), dialog_([this](const CommonDialogState& s) { return run_file_dialog(this, s); }) {
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(QStringLiteral("Lintavo"));
    setWindowIcon(program_icon());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twips(0, 0, kClientWidth, kClientHeight).size());
    fill_background(client, kLightGrey);
    setCentralWidget(client);
    create_frames();
    create_menu();
    set_tab_order();
    name_controls();
    // The hidden pattern path; never shown.
    txt_pattern = new QLineEdit(client);
    txt_pattern->setObjectName(QStringLiteral("txt_pattern"));
    txt_pattern->hide();
    // Esc stops a run, as the "中止" button does; otherwise it does nothing.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &frm_main::stop_run);
    accept_drops_on_controls();
    adjustSize();
    setFixedSize(size());
}

frm_main::~frm_main() = default;

void frm_main::create_frames() {
    QWidget* client = centralWidget();
    Frame2 = frame(client, "Frame2", QStringLiteral("抽出処理"), kLightYellow);
    Frame4 = frame(client, "Frame4", QStringLiteral("書出しファイルオプション"), kLightGrey);
    Frame6 = frame(client, "Frame6", QStringLiteral("抽出条件"), kLightGrey);
    Frame3 = frame(Frame6, "Frame3", QStringLiteral("キーワードの見つかった行を抽出する"), kLightGrey);
    Frame1 = frame(Frame6, "Frame1", QStringLiteral("桁位置を指定して、抽出する"), kLightGrey);
    create_frame2();
    create_frame4();
    create_frame3();
    create_frame1();
}

void frm_main::create_frame2() {
    cmd_ReadFileOpen = place(new WrapButton(QStringLiteral("読込みファイル"), Frame2), QStringLiteral("cmd_ReadFileOpen"));
    txt_ReadFile = text(Frame2, QStringLiteral("txt_ReadFile"));
    cmb_type = list(Frame2, QStringLiteral("cmb_type"));
    cmb_code = list(Frame2, QStringLiteral("cmb_code"));
    chk_header = place(new QCheckBox(QStringLiteral("1行目は見出し"), Frame2), QStringLiteral("chk_header"));
    lbl_RecordLength = label(Frame2, QStringLiteral("lbl_RecordLength"), QStringLiteral("長さ："));
    fit_caption(lbl_RecordLength);
    txt_RecordLength.edit = text(Frame2, QStringLiteral("txt_RecordLength"));
    make_number_field(txt_RecordLength.edit);
    set_text(txt_RecordLength, "100");
    cmd_WriteFile = place(new WrapButton(QStringLiteral("書出しファイル"), Frame2), QStringLiteral("cmd_WriteFile"));
    txt_WriteFile = text(Frame2, QStringLiteral("txt_WriteFile"));
    cmd_select = place(new WrapButton(QStringLiteral("読込みファイルの行を抽出条件で抽出し、書出す"), Frame2),
                       QStringLiteral("cmd_select"));
    lbl_ReadCount = label(Frame2, QStringLiteral("lbl_ReadCount"), QStringLiteral("読込件数:"));
    lbl_WriteCount = label(Frame2, QStringLiteral("lbl_WriteCount"), QStringLiteral("書出件数:"));
    fill_background(lbl_ReadCount, kLightGrey);
    fill_background(lbl_WriteCount, kLightGrey);
    fit_counters();
    select_caption_ = cmd_select->text();
    prg_Progress = place(new QProgressBar(Frame2), QStringLiteral("prg_Progress"));
    prg_Progress->setTextVisible(false);
    prg_Progress->setFocusPolicy(Qt::NoFocus);
    lbl_Progress = label(Frame2, QStringLiteral("lbl_Progress"), QString());
    show_progress(false);

    connect(cmd_ReadFileOpen, &QPushButton::clicked, this, &frm_main::cmd_ReadFileOpen_Click);
    connect(cmd_WriteFile, &QPushButton::clicked, this, &frm_main::cmd_WriteFile_Click);
    connect(cmd_select, &QPushButton::clicked, this, &frm_main::cmd_select_Click);
    // Enter presses the focused button as Space does; Ctrl+Enter runs from
    // anywhere in the window (and never stops a run going on).
    for (QPushButton* b : {cmd_ReadFileOpen, cmd_WriteFile, cmd_select}) b->setAutoDefault(true);
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this] {
            if (!running_) cmd_select_Click();
        });
    }
    connect(cmb_type, &QComboBox::currentIndexChanged, this, &frm_main::cmb_type_Click);
    connect(cmb_code, &QComboBox::currentIndexChanged, this, &frm_main::mark_changed);
    connect(chk_header, &QCheckBox::toggled, this, &frm_main::mark_changed);
    for (QLineEdit* e : {txt_ReadFile, txt_RecordLength.edit, txt_WriteFile}) {
        connect(e, &QLineEdit::textChanged, this, &frm_main::mark_changed);
    }
}

// The counters show up to ten digits after their words (9,999,999,999
// records) in their places: each label reaches to the frame's inner edge
// and, where that is not enough, its font is made smaller until the widest
// caption fits.
void frm_main::fit_counters() {
    const QString widest = QStringLiteral("読込件数:9999999999");
    for (QLabel* l : {lbl_ReadCount, lbl_WriteCount}) {
        const int room = Frame2->width() - l->x() - Frame2->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 2;
        const int need = l->fontMetrics().horizontalAdvance(widest) + 2;
        l->resize(std::max(l->width(), std::min(room, need)), l->height());
        l->setFont(font_to_fit(l->font(), {widest}, l->width() - 2));
    }
}

void frm_main::create_frame4() {
    cmb_type_Write = list(Frame4, QStringLiteral("cmb_type_Write"));
    cmb_code_Write = list(Frame4, QStringLiteral("cmb_code_Write"));
    txt_hinagata = place(new QPlainTextEdit(Frame4), QStringLiteral("txt_hinagata"));
    txt_hinagata->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_hinagata->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt_hinagata->setTabChangesFocus(true);
    connect(cmb_type_Write, &QComboBox::currentIndexChanged, this, &frm_main::cmb_type_Write_Click);
    connect(cmb_code_Write, &QComboBox::currentIndexChanged, this, &frm_main::mark_changed);
    connect(txt_hinagata, &QPlainTextEdit::textChanged, this, &frm_main::mark_changed);
}

void frm_main::create_frame3() {
    for (int j = 0; j < kKeywordRows; ++j) {
        txt_keyword[j].edit = text(Frame3, indexed("txt_keyword", j));
        cmb_keyword[j] = list(Frame3, indexed("cmb_keyword", j));
        connect(txt_keyword[j].edit, &QLineEdit::textChanged, this, &frm_main::mark_changed);
        connect(cmb_keyword[j], &QComboBox::currentIndexChanged, this, &frm_main::mark_changed);
    }
}

void frm_main::create_frame1() {
    lbl_ichi = label(Frame1, QStringLiteral("lbl_ichi"), QStringLiteral("開始位置"));
    lbl_len = label(Frame1, QStringLiteral("lbl_len"), QStringLiteral("長さ"));
    label(Frame1, QStringLiteral("Label4"), QStringLiteral("比較条件"));
    label(Frame1, QStringLiteral("Label1"), QStringLiteral("比較内容"));
    label(Frame1, QStringLiteral("Label2"), QStringLiteral("変換"));
    fit_caption(lbl_ichi, QStringLiteral("抽出する列"));  // its caption for CSV input
    for (const char* heading : {"lbl_len", "Label4", "Label1", "Label2"}) {
        fit_caption(Frame1->findChild<QLabel*>(QLatin1String(heading)));
    }
    for (int i = 0; i < kConditionRows; ++i) {
        lbl_selectNo[i] = label(Frame1, indexed("lbl_selectNo", i), QString());  // captioned at start-up
        fit_caption(lbl_selectNo[i], QStringLiteral("@%1").arg(i + 1));
        txt_ichi[i].edit = text(Frame1, indexed("txt_ichi", i));
        // A mark wider than its place ends where the start position begins.
        const int room = txt_ichi[i].edit->x() - lbl_selectNo[i]->x();
        if (lbl_selectNo[i]->width() > room) lbl_selectNo[i]->move(txt_ichi[i].edit->x() - lbl_selectNo[i]->width(), lbl_selectNo[i]->y());
        txt_len[i].edit = text(Frame1, indexed("txt_len", i));
        make_number_field(txt_ichi[i].edit);
        make_number_field(txt_len[i].edit);
        cmb_select[i] = list(Frame1, indexed("cmb_select", i));
        txt_key[i].edit = text(Frame1, indexed("txt_key", i));
        cmb_change[i] = list(Frame1, indexed("cmb_change", i));
        for (QLineEdit* e : {txt_ichi[i].edit, txt_len[i].edit, txt_key[i].edit}) {
            connect(e, &QLineEdit::textChanged, this, &frm_main::mark_changed);
        }
        for (QComboBox* c : {cmb_select[i], cmb_change[i]}) {
            connect(c, &QComboBox::currentIndexChanged, this, &frm_main::mark_changed);
        }
    }
}

// Every control that takes input says what it holds, in the window's own
// words, to a screen reader and to any tool that drives the window (by
// default a field would be named after its frame's caption, the same for
// all of them). Buttons and labels are named by their captions.
void frm_main::name_controls() {
    use_named_lists();
    const auto name = [](QWidget* w, const QString& text) { w->setAccessibleName(text); };
    name(txt_ReadFile, QStringLiteral("読込みファイル"));
    name_list(cmb_code, QStringLiteral("読込みファイルの文字コード"));
    name_list(cmb_type, QStringLiteral("読込みファイルの種類"));
    name(txt_RecordLength.edit, QStringLiteral("レコード長"));
    name(txt_WriteFile, QStringLiteral("書出しファイル"));
    name(prg_Progress, QStringLiteral("進み具合"));
    name_list(cmb_type_Write, QStringLiteral("書出し方法"));
    name_list(cmb_code_Write, QStringLiteral("書出しファイルの文字コード"));
    name(txt_hinagata, QStringLiteral("書出しパターン"));
    for (int j = 0; j < kKeywordRows; ++j) {
        const QString keyword = QStringLiteral("キーワード%1").arg(j + 1);
        name(txt_keyword[j].edit, keyword);
        name_list(cmb_keyword[j], keyword + QStringLiteral("の条件"));
    }
    for (int i = 0; i < kConditionRows; ++i) {
        const QString mark = QStringLiteral("@%1の").arg(i + 1);
        name(txt_len[i].edit, mark + QStringLiteral("長さ"));
        name_list(cmb_select[i], mark + QStringLiteral("比較条件"));
        name(txt_key[i].edit, mark + QStringLiteral("比較内容"));
        name_list(cmb_change[i], mark + QStringLiteral("変換"));
    }
    name_start_fields();
}

// The start positions are named after their heading, which the read-file
// type changes ("開始位置", or "抽出する列" for CSV).
void frm_main::name_start_fields() {
    for (int i = 0; i < kConditionRows; ++i) {
        txt_ichi[i].edit->setAccessibleName(QStringLiteral("@%1の").arg(i + 1) + lbl_ichi->text());
    }
}

void frm_main::set_tab_order() {
    // The header box and the record length stand in one place, one for
    // each kind of read file.
    std::vector<QWidget*> order = {txt_ReadFile, cmb_code, cmb_type, chk_header, txt_RecordLength.edit, txt_WriteFile,
                                   cmd_select};
    for (int j = 0; j < kKeywordRows; ++j) {
        order.push_back(txt_keyword[j].edit);
        order.push_back(cmb_keyword[j]);
    }
    for (int i = 0; i < kConditionRows; ++i) {
        order.insert(order.end(), {txt_ichi[i].edit, txt_len[i].edit, cmb_select[i], txt_key[i].edit, cmb_change[i]});
    }
    order.insert(order.end(), {cmb_type_Write, cmb_code_Write, txt_hinagata, cmd_ReadFileOpen, cmd_WriteFile});
    for (std::size_t k = 0; k + 1 < order.size(); ++k) setTabOrder(order[k], order[k + 1]);
    txt_ReadFile->setFocus();
}

void frm_main::set_text(BoundText& t, const std::string& bytes) { t.edit->setText(t.binding.set(bytes)); }

ExtractionSettings frm_main::read_settings() const {
    ExtractionSettings s;
    const auto get = [&s](const BoundText& t, std::string& out, TextField field) {
        s.set_unencodable(field, !t.binding.get(t.edit->text(), out));
    };
    s.txt_ReadFile = to_path(txt_ReadFile->text());
    s.cmb_type = cmb_type->currentIndex();
    s.cmb_code = cmb_code->currentIndex();
    s.chk_header = chk_header->isChecked() ? 1 : 0;
    get(txt_RecordLength, s.txt_RecordLength, TextField::RecordLength);
    for (int i = 0; i < kConditionRows; ++i) {
        ConditionRow& row = s.conditions[i];
        get(txt_ichi[i], row.txt_ichi, start_field(i));
        get(txt_len[i], row.txt_len, length_field(i));
        row.cmb_select = cmb_select[i]->currentIndex();
        get(txt_key[i], row.txt_key, key_field(i));
        row.cmb_change = cmb_change[i]->currentIndex();
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        get(txt_keyword[j], s.keywords[j].txt_keyword, keyword_field(j));
        s.keywords[j].cmb_keyword = cmb_keyword[j]->currentIndex();
    }
    s.txt_WriteFile = to_path(txt_WriteFile->text());
    s.cmb_type_Write = cmb_type_Write->currentIndex();
    s.cmb_code_Write = cmb_code_Write->currentIndex();
    s.set_unencodable(TextField::Template,
                      !hinagata_binding_.get(txt_hinagata->toPlainText(), s.txt_hinagata, /*multiline=*/true));
    s.txt_pattern = to_path(txt_pattern->text());
    s.path_bytes = path_bytes_;
    return s;
}

void frm_main::write_settings(const ExtractionSettings& s) {
    txt_ReadFile->setText(from_path(s.txt_ReadFile));
    cmb_type->setCurrentIndex(s.cmb_type);
    cmb_code->setCurrentIndex(s.cmb_code);
    chk_header->setChecked(s.chk_header == 1);
    set_text(txt_RecordLength, s.txt_RecordLength);
    for (int i = 0; i < kConditionRows; ++i) {
        const ConditionRow& row = s.conditions[i];
        set_text(txt_ichi[i], row.txt_ichi);
        set_text(txt_len[i], row.txt_len);
        cmb_select[i]->setCurrentIndex(row.cmb_select);
        set_text(txt_key[i], row.txt_key);
        cmb_change[i]->setCurrentIndex(row.cmb_change);
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        set_text(txt_keyword[j], s.keywords[j].txt_keyword);
        cmb_keyword[j]->setCurrentIndex(s.keywords[j].cmb_keyword);
    }
    txt_WriteFile->setText(from_path(s.txt_WriteFile));
    cmb_type_Write->setCurrentIndex(s.cmb_type_Write);
    cmb_code_Write->setCurrentIndex(s.cmb_code_Write);
    txt_hinagata->setPlainText(hinagata_binding_.set(s.txt_hinagata, /*multiline=*/true));
    path_bytes_ = s.path_bytes;
}

}  // namespace lintavo::ui
