// The window on the offscreen platform: start-up, control states, file
// choices, pattern commands, runs and closing.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include "ui/common/app_style.h"
#include "ui/common/common_dialog.h"
#include "ui/main/control_states.h"
#include "ui/main/layout.h"
#include "ui/main/main_window.h"
#include "ui/common/text_binding.h"
#include "window_fixture.h"

using namespace window_test;

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lintavo::ui::use_window_style(); }

    void startUpState() {
        Fixture f;
        QVERIFY(f.loaded);
        QCOMPARE(f.w.windowTitle(), QStringLiteral("Lintavo"));
        QCOMPARE(f.list("cmb_type")->count(), 4);
        QCOMPARE(f.list("cmb_type")->itemText(2), QStringLiteral("固定長"));
        QCOMPARE(f.list("cmb_type")->itemText(3), QStringLiteral("TSV"));
        QCOMPARE(f.list("cmb_type")->currentIndex(), 0);
        QCOMPARE(f.list("cmb_type_Write")->itemText(3), QStringLiteral("CSVとして書き出す(カンマ)"));
        QCOMPARE(f.list("cmb_type_Write")->currentIndex(), 0);
        for (int i = 0; i < 7; ++i) {
            const QString r = QStringLiteral("(%1)").arg(i);
            QCOMPARE(f.find<QLabel>("lbl_selectNo" + r)->text(), QStringLiteral("@%1").arg(i + 1));
            QCOMPARE(f.list("cmb_select" + r)->count(), 9);
            QCOMPARE(f.list("cmb_select" + r)->itemText(3), QStringLiteral("=>"));
            QCOMPARE(f.list("cmb_select" + r)->currentIndex(), 0);
            QCOMPARE(f.list("cmb_change" + r)->itemText(4), QStringLiteral("先頭ゼロ空白"));
            QCOMPARE(f.list("cmb_change" + r)->currentIndex(), 0);
            QVERIFY(f.edit("txt_ichi" + r)->text().isEmpty());
            QVERIFY(!f.list("cmb_select" + r)->isEditable());
        }
        for (int j = 0; j < 4; ++j) {
            QCOMPARE(f.list(QStringLiteral("cmb_keyword(%1)").arg(j))->currentText(), QStringLiteral("を含む"));
        }
        QCOMPARE(f.edit("txt_RecordLength")->text(), QStringLiteral("100"));
        QVERIFY(!f.shown_("txt_RecordLength"));
        QVERIFY(!f.shown_("lbl_RecordLength"));
        QVERIFY(!f.shown_("txt_hinagata"));
        QVERIFY(!f.shown_("txt_pattern"));
        QVERIFY(f.shown_("txt_len(6)"));
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:"));
        QCOMPARE(f.find<QGroupBox>("Frame3")->title(), QStringLiteral("キーワードの見つかった行を抽出する"));
        QCOMPARE(f.w.centralWidget()->size(), QSize(876, 441));
        QCOMPARE(f.find<QWidget>("Frame6")->geometry(), QRect(378, 9, 487, 424));
        QCOMPARE(f.find<QWidget>("txt_key(6)")->geometry(), lintavo::ui::twips(3195, 3240, 2400, 375));
        QCOMPARE(f.find<QWidget>("txt_key(6)")->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QCOMPARE(f.w.read_settings(), lintavo::ExtractionSettings{});
    }

    void encodingLists() {
        Fixture f;
        const QStringList read{"Shift-JIS", "UTF-8", "EUC-JP", "UTF-16"};
        const QStringList write{"読込みと同じ", "Shift-JIS", "UTF-8", "UTF-8 (BOM付き)", "EUC-JP", "UTF-16LE (BOM付き)"};
        for (const auto& [name, entries, frame] : {std::tuple{"cmb_code", read, "Frame2"}, std::tuple{"cmb_code_Write", write, "Frame4"}}) {
            QComboBox* c = f.list(QLatin1String(name));
            QStringList got;
            for (int k = 0; k < c->count(); ++k) got << c->itemText(k);
            QCOMPARE(got, entries);
            QCOMPARE(c->currentIndex(), 0);
            QVERIFY(!c->isEditable());
            QCOMPARE(c->parentWidget()->objectName(), QLatin1String(frame));
        }
        // Beside their neighbours, clear of every other control of their frames.
        QCOMPARE(f.list("cmb_code")->geometry(), lintavo::ui::twips(180, 855, 1410, 300));
        QCOMPARE(f.list("cmb_code_Write")->geometry(), lintavo::ui::twips(3525, 315, 1710, 300));
        for (const char* name : {"cmb_code", "cmb_code_Write"}) {
            QWidget* c = f.find<QWidget>(QLatin1String(name));
            for (QWidget* other : c->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (other != c && !other->objectName().startsWith(QStringLiteral("prg")) && !other->objectName().startsWith(QStringLiteral("lbl_Progress"))) {
                    QVERIFY2(!other->geometry().intersects(c->geometry()), qPrintable(other->objectName()));
                }
            }
        }
        f.list("cmb_code")->setCurrentIndex(1);
        f.list("cmb_code_Write")->setCurrentIndex(3);
        QCOMPARE(f.w.read_settings().cmb_code, 1);
        QCOMPARE(f.w.read_settings().cmb_code_Write, 3);
    }

    void encodingsAndHeaderOfALoadedPattern() {
        QTemporaryDir dir;
        const QString with = dir.filePath(QStringLiteral("with.ptn"));
        const QString without = dir.filePath(QStringLiteral("without.ptn"));
        const QString saved = dir.filePath(QStringLiteral("saved.ptn"));
        write_bytes(with, "READFILE=in.csv\r\nWRITEFILETYPE=0\r\nREADFILECODE=1\r\nWRITEFILECODE=2\r\nHEADERLINE=1\r\n[WRITEPATTERN]\r\n");
        write_bytes(without, "READFILE=in.csv\r\nWRITEFILETYPE=0\r\n[WRITEPATTERN]\r\n");
        // A loaded file is never sniffed: in.csv holds Shift-JIS bytes.
        write_bytes(dir.filePath(QStringLiteral("in.csv")), "\x93\x8C\x8B\x9E\r\n");
        Fixture f(with);
        QCOMPARE(f.list("cmb_code")->currentIndex(), 1);
        QCOMPARE(f.list("cmb_code_Write")->currentIndex(), 2);
        auto* header = f.find<QCheckBox>("chk_header");
        QVERIFY(header->isChecked());
        f.answers << without << saved << saved;
        f.menu("mnu_Select_FileRead");  // no keys: the lists and the box start from their defaults
        QCOMPARE(f.list("cmb_code")->currentIndex(), 0);
        QCOMPARE(f.list("cmb_code_Write")->currentIndex(), 0);
        QVERIFY(!header->isChecked());
        f.list("cmb_code_Write")->setCurrentIndex(2);
        header->setChecked(true);
        f.menu("mnu_Select_FileWrite");
        std::string bytes = read_bytes(saved);
        QVERIFY(bytes.find("WRITEFILETYPE=0\r\nWRITEFILECODE=2\r\nHEADERLINE=1\r\n[WRITEPATTERN]") != std::string::npos);
        QVERIFY(bytes.find("READFILECODE") == std::string::npos);
        header->setChecked(false);  // off: saved as every older pattern
        f.menu("mnu_Select_FileWrite");
        bytes = read_bytes(saved);
        QVERIFY(bytes.find("HEADERLINE") == std::string::npos);
    }

    void menuEntries() {
        Fixture f;
        QStringList shown;
        for (QAction* a : f.find<QMenu>("mnu_file")->actions()) {
            if (a->isVisible()) shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(shown, (QStringList{"抽出パターン読込み", "抽出パターン保管", "-", "バージョン", "終了"}));
        QCOMPARE(f.find<QMenu>("mnu_file")->title(), QStringLiteral("ファイル(&F)"));
    }

    // A screen reader reads each control by its accessible name: every
    // control that takes input says what it holds, none by a frame's caption.
    void everyControlIsNamed() {
        Fixture f;
        const auto name = [&f](const QString& control) {
            return QAccessible::queryAccessibleInterface(f.find<QWidget>(control))->text(QAccessible::Name);
        };
        const std::vector<std::pair<QString, QString>> names = {
            {"txt_ReadFile", "読込みファイル"},       {"cmb_code", "読込みファイルの文字コード"},
            {"cmb_type", "読込みファイルの種類"},     {"txt_RecordLength", "レコード長"},
            {"txt_WriteFile", "書出しファイル"},      {"cmb_type_Write", "書出し方法"},
            {"cmb_code_Write", "書出しファイルの文字コード"}, {"txt_hinagata", "書出しパターン"},
            {"txt_keyword(0)", "キーワード1"},        {"cmb_keyword(3)", "キーワード4の条件"},
            {"txt_ichi(0)", "@1の開始位置"},          {"txt_len(6)", "@7の長さ"},
            {"cmb_select(1)", "@2の比較条件"},        {"txt_key(2)", "@3の比較内容"},
            {"cmb_change(6)", "@7の変換"},            {"prg_Progress", "進み具合"},
            {"cmd_select", "読込みファイルの行を抽出条件で抽出し、書出す"}, {"lbl_ReadCount", "読込件数:"},
            {"Frame6", "抽出条件"}, {"Frame3", "キーワードの見つかった行を抽出する"}, {"Frame1", "桁位置を指定して、抽出する"},
        };
        for (const auto& [control, expected] : names) QCOMPARE(name(control), expected);
        f.list("cmb_type")->setCurrentIndex(1);
        QCOMPARE(name("txt_ichi(4)"), QStringLiteral("@5の抽出する列"));
        for (QWidget* w : f.w.findChildren<QWidget*>()) {
            if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != &f.w || w->objectName().isEmpty()) continue;
            if (w->objectName() == QStringLiteral("txt_pattern")) continue;  // never shown
            const QString n = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            QVERIFY2(!n.isEmpty() && !n.startsWith(QStringLiteral("抽出処理")) && !n.startsWith(QStringLiteral("桁位置")) &&
                         !n.startsWith(QStringLiteral("キーワードの見つかった")),
                     qPrintable(w->objectName() + ": " + n));
        }
    }

    void typeStates_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("lengths");
        QTest::addColumn<bool>("recordLength");
        QTest::newRow("TEXT") << 0 << "開始位置" << true << false;
        QTest::newRow("CSV") << 1 << "抽出する列" << false << false;
        QTest::newRow("fixed") << 2 << "開始位置" << true << true;
        QTest::newRow("TSV") << 3 << "抽出する列" << false << false;
        QTest::newRow("none") << -1 << "開始位置" << true << false;
    }
    void typeStates() {
        QFETCH(int, type);
        QFETCH(QString, heading);
        QFETCH(bool, lengths);
        QFETCH(bool, recordLength);
        Fixture f;
        f.edit("txt_len(2)")->setText(QStringLiteral("5"));
        for (int before : {1, 2, 0}) {  // whatever the state before
            f.list("cmb_type")->setCurrentIndex(before);
            f.list("cmb_type")->setCurrentIndex(type);
            QCOMPARE(f.find<QLabel>("lbl_ichi")->text(), heading);
            QCOMPARE(f.shown_("lbl_len"), lengths);
            for (int i = 0; i < 7; ++i) QCOMPARE(f.shown_(QStringLiteral("txt_len(%1)").arg(i)), lengths);
            QCOMPARE(f.shown_("txt_RecordLength"), recordLength);
            QCOMPARE(f.shown_("lbl_RecordLength"), recordLength);
            QCOMPARE(f.shown_("chk_header"), !recordLength);  // the two share one place
            QVERIFY(f.shown_("txt_ichi(0)"));
        }
        QCOMPARE(f.edit("txt_len(2)")->text(), QStringLiteral("5"));  // hiding keeps the value
    }

    void templateState() {
        Fixture f;
        for (int mode : {-1, 0, 1, 2, 3, 4}) {
            f.list("cmb_type_Write")->setCurrentIndex(mode);
            QCOMPARE(f.shown_("txt_hinagata"), mode == 2);
        }
    }

    void tabOrderSkipsHiddenControls() {
        Fixture f;
        f.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        f.w.activateWindow();
        f.edit("txt_ReadFile")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.edit("txt_ReadFile")));
        const auto tab_goes_to = [](QWidget* next) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        };
        for (QWidget* next : std::initializer_list<QWidget*>{f.list("cmb_code"), f.list("cmb_type"), f.find<QWidget>("chk_header"),
                                                             f.edit("txt_WriteFile"), f.find<QPushButton>("cmd_select"),
                                                             f.edit("txt_keyword(0)")}) {
            tab_goes_to(next);
        }
        // For 固定長 the record length stands in the header box's place.
        f.list("cmb_type")->setCurrentIndex(2);
        f.list("cmb_type")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.list("cmb_type")));
        tab_goes_to(f.edit("txt_RecordLength"));
        tab_goes_to(f.edit("txt_WriteFile"));
        // The write file's encoding follows the write mode; the hidden template is skipped.
        f.list("cmb_type_Write")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.list("cmb_type_Write")));
        tab_goes_to(f.list("cmb_code_Write"));
        tab_goes_to(f.find<QPushButton>("cmd_ReadFileOpen"));
    }

    void readFileChoice_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("after");
        QTest::newRow("list.csv") << 0 << "/d/list.csv" << 1;
        QTest::newRow("LIST.CSV") << 2 << "/d/LIST.CSV" << 1;
        QTest::newRow("list.Csv") << 0 << "/d/list.Csv" << 1;
        QTest::newRow("memo.txt from fixed") << 2 << "/d/memo.txt" << 0;
        QTest::newRow("MEMO.TXT") << 1 << "/d/MEMO.TXT" << 0;
        QTest::newRow("data.dat") << 2 << "/d/data.dat" << 2;
        QTest::newRow("no extension") << 1 << "/d/data" << 1;
        QTest::newRow("cancelled") << 2 << "" << 2;
    }
    void readFileChoice() {
        QFETCH(int, before);
        QFETCH(QString, chosen);
        QFETCH(int, after);
        Fixture f;
        f.list("cmb_type")->setCurrentIndex(before);
        f.edit("txt_ReadFile")->setText(QStringLiteral("old.txt"));
        f.answers << (chosen.isEmpty() ? std::optional<QString>() : std::optional<QString>(chosen));
        f.find<QPushButton>("cmd_ReadFileOpen")->click();
        QCOMPARE(f.shown.size(), 1);
        QCOMPARE(f.shown[0].FileName, QStringLiteral("old.txt"));
        QCOMPARE(f.shown[0].InitDir, QDir::currentPath());  // the folder of old.txt
        QCOMPARE(f.shown[0].Filter, QStringLiteral("テキスト ファイル (*.txt*.csv)|*.txt;*.csv|全てのファイル|*.*|"));
        QCOMPARE(f.shown[0].DialogTitle, QStringLiteral("ファイル指定"));
        QCOMPARE(f.edit("txt_ReadFile")->text(), chosen.isEmpty() ? QStringLiteral("old.txt") : chosen);
        QCOMPARE(f.list("cmb_type")->currentIndex(), after);
        QCOMPARE(f.shown_("txt_RecordLength"), after == 2);
    }

    void writeFileChoice() {
        Fixture f;
        f.list("cmb_type_Write")->setCurrentIndex(1);
        f.answers << QStringLiteral("/d/out.csv") << std::nullopt;
        f.find<QPushButton>("cmd_WriteFile")->click();
        QCOMPARE(f.edit("txt_WriteFile")->text(), QStringLiteral("/d/out.csv"));
        QCOMPARE(f.list("cmb_type_Write")->currentIndex(), 1);
        QVERIFY(f.shown[0].Filter.isEmpty());  // no filter before any other use
        f.find<QPushButton>("cmd_WriteFile")->click();
        QCOMPARE(f.shown[1].FileName, QStringLiteral("/d/out.csv"));
        QCOMPARE(f.edit("txt_WriteFile")->text(), QStringLiteral("/d/out.csv"));
    }

    void patternCommandsThroughTheMenu() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.txt"));
        Fixture f;
        f.edit("txt_ReadFile")->setText(QStringLiteral("in.dat"));
        f.list("cmb_type")->setCurrentIndex(2);
        f.edit("txt_ichi(0)")->setText(QStringLiteral("007"));
        f.edit("txt_key(0)")->setText(QStringLiteral("東京"));
        f.list("cmb_select(0)")->setCurrentIndex(6);
        f.edit("txt_keyword(1)")->setText(QStringLiteral("エラー"));
        f.list("cmb_keyword(1)")->setCurrentIndex(1);
        f.list("cmb_type_Write")->setCurrentIndex(2);
        f.find<QPlainTextEdit>("txt_hinagata")->setPlainText(QStringLiteral("@0\n@1"));

        // Save: the dialog proposes the empty txt_pattern, with ".txt" as default extension.
        f.answers << path;
        f.menu("mnu_Select_FileWrite");
        QVERIFY2(f.messages.isEmpty(), qPrintable(f.messages.join(",")));
        QCOMPARE(f.shown.last().Filter, QStringLiteral("抽出パターン (*.txt *.ptn)|*.txt;*.ptn|全てのファイル|*.*|"));
        QCOMPARE(f.shown.last().DefaultExt, QStringLiteral(".txt"));
        QCOMPARE(f.shown.last().Flags, 0);
        QCOMPARE(f.edit("txt_pattern")->text(), path);
        const std::string saved = read_bytes(path);
        QVERIFY(saved.find("ITEM000=   007,      ,06,00,\x93\x8C\x8B\x9E\r\n") != std::string::npos);
        QVERIFY(saved.find("KEYWORD001=1,       \x83\x47\x83\x89\x81\x5B\r\n") != std::string::npos);
        QVERIFY(saved.ends_with("[WRITEPATTERN]\r\n@0\r\n@1\r\n"));

        // Load into a changed window: every saved setting comes back.
        f.list("cmb_type")->setCurrentIndex(1);
        f.edit("txt_key(0)")->setText(QStringLiteral("changed"));
        f.list("cmb_type_Write")->setCurrentIndex(0);
        f.answers << path;
        f.menu("mnu_Select_FileRead");
        QCOMPARE(f.shown.last().FileName, path);  // proposes the saved file, in its folder
        QCOMPARE(f.shown.last().InitDir, dir.path());
        QCOMPARE(f.shown.last().Flags, lintavo::ui::kHideReadOnly);
        QCOMPARE(f.shown.last().DefaultExt, QStringLiteral(".txt"));  // carried over from the save
        QCOMPARE(f.list("cmb_type")->currentIndex(), 2);
        QVERIFY(f.shown_("txt_RecordLength"));
        QCOMPARE(f.edit("txt_ichi(0)")->text(), QStringLiteral("7"));
        QCOMPARE(f.edit("txt_key(0)")->text(), QStringLiteral("東京"));
        QCOMPARE(f.list("cmb_keyword(1)")->currentIndex(), 1);
        QVERIFY(f.shown_("txt_hinagata"));
        QCOMPARE(f.find<QPlainTextEdit>("txt_hinagata")->toPlainText(), QStringLiteral("@0\n@1"));

        // Cancel changes nothing; the write-file dialog then shows the pattern filter.
        f.edit("txt_key(0)")->setText(QStringLiteral("edited"));
        f.answers << std::nullopt;
        f.menu("mnu_Select_FileRead");
        QCOMPARE(f.edit("txt_key(0)")->text(), QStringLiteral("edited"));
        f.answers << std::nullopt;
        f.menu("mnu_Select_FileWrite");
        QCOMPARE(read_bytes(path), saved.substr(0, saved.size()));
        f.answers << std::nullopt;
        f.find<QPushButton>("cmd_WriteFile")->click();
        QCOMPARE(f.shown.last().Filter, QStringLiteral("抽出パターン (*.txt *.ptn)|*.txt;*.ptn|全てのファイル|*.*|"));
        QCOMPARE(f.shown.last().InitDir, dir.path());  // an empty field: where the last dialog ended

        // A file that cannot be read shows its message and changes nothing.
        f.answers << dir.filePath(QStringLiteral("missing.txt"));
        f.menu("mnu_Select_FileRead");
        QCOMPARE(f.messages, QStringList{"抽出パターンファイルを開けません: " + dir.filePath(QStringLiteral("missing.txt"))});
        QCOMPARE(f.edit("txt_key(0)")->text(), QStringLiteral("edited"));

        // A character code page 932 cannot hold stops the save.
        f.messages.clear();
        f.edit("txt_keyword(3)")->setText(QStringLiteral("caf\u00E9"));
        f.answers << path;
        f.menu("mnu_Select_FileWrite");
        QCOMPARE(f.messages, QStringList{"Shift-JISで表せない文字があります: キーワード4"});
        QCOMPARE(read_bytes(path), saved);
    }

    void unusualBytesSurviveTheWindow() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.txt"));
        const std::string odd = "READFILE=a.txt\r\nKEYWORD000=0,       \x87\x9A\x81\xFF\x85\x40\nx\r\n"
                                "[WRITEPATTERN]\r\n\xED\x40@1\x81\r\n";
        write_bytes(path, odd);
        Fixture f;
        f.answers << path << dir.filePath(QStringLiteral("q.txt"));
        f.menu("mnu_Select_FileRead");
        f.menu("mnu_Select_FileWrite");
        const std::string saved = read_bytes(dir.filePath(QStringLiteral("q.txt")));
        QVERIFY(saved.find("KEYWORD000=0,       \x87\x9A\x81\xFF\x85\x40\nx\r\n") != std::string::npos);
        QVERIFY(saved.ends_with("[WRITEPATTERN]\r\n\xED\x40@1\x81\r\n"));
    }

    void runThroughTheWindow() {
        QTemporaryDir dir;
        std::string input;
        for (int i = 1; i <= 250; ++i) input += "ABCDEFGHIJ" + std::to_string(i) + "\r\n";
        write_bytes(dir.filePath("in.txt"), input);
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_WriteFile")->setText(dir.filePath("out.txt"));
        f.edit("txt_len(0)")->setText(QStringLiteral("2"));
        f.edit("txt_len(1)")->setText(QStringLiteral("3"));
        f.list("cmb_type_Write")->setCurrentIndex(4);
        int pauses = 0;
        bool stop_button = true;
        f.w.set_pause_hook([&] {
            ++pauses;
            QPushButton* b = f.find<QPushButton>("cmd_select");
            stop_button = stop_button && b->isEnabled() && b->text() == QStringLiteral("中止");
        });
        f.find<QPushButton>("cmd_select")->click();
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(pauses, 4);  // before opening, and before records 1, 101 and 201
        QVERIFY(stop_button);
        QVERIFY(f.find<QPushButton>("cmd_select")->isEnabled());
        QCOMPARE(f.find<QPushButton>("cmd_select")->text(), QStringLiteral("読込みファイルの行を抽出条件で抽出し、書出す"));
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:250"));
        QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:250"));
        QCOMPARE(f.edit("txt_ichi(0)")->text(), QStringLiteral("1"));
        QCOMPARE(f.edit("txt_ichi(1)")->text(), QStringLiteral("3"));
        QVERIFY(read_bytes(dir.filePath("out.txt")).starts_with("\"AB\"\t\"CDE\"\r\n"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void checksAndMessagesThroughTheWindow() {
        Fixture f;
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(f.messages, QStringList{"読込むファイルを指定してください"});
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:"));
        f.messages.clear();
        f.edit("txt_ReadFile")->setText(QStringLiteral("/nonexistent/in.txt"));
        f.edit("txt_WriteFile")->setText(QStringLiteral("/nonexistent/out.txt"));
        f.list("cmb_type_Write")->setCurrentIndex(2);
        f.find<QPlainTextEdit>("txt_hinagata")->setPlainText(QStringLiteral("\u00E9"));
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(f.messages, QStringList{"Shift-JISで表せない文字があります: 書出しパターン"});
        f.messages.clear();
        f.list("cmb_type_Write")->setCurrentIndex(0);  // the template is not needed then
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(f.messages, QStringList{"読込むファイルを開けません: /nonexistent/in.txt"});
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // Past its checks a run's counts are numbers, 0 included.
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:0"));
        QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:0"));
    }

    // A check that fails shows its message and leaves the counters of the
    // run before as they stood.
    void aFailedCheckLeavesTheCounters() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "a\r\nb\r\nc\r\nd\r\n");
        const std::vector<std::tuple<QString, std::function<void(Fixture&)>>> checks = {
            {"読込むファイルを指定してください", [](Fixture& f) { f.edit("txt_ReadFile")->clear(); }},
            {"抽出結果を書出すファイルを指定してください", [](Fixture& f) { f.edit("txt_WriteFile")->clear(); }},
            {"読込みファイルの種類を選択してください", [](Fixture& f) { f.list("cmb_type")->setCurrentIndex(-1); }},
            {"レコード長には1以上の数を指定してください",
             [](Fixture& f) {
                 f.list("cmb_type")->setCurrentIndex(2);
                 f.edit("txt_RecordLength")->setText(QStringLiteral("0"));
             }},
            {"読込むファイルと書出すファイルが同じです",
             [&dir](Fixture& f) { f.edit("txt_WriteFile")->setText(dir.filePath("in.txt")); }},
            {"Shift-JISで表せない文字があります: キーワード2",
             [](Fixture& f) { f.edit("txt_keyword(1)")->setText(QStringLiteral("\U0001F600")); }},
            {"@1の開始位置が正しくありません", [](Fixture& f) { f.edit("txt_ichi(0)")->setText(QStringLiteral("-1")); }},
            {"@1の長さが正しくありません",
             [](Fixture& f) {
                 f.edit("txt_ichi(0)")->setText(QStringLiteral("1"));
                 f.edit("txt_len(0)")->setText(QStringLiteral("-1"));
             }},
        };
        for (const auto& [message, fail] : checks) {
            Fixture f;
            f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
            f.edit("txt_keyword(0)")->setText(QStringLiteral("b"));
            f.list("cmb_keyword(0)")->setCurrentIndex(1);
            f.find<QPushButton>("cmd_select")->click();
            QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:3"));
            fail(f);
            f.find<QPushButton>("cmd_select")->click();
            QCOMPARE(f.messages, QStringList{message});
            QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:4"));
            QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:3"));
        }
    }

    // A run keeps the settings it started with; the edit is there for the next run.
    void anEditDuringARunIsForTheNextRun() {
        QTemporaryDir dir;
        std::string input;
        for (int i = 1; i <= 150; ++i) input += (i % 2 ? "odd " : "even ") + std::to_string(i) + "\r\n";
        write_bytes(dir.filePath("in.txt"), input);
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_WriteFile")->setText(dir.filePath("out.txt"));
        int pauses = 0;
        f.w.set_pause_hook([&] {
            if (++pauses == 3) f.edit("txt_keyword(0)")->setText(QStringLiteral("even"));  // before record 101
        });
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:150"));
        QCOMPARE(read_bytes(dir.filePath("out.txt")), input);
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:75"));
    }

    // Closing during a run asks first: はい stops with whole lines and quits,
    // いいえ lets the run go on to its end.
    void closingDuringARunAsksFirst() {
        QTemporaryDir dir;
        std::string input;
        for (int i = 1; i <= 1000; ++i) input += "line " + std::to_string(i) + "\r\n";
        write_bytes(dir.filePath("in.txt"), input);
        for (const bool yes : {true, false}) {
            Fixture f;
            f.w.show();
            f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
            QStringList asked;
            f.w.set_question_handler([&](const QString& q) {
                asked << q;
                return yes;
            });
            int pauses = 0;
            f.w.set_pause_hook([&] {
                if (++pauses == 5) f.w.close();  // before record 301
            });
            f.find<QPushButton>("cmd_select")->click();
            QCOMPARE(asked, QStringList{"実行中です。中止して終了しますか?"});
            QCOMPARE(f.w.isVisible(), !yes);
            QVERIFY(!f.w.running());
            const std::string out = read_bytes(dir.filePath("out.txt"));
            QCOMPARE(out, yes ? input.substr(0, out.size()) : input);
            if (yes) QVERIFY(out.ends_with("line 300\r\n"));
            f.w.close();  // no run: no question
            QCOMPARE(asked.size(), 1);
        }
    }

    // Keys: Ctrl+O and Ctrl+S on the pattern entries, Ctrl+Enter runs from
    // any field, Enter runs on the focused run button.
    void keysForThePatternAndTheRun() {
        Fixture f;
        QCOMPARE(f.w.findChild<QAction*>("mnu_Select_FileRead")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(f.w.findChild<QAction*>("mnu_Select_FileWrite")->shortcut(), QKeySequence(QKeySequence::Save));
        QVERIFY(f.show_active());
        f.edit("txt_key(0)")->setFocus();
        QTest::keyClick(f.edit("txt_key(0)"), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(f.messages, QStringList{"読込むファイルを指定してください"});
        f.find<QPushButton>("cmd_select")->setFocus();
        QTest::keyClick(f.find<QPushButton>("cmd_select"), Qt::Key_Return);
        QCOMPARE(f.messages.size(), 2);
        f.answers << std::nullopt;
        QTest::keyClick(&f.w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.shown.size(), 1);
        QCOMPARE(f.shown[0].Filter, QStringLiteral("抽出パターン (*.txt *.ptn)|*.txt;*.ptn|全てのファイル|*.*|"));
    }

    void longTextsAreKeptWhole() {
        Fixture f;
        lintavo::ExtractionSettings s = f.w.read_settings();
        s.keywords[0].txt_keyword = std::string(100000, 'k');
        s.txt_hinagata = std::string(100000, 't');
        f.w.write_settings(s);
        f.edit("txt_keyword(0)")->setText(f.edit("txt_keyword(0)")->text() + "!");  // edited: encoded anew
        const lintavo::ExtractionSettings back = f.w.read_settings();
        QCOMPARE(back.keywords[0].txt_keyword.size(), std::size_t{100001});
        QCOMPARE(back.txt_hinagata, s.txt_hinagata);
    }

    // In the language of the locale the tests run in.
    void versionText() {
        Fixture f;
        f.menu("mnu_Version");
        const bool japanese = QLocale::system().language() == QLocale::Japanese;
        QCOMPARE(f.messages, QStringList{japanese ? QStringLiteral("バージョン 1.00.00") : QStringLiteral("Version 1.00.00")});
    }

    void commandLine() {
        Fixture missing(QStringLiteral("/no/such pattern.txt"));
        QVERIFY(!missing.loaded);
        QCOMPARE(missing.messages, QStringList{"抽出パターンファイルが見つかりません"});

        QTemporaryDir dir;
        Fixture folder(dir.path());
        QVERIFY(!folder.loaded);

        const QString path = dir.filePath(QStringLiteral("my pattern.txt"));
        write_bytes(path, "READFILETYPE=1\r\nWRITEFILETYPE=2\r\nITEM000=     3,      ,00,00,\r\n");
        Fixture f(path);
        QVERIFY(f.loaded);
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(f.find<QLabel>("lbl_ichi")->text(), QStringLiteral("抽出する列"));
        QVERIFY(f.shown_("txt_hinagata"));
        QCOMPARE(f.edit("txt_ichi(0)")->text(), QStringLiteral("3"));
        QVERIFY(f.edit("txt_pattern")->text().isEmpty());
    }

    void nameFilters() {
        QCOMPARE(lintavo::ui::name_filters(QStringLiteral("テキスト ファイル (*.txt*.csv)|*.txt;*.csv|全てのファイル|*.*|")),
                 (QStringList{"テキスト ファイル (*.txt*.csv) (*.txt *.csv)", "全てのファイル (*)"}));
        QVERIFY(lintavo::ui::name_filters(QString()).isEmpty());
    }

    // Full-width digits typed into a number field become half-width; a
    // typed letter is refused; a pattern's text with letters stays editable.
    void numberFieldsTakeHalfWidthDigits() {
        // As the input method hands over what was typed.
        const auto typed = [](QLineEdit* e, const QString& text) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(e, &commit);
        };
        Fixture f;
        for (const char* name : {"txt_ichi(0)", "txt_len(6)", "txt_RecordLength"}) {
            QLineEdit* e = f.edit(name);
            e->clear();
            typed(e, QStringLiteral("１２．５"));
            QCOMPARE(e->text(), QStringLiteral("12.5"));
            typed(e, QStringLiteral("x"));
            typed(e, QStringLiteral("Ａ"));
            QCOMPARE(e->text(), QStringLiteral("12.5"));
            e->setText(QStringLiteral("&H1F"));
            QTest::keyClick(e, Qt::Key_Backspace);
            QCOMPARE(e->text(), QStringLiteral("&H1"));
        }
        f.edit("txt_key(0)")->clear();
        typed(f.edit("txt_key(0)"), QStringLiteral("東京１"));  // other fields stay free
        QCOMPARE(f.edit("txt_key(0)")->text(), QStringLiteral("東京１"));
    }

    // Where a file dialog starts: never in the program's own folder.
    void startingFolder() {
        QTemporaryDir dir;
        const QString here = dir.path();
        const QString last = QDir::tempPath();
        using lintavo::ui::starting_folder;
        QCOMPARE(starting_folder(here + QStringLiteral("/in.csv"), last, "/", "/usr/bin"), here);
        QCOMPARE(starting_folder(QStringLiteral("in.csv"), last, here, "/usr/bin"), here);
        QCOMPARE(starting_folder(here + QStringLiteral("/gone/in.csv"), last, "/", "/usr/bin"), last);
        QCOMPARE(starting_folder(QString(), QString(), here, "/usr/bin"), here);
        QCOMPARE(starting_folder(QString(), here + QStringLiteral("/gone"), here, "/usr/bin"), here);
        QCOMPARE(starting_folder(QString(), QString(), here, here), QDir::homePath());
    }

    void screenshot() {
        Fixture f;
        f.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        const QString file = QStringLiteral(LINTAVO_SCREENSHOT);
        QVERIFY(f.w.grab().save(file));
        qInfo("window screenshot: %s", qPrintable(file));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
