#include "ui/preview/preview_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <thread>

#include "engine/io/encoding_sniff.h"
#include "engine/output/transcode.h"
#include "engine/system/files.h"
#include "engine/run/preview.h"
#include "engine/run/run.h"
#include "engine/text/decimal_text.h"
#include "ui/common/text_binding.h"
#include "ui/preview/ruler_view.h"

namespace lintavo::ui {
namespace {

constexpr int kRefreshDelayMs = 300;
constexpr int kWidestField = 260;  // pixels; a wider field is cut short with "…"

const QString kRunning = QStringLiteral("抽出処理の実行中です。終わると更新します");

// The window's preview reads on the window's own thread, so it reads only
// a regular file, which a read never waits on: a named pipe or a terminal
// would hold the window until someone wrote to it.
std::optional<std::string> unreadable_here(const std::string& path) {
    const sys::Kind kind = sys::facts_of(path).kind;
    if (kind == sys::Kind::Missing || kind == sys::Kind::Regular || kind == sys::Kind::Folder) {
        return std::nullopt;  // the preview's own checks tell what is wrong, if anything
    }
    return "プレビューで読めるのは通常のファイルだけです: " + path;
}

}  // namespace

QRect preview_place(const QRect& main, const QRect& rows, const QSize& size, const QRect& screen) {
    constexpr int kGap = 4;
    constexpr QSize kSmallest(400, 200);
    // Kept inside the screen from top to bottom (or left to right).
    const auto inside = [&](QRect r) {
        r.moveTop(std::clamp(r.top(), screen.top(), std::max(screen.top(), screen.bottom() - r.height() + 1)));
        r.moveLeft(std::clamp(r.left(), screen.left(), std::max(screen.left(), screen.right() - r.width() + 1)));
        return r;
    };
    const QRect right(QPoint(main.right() + 1 + kGap, main.top()), size);
    if (right.right() <= screen.right()) return inside(right);
    const QRect below(QPoint(main.left(), main.bottom() + 1 + kGap), size);
    if (below.bottom() <= screen.bottom()) return inside(below);
    // Beside the condition rows, as large as the room there allows.
    const int room_right = screen.right() - rows.right() - kGap;
    if (room_right >= kSmallest.width()) {
        return inside(QRect(QPoint(rows.right() + 1 + kGap, main.top()), QSize(std::min(size.width(), room_right), size.height())));
    }
    const int room_below = screen.bottom() - rows.bottom() - kGap;
    if (room_below >= kSmallest.height()) {
        return inside(QRect(QPoint(main.left(), rows.bottom() + 1 + kGap), QSize(size.width(), std::min(size.height(), room_below))));
    }
    return QRect(QPoint(screen.right() - size.width() + 1, screen.bottom() - size.height() + 1), size) & screen;
}

frm_preview::frm_preview(QWidget* parent, std::function<ExtractionSettings()> settings, std::function<bool()> running)
    : QDialog(parent), settings_(std::move(settings)), running_(std::move(running)) {
    setObjectName(QStringLiteral("frm_preview"));
    setWindowTitle(QStringLiteral("プレビュー - Lintavo"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);
    setSizeGripEnabled(true);

    grd_preview = new QTableView(this);
    grd_preview->setObjectName(QStringLiteral("grd_preview"));
    grd_preview->setAccessibleName(QStringLiteral("プレビューの表"));
    grd_preview->setModel(&rows_);
    grd_preview->setItemDelegate(new EscapeDelegate(grd_preview));
    grd_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    grd_preview->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_preview->setWordWrap(false);
    grd_preview->setTabKeyNavigation(false);  // Tab goes on to the next control
    grd_preview->verticalHeader()->hide();
    grd_preview->verticalHeader()->setDefaultSectionSize(grd_preview->fontMetrics().height() + 6);
    grd_preview->horizontalHeader()->setStretchLastSection(true);
    grd_preview->horizontalHeader()->setHighlightSections(false);
    // Headings stand over their texts, which read from the left; an empty
    // column is as narrow as its heading.
    grd_preview->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grd_preview->horizontalHeader()->setMinimumSectionSize(grd_preview->fontMetrics().horizontalAdvance(QStringLiteral("件目")) + 12);

    pic_ruler = new RulerView;
    pic_ruler->setObjectName(QStringLiteral("pic_ruler"));
    scr_ruler = new QScrollArea(this);
    scr_ruler->setObjectName(QStringLiteral("scr_ruler"));
    scr_ruler->setAccessibleName(QStringLiteral("選んだレコードのバイト位置"));
    scr_ruler->setWidget(pic_ruler);
    scr_ruler->setWidgetResizable(true);  // the ruler fills its pane, and scrolls when longer
    scr_ruler->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scr_ruler->setFocusPolicy(Qt::StrongFocus);  // arrow keys scroll a long record

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(grd_preview);
    split->addWidget(scr_ruler);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setFrameShape(QFrame::StyledPanel);
    lbl_status->setFrameShadow(QFrame::Sunken);
    lbl_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl_status->setWordWrap(true);  // the counts and every hint, on more lines in a narrow window
    cmd_refresh = new QPushButton(QStringLiteral("更新"), this);
    cmd_refresh->setObjectName(QStringLiteral("cmd_refresh"));
    cmd_refresh->setAutoDefault(false);
    cmd_refresh->setToolTip(QStringLiteral("F5"));
    chk_written = new QCheckBox(QStringLiteral("書出し分のみ(&W)"), this);
    chk_written->setObjectName(QStringLiteral("chk_written"));
    chk_written->setAccessibleName(QStringLiteral("書出し分のみ"));
    chk_written->setToolTip(QStringLiteral("実行が書出すレコードの先頭1000件を、ファイル全体から探して示す"));
    connect(chk_written, &QCheckBox::toggled, this, &frm_preview::refresh);
    cmd_code = new QPushButton(this);
    cmd_code->setObjectName(QStringLiteral("cmd_code"));
    cmd_code->setAutoDefault(false);
    cmd_code->hide();
    connect(cmd_code, &QPushButton::clicked, this, [this] {
        if (set_read_code_ && hinted_code_ >= 0) set_read_code_(hinted_code_);
    });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chk_written);
    bottom->addWidget(lbl_status, 1);
    bottom->addWidget(cmd_code);
    bottom->addWidget(cmd_refresh);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);

