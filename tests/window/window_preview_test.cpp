// The preview window on the offscreen platform: opened from its menu and
// by F5, its table, its refreshes after a change and never during a run,
// its ruler, a failed check in its status line, and Esc.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/text/cp932.h"
#include "ui/common/app_style.h"
#include "ui/preview/preview_colours.h"
#include "ui/preview/preview_window.h"
#include "ui/preview/ruler_view.h"
#include "window_fixture.h"

using namespace window_test;
using lintavo::ui::frm_preview;
using lintavo::ui::PreviewRows;

namespace {

std::string sj(const char* utf8) {
    std::string out;
    lintavo::cp932::from_utf8(utf8, out);
    return out;
}

// A row of the table as its cells read.
QStringList row_texts(const frm_preview& p, int row) {
    QStringList cells;
    for (int c = 0; c < p.rows().columnCount(); ++c) cells << p.rows().index(row, c).data().toString();
    return cells;
}

QStringList headings(const frm_preview& p) {
    QStringList h;
    for (int c = 0; c < p.rows().columnCount(); ++c) h << p.rows().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return h;
}

}  // namespace

class WindowPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lintavo::ui::use_window_style(); }

    void theMenuAndF5OpenItAndEscClosesIt() {
        Fixture f;
        QVERIFY(f.show_active());
        QStringList menus;
        for (QAction* a : f.w.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"ファイル(&F)", "表示(&V)"}));  // the File menu is tested as it stands elsewhere
        auto* entry = f.find<QAction>("mnu_Preview");
        QCOMPARE(entry->text(), QStringLiteral("プレビュー(&P)"));
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F5));
        QVERIFY(f.w.preview_window() == nullptr);
        QTest::keyClick(&f.w, Qt::Key_F5);
        frm_preview* p = f.w.preview_window();
        QVERIFY(p != nullptr);
        QVERIFY(p->isVisible());
        QVERIFY(!p->isModal());
        QCOMPARE(p->windowTitle(), QStringLiteral("プレビュー - Lintavo"));
        QApplication::setActiveWindow(p);  // as the window manager does (the offscreen platform does not)
        QTRY_COMPARE(QApplication::activeWindow(), p);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!p->isVisible());
        f.menu("mnu_Preview");  // the same window again, brought forward
        QCOMPARE(f.w.preview_window(), p);
        QVERIFY(p->isVisible());
        QVERIFY(f.messages.isEmpty());
    }

    void theTableOfASmallCsvFile() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.csv"), sj("番号,氏名,都道府県\r\n1,山田,東京都\r\n2,鈴木,大阪府\r\n3,\"a\tb\",東京都\r\n") +
                                               "4,\x82,x\r\n");
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.csv"));
        f.list("cmb_type")->setCurrentIndex(1);
        f.find<QCheckBox>("chk_header")->setChecked(true);
        for (int i = 0; i < 3; ++i) f.edit(QStringLiteral("txt_ichi(%1)").arg(i))->setText(QString::number(i + 1));
        f.list("cmb_select(2)")->setCurrentIndex(1);
        f.edit("txt_key(2)")->setText(QStringLiteral("東京都"));
        f.list("cmb_type_Write")->setCurrentIndex(3);
        f.menu("mnu_Preview");
        const frm_preview& p = *f.w.preview_window();
        QCOMPARE(headings(p), (QStringList{"件目", "判定", "理由", "@1 番号", "@2 氏名", "@3 都道府県", "書出し内容"}));
        QCOMPARE(row_texts(p, 0), (QStringList{"1", "見出し", "", "番号", "氏名", "都道府県", "\"番号\",\"氏名\",\"都道府県\""}));
        QCOMPARE(row_texts(p, 1), (QStringList{"2", "○", "", "1", "山田", "東京都", "\"1\",\"山田\",\"東京都\""}));
        QCOMPARE(row_texts(p, 2), (QStringList{"3", "×", "@3", "2", "鈴木", "大阪府", ""}));
        QCOMPARE(row_texts(p, 3).at(4), QStringLiteral("a\\tb"));  // an escape, drawn in its own colour
        QCOMPARE(p.rows().index(3, 4).data(PreviewRows::kEscapesRole).value<QList<int>>(), (QList<int>{1, 2}));
        QCOMPARE(row_texts(p, 4).at(4), QStringLiteral("\\x82"));
        QCOMPARE(p.status(), QStringLiteral("読込件数:5  書出件数:3  (ファイルの終わりまで)"));
        QVERIFY(!p.ruler()->isVisible());  // CSV has columns, not byte positions
        QCOMPARE(f.edit("txt_ichi(0)")->text(), QStringLiteral("1"));  // nothing of the main window changed
        QVERIFY(!QFile::exists(dir.filePath("out.csv")));
        // Without the header line the headings name the columns the rows take.
        f.find<QCheckBox>("chk_header")->setChecked(false);
        f.edit("txt_ichi(0)")->setText(QStringLiteral("3"));
        f.w.preview_window()->refresh();
        QCOMPARE(headings(p).mid(3, 3), (QStringList{"@1 3列目", "@2 2列目", "@3 3列目"}));
        QCOMPARE(row_texts(p, 1).mid(3, 3), (QStringList{"東京都", "山田", "東京都"}));
    }

    void aChangedSettingRefreshesItShortlyAfter() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "apple\r\nbanana\r\n");
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        QCOMPARE(p.rows().rowCount(), 2);
        const int before = p.refresh_count();
        for (const char* typed : {"b", "ba", "ban"}) f.edit("txt_keyword(0)")->setText(QString::fromUtf8(typed));
        QCOMPARE(p.refresh_count(), before);  // not at each key
        QTRY_COMPARE_WITH_TIMEOUT(p.refresh_count(), before + 1, 2000);
        QCOMPARE(row_texts(p, 0).mid(1, 2), (QStringList{"×", "キーワード1"}));
        QCOMPARE(row_texts(p, 1).at(1), QStringLiteral("○"));
    }

    // The ruler marks the bytes each row cuts, counting a double-byte
    // character as two, as start positions do.
    void theRulerMarksTheBytesOfEachRow() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "A" + sj("あい") + "BC\r\n");  // bytes: A, あ 2-3, い 4-5, B, C
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_ichi(0)")->setText(QStringLiteral("2"));
        f.edit("txt_len(0)")->setText(QStringLiteral("2"));  // あ
        f.edit("txt_ichi(1)")->setText(QStringLiteral("5"));
        f.edit("txt_len(1)")->setText(QStringLiteral("2"));  // the second byte of い and B
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        QCOMPARE(headings(p).mid(3, 2), (QStringList{"@1 2-3", "@2 5-6"}));
        QCOMPARE(row_texts(p, 0).mid(3, 2), (QStringList{"あ", "\uFF62B"}));  // い cut in half: its second byte alone is ｢
        lintavo::ui::RulerView* r = p.ruler();
        QVERIFY(r->isVisible());
        const QImage shown = r->grab().toImage();
        const int expected[] = {-1, 0, 0, -1, 1, 1, -1};
        for (int b = 1; b <= 7; ++b) {
            QCOMPARE(r->row_of_byte(b), expected[b - 1]);
            const QPoint corner = r->byte_rect(b).topLeft() + QPoint(1, 1);
            const QColor colour = shown.pixelColor(corner);
            if (expected[b - 1] >= 0) QCOMPARE(colour, lintavo::ui::field_colour(expected[b - 1]));
            else QVERIFY2(colour != lintavo::ui::field_colour(0) && colour != lintavo::ui::field_colour(1), qPrintable(QString::number(b)));
        }
        // A table that reads well: no record marked chosen until the user
        // chooses one, headings from the left, the ruler filling its pane.
        auto* table = p.findChild<QTableView*>("grd_preview");
        QVERIFY(!table->selectionModel()->hasSelection());
        QCOMPARE(table->currentIndex().row(), 0);
        QCOMPARE(table->horizontalHeader()->defaultAlignment(), Qt::AlignLeft | Qt::AlignVCenter);
        p.resize(900, 600);
        QTRY_VERIFY(r->width() >= r->parentWidget()->width());
    }

    // The preview opens beside the main window where the screen has room,
    // else where the condition rows stay in sight.
    void itOpensBesideTheMainWindow() {
        const QRect main(100, 50, 800, 700);
        const QRect rows(110, 400, 780, 300);
        const QSize size(1000, 600);
        using lintavo::ui::preview_place;
        // A wide screen: to the right.
        QCOMPARE(preview_place(main, rows, size, QRect(0, 0, 2560, 1440)), QRect(QPoint(904, 50), size));
        // A tall one: below.
        QCOMPARE(preview_place(main, rows, size, QRect(0, 0, 1200, 1440)), QRect(QPoint(100, 754), size));
        // 1366 x 768: beside the rows, made narrower.
        const QRect small = preview_place(main, rows, size, QRect(0, 0, 1366, 768));
        QVERIFY(!small.intersects(rows));
        QVERIFY(QRect(0, 0, 1366, 768).contains(small));
        // 1024 x 768: no room beside anything; inside the screen.
        QVERIFY(QRect(0, 0, 1024, 768).contains(preview_place(QRect(0, 0, 1000, 740), QRect(5, 380, 990, 350), size, QRect(0, 0, 1024, 768))));
        // Through the window: the first opening does not cover the window.
        Fixture f;
        QVERIFY(f.show_active());
        f.menu("mnu_Preview");
        const QRect at = f.w.preview_window()->frameGeometry();
        const QRect screen = f.w.screen()->availableGeometry();
        if (screen.width() >= f.w.frameGeometry().width() + at.width()) QVERIFY(!at.intersects(f.w.frameGeometry()));
    }

    // What the preview tells of its own accord: the blanks at a field's ends,
    // a row that holds a condition but is not in use, and an encoding the
    // file seems to be in, with a button that reads it so.
    void itShowsBlanksUnusedRowsAndTheEncoding() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), sj("東京都  X\r\n　東京都\r\n東京都XX\r\n"));
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_ichi(0)")->setText(QStringLiteral("1"));
        f.edit("txt_len(0)")->setText(QStringLiteral("8"));
        f.list("cmb_select(0)")->setCurrentIndex(1);
        f.edit("txt_key(0)")->setText(QStringLiteral("東京都"));
        f.list("cmb_select(6)")->setCurrentIndex(1);  // @7 below the empty @2: not in use
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        const struct {
            int row;
            QString shown, blanks;
        } cases[] = {
            {0, QStringLiteral("東京都··"), QStringLiteral("末尾に半角空白2個")},
            {1, QStringLiteral("・東京都"), QStringLiteral("先頭に全角空白1個")},
            {2, QStringLiteral("東京都XX"), QString()},
        };
        for (const auto& c : cases) {
            const QModelIndex cell = p.rows().index(c.row, 3);
            QCOMPARE(cell.data().toString(), c.shown);
            QCOMPARE(cell.data(Qt::ToolTipRole).toString(), c.blanks.isEmpty() ? c.shown : c.shown + "\n" + c.blanks);
            QCOMPARE(cell.data(PreviewRows::kEscapesRole).value<QList<int>>().isEmpty(), c.blanks.isEmpty());
        }
        QVERIFY2(p.status().endsWith(QStringLiteral("  @7は使われていません: @2の開始位置が空です")), qPrintable(p.status()));
        QVERIFY(!p.code_button()->isVisibleTo(&p));
        // A UTF-8 file read as Shift-JIS: the hint and its button.
        write_bytes(dir.filePath("u.txt"), "東京都\r\n");
        f.edit("txt_ReadFile")->setText(dir.filePath("u.txt"));
        p.refresh();
        QVERIFY2(p.status().contains(QStringLiteral("このファイルはUTF-8のようです")), qPrintable(p.status()));
        QVERIFY(p.code_button()->isVisibleTo(&p));
        QCOMPARE(p.code_button()->accessibleName(), QStringLiteral("UTF-8 として読む"));
        p.code_button()->click();
        QCOMPARE(f.list("cmb_code")->currentIndex(), 1);
        p.refresh();
        QVERIFY(!p.code_button()->isVisibleTo(&p));
        QVERIFY(!p.status().contains(QStringLiteral("のようです")));
    }

    // Setting rows by pointing: bytes chosen on the ruler (whole characters)
    // go into a row; a cell's value becomes a row's filter.
    void itSetsRowsByPointing() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "A" + sj("あい") + "BC 12,000 x  \r\n");
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        const char* cuts[][2] = {{"8", "7"}, {"16", "3"}, {"1", "1"}};  // " 12,000", "x  ", "A"
        for (int i = 0; i < 3; ++i) {
            f.edit(QStringLiteral("txt_ichi(%1)").arg(i))->setText(QLatin1String(cuts[i][0]));
            f.edit(QStringLiteral("txt_len(%1)").arg(i))->setText(QLatin1String(cuts[i][1]));
        }
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        p.ruler()->select_bytes(3, 4);  // the second byte of あ to the first of い
        QCOMPARE(p.ruler()->selection(), (std::pair<std::int64_t, std::int64_t>{2, 4}));
        QMenu* menu = p.ruler_menu();
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("@4 に設定 (開始 2・長さ 4)(&S)"));
        menu->actions().first()->trigger();
        QCOMPARE(f.edit("txt_ichi(3)")->text(), QStringLiteral("2"));
        QCOMPARE(f.edit("txt_len(3)")->text(), QStringLiteral("4"));
        const struct {
            int column;
            QString key;
            int change;
        } cells[] = {
            {3, QStringLiteral("12,000"), 5},  // a number: 数値
            {4, QStringLiteral("x"), 3},       // blanks at the end: RTRIM
            {5, QStringLiteral("A"), 0},
        };
        for (const auto& c : cells) {
            const int row = c.column - 3;
            p.cell_menu(p.rows().index(0, c.column))->actions().first()->trigger();
            QCOMPARE(f.list(QStringLiteral("cmb_select(%1)").arg(row))->currentIndex(), 1);
            QCOMPARE(f.edit(QStringLiteral("txt_key(%1)").arg(row))->text(), c.key);
            QCOMPARE(f.list(QStringLiteral("cmb_change(%1)").arg(row))->currentIndex(), c.change);
        }
        QVERIFY(p.cell_menu(p.rows().index(0, 0)) == nullptr);  // no menu on the record's number
        // CSV: a cell's column into the first free row.
        write_bytes(dir.filePath("in.csv"), "a,b,c\r\n");
        f.edit("txt_ReadFile")->setText(dir.filePath("in.csv"));
        f.list("cmb_type")->setCurrentIndex(1);
        for (int i = 0; i < 4; ++i) {
            f.edit(QStringLiteral("txt_ichi(%1)").arg(i))->clear();
            f.edit(QStringLiteral("txt_len(%1)").arg(i))->clear();
        }
        f.edit("txt_ichi(0)")->setText(QStringLiteral("3"));
        p.refresh();
        QMenu* csv = p.cell_menu(p.rows().index(0, 3));
        QCOMPARE(csv->actions().at(1)->text(), QStringLiteral("この列を@2に(&C)"));
        csv->actions().at(1)->trigger();
        QCOMPARE(f.edit("txt_ichi(1)")->text(), QStringLiteral("3"));
    }

    // 書出し分のみ: the first records a run writes, searched for through the
    // whole file in the background: the run's first lines; a change of a
    // setting ends the search at once.
    void itSearchesForTheWrittenRecords() {
        QTemporaryDir dir;
        std::string input;
        for (int i = 1; i <= 400000; ++i) input += (i % 1000 == 0 ? "hit " : "line ") + std::to_string(i) + "\r\n";
        write_bytes(dir.filePath("in.txt"), input);
        Fixture f;
        f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
        f.edit("txt_keyword(0)")->setText(QStringLiteral("hit"));
        f.find<QPushButton>("cmd_select")->click();
        const std::string out = read_bytes(dir.filePath("out.txt"));
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        QCOMPARE(row_texts(p, 0).at(1), QStringLiteral("×"));  // record 1000 is the first written
        p.written_box()->setChecked(true);
        QVERIFY(p.searching());
        QTRY_VERIFY_WITH_TIMEOUT(!p.searching(), 20000);
        QCOMPARE(p.rows().rowCount(), 400);
        std::string lines;
        for (int r = 0; r < p.rows().rowCount(); ++r) lines += row_texts(p, r).last().toStdString() + "\r\n";
        QCOMPARE(lines, out);
        QCOMPARE(p.status(), QStringLiteral("書出し 400件 / 読込 400,000件目まで  (ファイルの終わりまで)"));
        // A change ends a search going on within 0.1 s.
        f.edit("txt_keyword(0)")->setText(QStringLiteral("line 399999"));
        p.refresh();
        QVERIFY(p.searching());
        QElapsedTimer clock;
        clock.start();
        f.edit("txt_keyword(0)")->setText(QStringLiteral("line 39999"));
        QVERIFY(!p.searching());
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!p.searching() && p.rows().rowCount() == 11, 20000);  // 39999, 399990 to 399999
    }

    void aFailedCheckShowsInTheStatusLine() {
        Fixture f;
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        QCOMPARE(p.status(), QStringLiteral("読込むファイルを指定してください"));
        QCOMPARE(p.rows().rowCount(), 0);
        f.edit("txt_ReadFile")->setText(QStringLiteral("in.txt"));
        f.edit("txt_keyword(1)")->setText(QStringLiteral("\U0001F600"));
        p.refresh();
        QCOMPARE(p.status(), QStringLiteral("Shift-JISで表せない文字があります: キーワード2"));
        QVERIFY(f.messages.isEmpty());  // no message box
    }

    void nothingIsReadDuringARun() {
        QTemporaryDir dir;
        std::string input;
        for (int i = 1; i <= 250; ++i) input += "line " + std::to_string(i) + "\r\n";
        write_bytes(dir.filePath("in.txt"), input);
        Fixture f;
        f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
        f.menu("mnu_Preview");
        frm_preview& p = *f.w.preview_window();
        const int before = p.refresh_count();
        QString during;
        f.w.set_pause_hook([&] {
            f.edit("txt_keyword(0)")->setText(QStringLiteral("line"));  // a change during the run
            QTest::qWait(400);                                          // past the preview's delay
            during = p.status();
        });
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(during, QStringLiteral("抽出処理の実行中です。終わると更新します"));
        QCOMPARE(p.refresh_count(), before + 1);  // once, when the run ended
        QCOMPARE(p.status(), QStringLiteral("読込件数:250  書出件数:250  (ファイルの終わりまで)"));
    }
};

QTEST_MAIN(WindowPreviewTest)
#include "window_preview_test.moc"
