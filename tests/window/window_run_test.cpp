// The window during long runs, on the offscreen platform: the counters'
// room, the progress, stopping with "中止" or Esc, and files dropped onto
// the window.
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QtTest>

#include "ui/common/app_style.h"
#include "ui/main/layout.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

std::string numbered_lines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += "line " + std::to_string(i) + "\r\n";
    return s;
}

// A drag of local files, as a file manager makes it.
std::unique_ptr<QMimeData> files_mime(const QStringList& paths) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    return mime;
}

// Whether the widget takes the drag as it enters; then, when asked, the drop.
bool drag_and_drop(QWidget* target, const QStringList& paths, bool drop = true) {
    const auto mime = files_mime(paths);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    if (drop) {
        QDropEvent dropped(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    }
    return true;
}

}  // namespace

class WindowRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lintavo::ui::use_window_style(); }

    void countersShowTenDigitsAndNothingElseMoves() {
        Fixture f;
        for (const char* name : {"lbl_ReadCount", "lbl_WriteCount"}) {
            auto* l = f.find<QLabel>(QLatin1String(name));
            for (const QString& words : {QStringLiteral("読込件数:"), QStringLiteral("書出件数:")}) {
                const QString caption = words + QStringLiteral("9999999999");
                QVERIFY2(l->fontMetrics().horizontalAdvance(caption) <= l->contentsRect().width(), name);
            }
            QCOMPARE(l->pos(), lintavo::ui::placement_of(QLatin1String(name)).topLeft());
            QVERIFY(l->geometry().right() < l->parentWidget()->width());
        }
        // Every other control stands exactly where the layout puts it.
        std::size_t count = 0;
        const lintavo::ui::Placement* p = lintavo::ui::placements(count);
        for (std::size_t k = 0; k < count; ++k) {
            if (p[k].name == QStringLiteral("lbl_ReadCount") || p[k].name == QStringLiteral("lbl_WriteCount")) continue;
            if (p[k].name.startsWith(QStringLiteral("lbl")) || p[k].name.startsWith(QStringLiteral("Label"))) continue;  // captions fit their texts
            QCOMPARE(f.find<QWidget>(p[k].name)->geometry(), lintavo::ui::placement_of(p[k].name));
        }
    }

    void progressShownDuringARunOnly() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), numbered_lines(500));
        Fixture f;
        f.w.show();
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_WriteFile")->setText(dir.filePath("out.txt"));
        auto* bar = f.find<QProgressBar>("prg_Progress");
        auto* text = f.find<QLabel>("lbl_Progress");
        QVERIFY(!bar->isVisible() && !text->isVisible());
        int pauses = 0;
        QStringList seen;
        bool shown = true, titled = true;
        f.w.set_pause_hook([&] {
            ++pauses;
            shown = shown && bar->isVisible() && text->isVisible();
            titled = titled && f.w.windowTitle() == QStringLiteral("Lintavo");
            seen << text->text();
            if (pauses == 2) QThread::msleep(300);  // the progress is redrawn a few times a second
        });
        f.find<QPushButton>("cmd_select")->click();
        QVERIFY(shown);
        QVERIFY(titled);
        QVERIFY2(seen.last().contains(QStringLiteral("%  ")), qPrintable(seen.join('|')));
        QVERIFY(seen.last().contains(QStringLiteral("経過 0:00")));
        QVERIFY(!bar->isVisible() && !text->isVisible());
        QVERIFY(f.messages.isEmpty());
    }

    void stopWithTheButtonOrEsc_data() {
        QTest::addColumn<bool>("esc");
        QTest::newRow("中止") << false;
        QTest::newRow("Esc") << true;
    }

    void stopWithTheButtonOrEsc() {
        QFETCH(bool, esc);
        QTemporaryDir dir;
        const std::string input = numbered_lines(1000);
        write_bytes(dir.filePath("in.txt"), input);
        Fixture f;
        QVERIFY(f.show_active());
        f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
        f.edit("txt_len(0)")->setText(QStringLiteral("4"));
        auto* button = f.find<QPushButton>("cmd_select");
        const QString caption = button->text();
        int pauses = 0;
        f.w.set_pause_hook([&] {
            if (++pauses != 3) return;  // before record 101
            QVERIFY(button->isEnabled());
            QCOMPARE(button->text(), QStringLiteral("中止"));
            if (esc) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else button->click();
        });
        button->click();
        QCOMPARE(pauses, 3);
        QVERIFY(!f.w.running());
        QVERIFY(f.messages.isEmpty());
        QCOMPARE(read_bytes(dir.filePath("out.txt")), input.substr(0, input.find("line 101\r\n")));
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:100"));
        QCOMPARE(f.find<QLabel>("lbl_WriteCount")->text(), QStringLiteral("書出件数:100"));
        QCOMPARE(f.edit("txt_ichi(0)")->text(), QStringLiteral("1"));  // filled in as by any run
        QCOMPARE(button->text(), caption);
        QVERIFY(button->isEnabled());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // Esc without a run does nothing; the next run runs to the end.
        QTest::keyClick(&f.w, Qt::Key_Escape);
        f.w.set_pause_hook(nullptr);
        button->click();
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:1000"));
    }

    void aFailedRunShowsItsMessageAfterTheRunState() {
        Fixture f;
        QStringList captions;
        bool progress_hidden = true;
        f.w.set_message_handler([&](const QString&) {
            captions << f.find<QPushButton>("cmd_select")->text();
            progress_hidden = progress_hidden && f.find<QProgressBar>("prg_Progress")->isHidden();
        });
        const QString caption = f.find<QPushButton>("cmd_select")->text();
        f.find<QPushButton>("cmd_select")->click();  // no file to read: a check fails
        f.edit("txt_ReadFile")->setText(QStringLiteral("/nonexistent/in.txt"));
        f.edit("txt_WriteFile")->setText(QStringLiteral("/nonexistent/out.txt"));
        f.find<QPushButton>("cmd_select")->click();  // the input cannot be opened
        QCOMPARE(captions, (QStringList{caption, caption}));
        QVERIFY(progress_hidden);
    }

    void dropOntoTheFileFields_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::newRow("list.csv") << "list.csv" << 1;
        QTest::newRow("MEMO.TXT") << "MEMO.TXT" << 0;
        QTest::newRow("data.dat") << "data.dat" << 2;  // the type stays as it was
    }

    void dropOntoTheFileFields() {
        QFETCH(QString, name);
        QFETCH(int, type);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        write_bytes(path, "READFILE=x\r\n");  // a pattern's first line: onto a field it is still a data file
        Fixture f;
        f.list("cmb_type")->setCurrentIndex(2);
        f.find<QPlainTextEdit>("txt_hinagata")->setPlainText(QStringLiteral("@1"));
        QVERIFY(drag_and_drop(f.edit("txt_ReadFile"), {path, dir.filePath("other.csv")}));
        QCOMPARE(f.edit("txt_ReadFile")->text(), path);
        QCOMPARE(f.list("cmb_type")->currentIndex(), type);
        QVERIFY(drag_and_drop(f.edit("txt_WriteFile"), {path}));
        QCOMPARE(f.edit("txt_WriteFile")->text(), path);
        QCOMPARE(f.edit("txt_ReadFile")->text(), path);
        QCOMPARE(f.find<QPlainTextEdit>("txt_hinagata")->toPlainText(), QStringLiteral("@1"));
        QVERIFY(f.edit("txt_pattern")->text().isEmpty());
    }

    void theReadFilesEncodingIsSniffed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("a byte order mark") << QByteArray("\xEF\xBB\xBF" "a,b\r\n") << 0 << 1;
        QTest::newRow("UTF-8 text") << QByteArray("\xE6\x9D\xB1\r\n") << 0 << 1;
        QTest::newRow("Shift-JIS text") << QByteArray("\x93\x8C\r\n") << 1 << 0;
        QTest::newRow("EUC-JP text") << QByteArray("\xC5\xEC\r\n") << 0 << 2;
        QTest::newRow("a UTF-16 mark") << QByteArray("\xFE\xFF\0a") << 0 << 3;
        QTest::newRow("UTF-16LE's CR LF") << QByteArray("a\0\r\0\n\0", 6) << 1 << 3;
        QTest::newRow("ASCII keeps the choice") << QByteArray("a,b\r\n") << 1 << 1;
        QTest::newRow("an empty file keeps it") << QByteArray() << 1 << 1;
    }
    void theReadFilesEncodingIsSniffed() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, before);
        QFETCH(int, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in.csv"));
        write_bytes(path, bytes.toStdString());
        Fixture f;
        // Chosen in the dialog: the ending gives the type, the bytes the encoding.
        f.list("cmb_code")->setCurrentIndex(before);
        f.answers << path;
        f.find<QPushButton>("cmd_ReadFileOpen")->click();
        QCOMPARE(f.list("cmb_type")->currentIndex(), 1);
        QCOMPARE(f.list("cmb_code")->currentIndex(), after);
        // Dropped onto the field and onto the window's background.
        for (QWidget* target : {static_cast<QWidget*>(f.edit("txt_ReadFile")), f.w.centralWidget()}) {
            f.list("cmb_code")->setCurrentIndex(before);
            QVERIFY(drag_and_drop(target, {path}));
            QCOMPARE(f.list("cmb_code")->currentIndex(), after);
        }
        // Only the read file is sniffed.
        f.list("cmb_code")->setCurrentIndex(before);
        QVERIFY(drag_and_drop(f.edit("txt_WriteFile"), {path}));
        QCOMPARE(f.list("cmb_code")->currentIndex(), before);
    }

    void aConvertedRunReportsItsReplacements() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "\xEF\xBB\xBF" "a\r\n\xF0\x9F\x98\x80\xE6\x9D\xB1\r\n");
        Fixture f;
        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_WriteFile")->setText(dir.filePath("out.txt"));
        f.list("cmb_code")->setCurrentIndex(1);
        f.list("cmb_code_Write")->setCurrentIndex(1);
        // The counts stand behind the message box.
        f.w.set_message_handler([&f](const QString& m) { f.messages << m << f.find<QLabel>("lbl_WriteCount")->text(); });
        f.find<QPushButton>("cmd_select")->click();
        QCOMPARE(read_bytes(dir.filePath("out.txt")), std::string("a\r\n\x81\xAC\x93\x8C\r\n"));
        QCOMPARE(f.messages, (QStringList{"書出しの文字コードで表せない文字を置き換えました: 1文字(最初は2件目)", "書出件数:2"}));
    }

    void dropOntoTheWindowTakesAFileForWhatItIs() {
        QTemporaryDir dir;
        const QString ptn = dir.filePath("job.ptn");
        write_bytes(ptn, "readfiletype=1\r\nWRITEFILE=out.txt\r\n[WRITEPATTERN]\r\n");
        const QString data = dir.filePath("data.txt");
        write_bytes(data, "READFILE =not a key\r\nline 2\r\n");
        Fixture f;
        auto* hinagata = f.find<QPlainTextEdit>("txt_hinagata");
        hinagata->setPlainText(QStringLiteral("kept"));
        // A data file dropped on the background or a keyword field: the file to read.
        QVERIFY(drag_and_drop(f.find<QWidget>("Frame6"), {data}));
        QCOMPARE(f.edit("txt_ReadFile")->text(), data);
        QCOMPARE(f.list("cmb_type")->currentIndex(), 0);
        QCOMPARE(hinagata->toPlainText(), QStringLiteral("kept"));
        QVERIFY(f.edit("txt_pattern")->text().isEmpty());
        QVERIFY(drag_and_drop(f.edit("txt_keyword(0)"), {data}));
        QVERIFY(f.edit("txt_keyword(0)")->text().isEmpty());
        // A TAB-separated file by its ending.
        const QString tsv = dir.filePath("excel.TSV");
        write_bytes(tsv, "a\tb\r\n");
        QVERIFY(drag_and_drop(f.find<QWidget>("Frame6"), {tsv}));
        QCOMPARE(f.list("cmb_type")->currentIndex(), 3);
        // A pattern: loaded as the load command does.
        QVERIFY(drag_and_drop(f.edit("txt_key(3)"), {ptn}));
        QCOMPARE(f.edit("txt_pattern")->text(), ptn);
        QCOMPARE(f.list("cmb_type")->currentIndex(), 1);
        QCOMPARE(f.edit("txt_WriteFile")->text(), QStringLiteral("out.txt"));
        QVERIFY(hinagata->toPlainText().isEmpty());
        QVERIFY(f.messages.isEmpty());
        // A pattern that cannot be read gives the load's message.
        const QString unreadable = dir.filePath("gone.ptn");
        write_bytes(unreadable, "ITEM000=     1\r\n");
        QVERIFY(QFile::setPermissions(unreadable, QFileDevice::WriteOwner));
        if (!QFileInfo(unreadable).isReadable()) {
            QVERIFY(drag_and_drop(f.find<QWidget>("Frame4"), {unreadable}));
            QCOMPARE(f.edit("txt_ReadFile")->text(), unreadable);  // its first line cannot be read: a data file
        }
    }

    void foldersAndDropsDuringARunAreRefused() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), numbered_lines(300));
        Fixture f;
        f.edit("txt_ReadFile")->setText(QStringLiteral("before"));
        QVERIFY(!drag_and_drop(f.edit("txt_ReadFile"), {dir.path()}));
        QVERIFY(!drag_and_drop(f.find<QWidget>("Frame2"), {dir.path()}));
        QCOMPARE(f.edit("txt_ReadFile")->text(), QStringLiteral("before"));

        f.edit("txt_ReadFile")->setText(dir.filePath("in.txt"));
        f.edit("txt_WriteFile")->setText(dir.filePath("out.txt"));
        bool refused = true;
        f.w.set_pause_hook([&] {
            refused = refused && !drag_and_drop(f.edit("txt_WriteFile"), {dir.filePath("x.csv")});
            refused = refused && !drag_and_drop(f.find<QWidget>("Frame6"), {dir.filePath("in.txt")});
        });
        f.find<QPushButton>("cmd_select")->click();
        QVERIFY(refused);
        QCOMPARE(f.edit("txt_WriteFile")->text(), dir.filePath("out.txt"));
        // After the run drops are taken again.
        f.w.set_pause_hook(nullptr);
        QVERIFY(drag_and_drop(f.edit("txt_WriteFile"), {dir.filePath("x.csv")}));
    }
};

QTEST_MAIN(WindowRunTest)
#include "window_run_test.moc"