    timer_.setSingleShot(true);
    timer_.setInterval(kRefreshDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) refresh();
    });
    connect(cmd_refresh, &QPushButton::clicked, this, &frm_preview::refresh);
    search_timer_.setInterval(100);
    connect(&search_timer_, &QTimer::timeout, this, &frm_preview::poll_search);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, &frm_preview::refresh);
    connect(grd_preview->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frm_preview::show_chosen_record);
    // Pointing at the data: a menu of the ruler's chosen bytes and of a cell.
    pic_ruler->setFocusPolicy(Qt::StrongFocus);
    pic_ruler->setAccessibleName(QStringLiteral("選んだレコードのバイト位置"));
    scr_ruler->setFocusProxy(pic_ruler);
    pic_ruler->on_menu = [this](const QPoint& at) {
        if (QMenu* m = ruler_menu()) m->popup(at);
    };
    grd_preview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grd_preview, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QModelIndex at = grd_preview->indexAt(pos);
        if (!at.isValid()) at = grd_preview->currentIndex();  // the menu key
        if (QMenu* m = cell_menu(at)) m->popup(grd_preview->viewport()->mapToGlobal(grd_preview->visualRect(at).center()));
    });
    setTabOrder(grd_preview, scr_ruler);
    setTabOrder(scr_ruler, chk_written);
    setTabOrder(chk_written, cmd_code);
    setTabOrder(cmd_code, cmd_refresh);
    resize(1000, 600);
}

QString frm_preview::status() const { return lbl_status->text(); }

void frm_preview::show_status(const QString& text) {
    lbl_status->setText(text);
    lbl_status->setAccessibleName(text);
}

void frm_preview::run_state_changed(bool running) {
    if (!isVisible()) return;
    if (running) {
        end_search();
        timer_.stop();
        show_status(kRunning);
    } else {
        refresh();
    }
}

// The search: its own settings, files and table, and what it tells the
// window's thread (how far it has read, whether it is done).
struct frm_preview::Search {
    ExtractionSettings settings;
    int chosen = 0;
    bool selected = false;
    std::atomic<bool> cancel{false};
    std::atomic<std::int64_t> read{0};
    std::atomic<bool> done{false};
    PreviewTable table;
    PreviewResult result;
    std::thread thread;
};

frm_preview::~frm_preview() { end_search(); }

void frm_preview::hideEvent(QHideEvent* event) {
    end_search();  // closing the preview ends its search
    QDialog::hideEvent(event);
}

void frm_preview::end_search() {
    search_timer_.stop();
    if (!search_) return;
    search_->cancel = true;  // the search stops at its next record
    search_->thread.join();
    search_.reset();
}

void frm_preview::start_search(const ExtractionSettings& s, int chosen, bool selected) {
    search_ = std::make_unique<Search>();
    Search& search = *search_;
    search.settings = s;
    search.chosen = chosen;
    search.selected = selected;
    search.thread = std::thread([&search] {
        RunFiles files;
        PreviewLimits limits;
        limits.records = kMostRecords;
        limits.written_only = true;
        limits.cancel = &search.cancel;
        limits.progress = &search.read;
        search.result = preview(search.settings, files, limits, search.table);
        search.done = true;
    });
    show_status(QStringLiteral("書出し分を探しています…"));
    search_timer_.start();
}

void frm_preview::poll_search() {
    if (!search_) return;
    if (!search_->done) {
        show_status(QStringLiteral("書出し分を探しています… 読込 %L1件目まで").arg(search_->read.load()));
        return;
    }
    search_timer_.stop();
    search_->thread.join();
    const std::unique_ptr<Search> search = std::move(search_);
    rows_.take(std::move(search->table), search->result.failure.has_value());
    show_result(search->settings, search->result, search->chosen, search->selected);
}

void frm_preview::refresh() {
    timer_.stop();
    end_search();
    if (running_()) {  // the run's own file may be the one read; nothing is read during a run
        show_status(kRunning);
        return;
    }
    const ExtractionSettings s = settings_();
    const int chosen = grd_preview->currentIndex().isValid() ? grd_preview->currentIndex().row() : 0;
    const bool selected = grd_preview->selectionModel()->hasSelection();
    PreviewResult result;
    if (auto refused = unreadable_here(s.txt_ReadFile)) {
        rows_.fill([&](PreviewSink&) { return PreviewResult{std::move(refused)}; }, result);
    } else if (chk_written->isChecked()) {
        start_search(s, chosen, selected);  // the table shows the search's records when it is done
        return;
    } else {
        rows_.fill([&](PreviewSink& sink) { return preview(s, files_, {kMostRecords, kMostBytes}, sink); }, result);
    }
    show_result(s, result, chosen, selected);
}

void frm_preview::show_result(const ExtractionSettings& s, const PreviewResult& result, int chosen, bool selected) {
    ++refreshes_;
    fit_columns();
    if (result.failure) {
        show_hints(s, QString::fromStdString(*result.failure));
    } else if (chk_written->isChecked()) {
        QString text = QStringLiteral("書出し %1件 / 読込 %L2件目まで").arg(rows_.rowCount()).arg(result.read);
        text += result.limit == PreviewResult::Limit::Records ? QStringLiteral("  (先頭の%1件)").arg(rows_.rowCount())
                                                               : QStringLiteral("  (ファイルの終わりまで)");
        show_hints(s, text);
    } else {
        QString text = QStringLiteral("読込件数:%1  書出件数:%2").arg(result.read).arg(result.written);
        switch (result.limit) {
            case PreviewResult::Limit::Records: text += QStringLiteral("  (先頭の%1件まで)").arg(result.read); break;
            case PreviewResult::Limit::Bytes: text += QStringLiteral("  (先頭の16 MiBまで)"); break;
            case PreviewResult::Limit::None: text += QStringLiteral("  (ファイルの終わりまで)"); break;
        }
        show_hints(s, text);
    }
    // The ruler counts bytes of TEXT and fixed-length records; CSV has columns.
    scr_ruler->setVisible(!result.failure && !splits_columns(rows_.layout().type));
    if (rows_.rowCount() > 0) {
        // The first record is the one the ruler shows, but it is not marked
        // chosen until the user chooses a record: its colours stay in sight.
        const QModelIndex at = rows_.index(std::min(chosen, rows_.rowCount() - 1), 0);
        grd_preview->selectionModel()->setCurrentIndex(
            at, selected ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate);
    } else {
        pic_ruler->clear();
    }
    show_chosen_record();
}

void frm_preview::show_hints(const ExtractionSettings& s, QString status) {
    if (const auto unused = first_unused_row(s)) {
        const QString start = splits_columns(s.cmb_type) ? QStringLiteral("抽出する列") : QStringLiteral("開始位置");
        status += QStringLiteral("  @%1は使われていません: @%2の%3が空です").arg(unused->row + 1).arg(unused->empty_row + 1).arg(start);
    }
    // The first 64 KiB tell another encoding than the one chosen (of a
    // regular file only: a named pipe would hold the window).
    hinted_code_ = -1;
    if (sys::facts_of(s.txt_ReadFile).kind == sys::Kind::Regular) {
        if (const auto code = sniff_read_code(s.txt_ReadFile); code && *code != s.cmb_code) hinted_code_ = *code;
    }
    if (hinted_code_ >= 0) {
        const QString name = QString::fromUtf8(kReadCodes[static_cast<std::size_t>(hinted_code_)].data());
        status += QStringLiteral("  このファイルは%1のようです").arg(name);
        cmd_code->setText(QStringLiteral("%1 として読む(&R)").arg(name));
        cmd_code->setAccessibleName(QStringLiteral("%1 として読む").arg(name));
    }
    cmd_code->setVisible(hinted_code_ >= 0);
    show_status(status);
}

namespace {

// The first row with neither a start nor a length, or -1.
int first_free_row(const ExtractionSettings& s) {
    for (int i = 0; i < kConditionRows; ++i) {
        if (s.conditions[i].txt_ichi.empty() && s.conditions[i].txt_len.empty()) return i;
    }
    return -1;
}

// A field's bytes as the text a user would type for it.
// An EUC-JP field goes through code page 932 at its own JIS row and cell,
// as the run turns the typed text back.
QString typed_text(Encoding encoding, const std::string& bytes) {
    switch (encoding) {
        case Encoding::Utf8: return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        case Encoding::EucJp: {
            Transcoder to_cp932(Encoding::EucJp, Encoding::Cp932);
            return from_cp932(std::string(to_cp932.convert(bytes)));
        }
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            QString text;
            for_each_code(encoding, bytes, [&text](std::uint32_t c) {
                const char32_t shown = c >= 0xDC00 && c <= 0xDCFF ? 0xFFFD : c;
                text += QString::fromUcs4(&shown, 1);
            });
            return text;
        }
        case Encoding::Cp932: break;
    }
    return from_cp932(bytes);
}

}  // namespace

QMenu* frm_preview::ruler_menu() {
    const auto [start, length] = pic_ruler->selection();
    if (length <= 0 || !set_cut_) return nullptr;
    delete menu_;
    menu_ = new QMenu(this);
    const QString where = QStringLiteral(" (開始 %1・長さ %2)").arg(start).arg(length);
    const auto put = [this, start, length](int row) {
        set_cut_(row, QString::number(start), QString::number(length));
    };
    const int free = first_free_row(settings_());
    if (free >= 0) {
        menu_->addAction(QStringLiteral("@%1 に設定").arg(free + 1) + where + QStringLiteral("(&S)"), this, [put, free] { put(free); });
    }
    QMenu* rows = menu_->addMenu(QStringLiteral("行を選んで設定(&R)"));
    for (int i = 0; i < kConditionRows; ++i) {
        rows->addAction(QStringLiteral("@%1 に設定").arg(i + 1) + where + QStringLiteral("(&%1)").arg(i + 1), this, [put, i] { put(i); });
    }
    return menu_;
}

QMenu* frm_preview::cell_menu(const QModelIndex& index) {
    const int column = index.column();
    if (!index.isValid() || column < PreviewRows::kFirstField || column >= rows_.line_column() || !set_filter_) return nullptr;
    const int row = column - PreviewRows::kFirstField;
    const PreviewRow& r = rows_.rows()[static_cast<std::size_t>(index.row())];
    const Encoding encoding = rows_.layout().read_encoding;
    const std::string& field = r.field_bytes[static_cast<std::size_t>(row)];
    delete menu_;
    menu_ = new QMenu(this);
    // "=" and the cell's text; as a number when it is one, and without its
    // trailing blanks (RTRIM) when it has them.
    menu_->addAction(QStringLiteral("この値で絞り込む(&F)"), this, [this, row, field, encoding] {
        const std::string_view trimmed = trim_blanks(field, encoding);
        std::string number;
        if (!trimmed.empty() && read_decimal(trimmed, encoding, number)) {
            set_filter_(row, typed_text(encoding, std::string(trimmed)), kConvertNumber);
            return;
        }
        // Half-width blanks at the end (never a character's second byte):
        // compared without them, as RTRIM leaves the field.
        const std::size_t kept = field.find_last_not_of(' ') + 1;
        if (kept < field.size()) set_filter_(row, typed_text(encoding, field.substr(0, kept)), kConvertRtrim);
        else set_filter_(row, typed_text(encoding, field), -1);
    });
    if (splits_columns(rows_.layout().type) && set_cut_) {
        const int free = first_free_row(settings_());
        const std::int64_t csv_column = rows_.layout().columns[static_cast<std::size_t>(row)];
        if (free >= 0) {
            menu_->addAction(QStringLiteral("この列を@%1に(&C)").arg(free + 1), this, [this, free, csv_column] {
                set_cut_(free, QString::number(csv_column), QString());
            });
        }
    }
    return menu_;
}

// Each column as wide as what it shows, a field at most kWidestField; the
// line written takes the rest of the width.
void frm_preview::fit_columns() {
    QHeaderView* h = grd_preview->horizontalHeader();
    h->setStretchLastSection(false);
    for (int c = 0; c + 1 < rows_.columnCount(); ++c) {
        grd_preview->resizeColumnToContents(c);
        if (h->sectionSize(c) > kWidestField) h->resizeSection(c, kWidestField);
    }
    h->setStretchLastSection(true);
}

void frm_preview::show_chosen_record() {
    const QModelIndex at = grd_preview->currentIndex();
    if (!at.isValid() || at.row() >= rows_.rowCount()) {
        pic_ruler->clear();
        return;
    }
    const PreviewRow& row = rows_.rows()[static_cast<std::size_t>(at.row())];
    pic_ruler->show_record(row.record, rows_.layout());
    // The ruler and every band in sight, with room for the scroll bar of a long record.
    const int need = pic_ruler->sizeHint().height() + 2 * scr_ruler->frameWidth() +
                     scr_ruler->horizontalScrollBar()->sizeHint().height();
    scr_ruler->setMinimumHeight(std::min(need, height() / 2));
    scr_ruler->setAccessibleDescription(shown_cell(rows_.layout().read_encoding, row.record).text);
}

}  // namespace lintavo::ui
