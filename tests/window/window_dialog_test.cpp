// The window as a user finds it, on the offscreen platform: the shared file
// dialog (filters, proposed names, no settings of its own, any typed name),
// Qt's texts in Japanese, list entries that fit their lists, and the focus
// after a run and after a message, and the window centred with its frame.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ui/common/app_style.h"
#include "ui/common/japanese_texts.h"
#include "window_fixture.h"

using namespace window_test;
using lintavo::ui::make_file_dialog;

namespace {

// The configuration folder the program is run with (see main).
QTemporaryDir& config_home() {
    static QTemporaryDir dir;
    return dir;
}

QLineEdit* name_edit(QFileDialog& d) { return d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }
QPushButton* open_button(QFileDialog& d) {
    return d.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open);
}

lintavo::ui::CommonDialogState in_folder(const QTemporaryDir& dir) {
    lintavo::ui::CommonDialogState s;
    s.InitDir = dir.path();
    return s;
}

const QString kReadFileFilter = QStringLiteral("テキスト ファイル (*.txt*.csv)|*.txt;*.csv|全てのファイル|*.*|");

}  // namespace

class WindowDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lintavo::ui::use_window_style(); }

    void filterEntriesReadAsGivenAndAllFilesMeansEveryName() {
        QCOMPARE(lintavo::ui::name_filters(kReadFileFilter),
                 (QStringList{"テキスト ファイル (*.txt*.csv) (*.txt *.csv)", "全てのファイル (*)"}));
        QCOMPARE(lintavo::ui::name_filters(QStringLiteral("a|*.*;*.x|")), QStringList{"a (* *.x)"});
        QTemporaryDir dir;
        lintavo::ui::CommonDialogState s;
        s.InitDir = dir.path();
        s.Filter = kReadFileFilter;
        const auto d = make_file_dialog(nullptr, s);
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types != nullptr);
        QCOMPARE(types->itemText(0), QStringLiteral("テキスト ファイル (*.txt*.csv)"));
        QCOMPARE(types->itemText(1), QStringLiteral("全てのファイル"));
        d->selectNameFilter(d->nameFilters().at(1));
        const auto* model = d->findChild<QFileSystemModel*>();
        QVERIFY(model != nullptr);
        QCOMPARE(model->nameFilters(), QStringList{"*"});  // "noext" is listed too
    }

    void aCancelledDialogLeavesNothingForTheNextUse() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("memo.txt"), "");  // a name the dialog can complete
        const lintavo::ui::CommonDialogState s = in_folder(dir);
        {
            const auto d = make_file_dialog(nullptr, s);
            bool cancelled = false;
            connect(d.get(), &QDialog::rejected, this, [&cancelled] { cancelled = true; });
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d.get()));
            QTRY_VERIFY(d->findChild<QFileSystemModel*>()->rowCount(d->findChild<QFileSystemModel*>()->index(dir.path())) > 0);
            name_edit(*d)->setFocus();
            QTest::keyClicks(name_edit(*d), QStringLiteral("memo.txt"));
            // One click on キャンセル, through the window as the mouse gives
            // it, cancels: no list of proposed names stands in its way.
            QPushButton* cancel = d->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Cancel);
            QTest::mouseClick(d->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(d.get(), cancel->rect().center()));
            QTRY_VERIFY(cancelled);
        }
        const auto again = make_file_dialog(nullptr, s);
        QCOMPARE(name_edit(*again)->text(), QString());
        // Through the window: each command proposes the field's text, and a
        // cancelled choice changes nothing.
        Fixture f;
        f.answers << std::optional<QString>() << std::optional<QString>();
        f.menu("mnu_ReadfileOpen");
        f.menu("mnu_ReadfileOpen");
        QCOMPARE(f.shown.size(), 2);
        QCOMPARE(f.shown[1].FileName, QString());
        QVERIFY(f.edit("txt_ReadFile")->text().isEmpty());
    }

    void anAbsoluteNameInAMissingFolderIsProposedAsItIs() {
        QTemporaryDir dir;
        lintavo::ui::CommonDialogState s;
        s.InitDir = dir.path();
        s.FileName = dir.filePath(QStringLiteral("no such folder/x.csv"));
        const auto d = make_file_dialog(nullptr, s);
        QCOMPARE(name_edit(*d)->text(), s.FileName);
        QCOMPARE(d->selectedFiles().value(0), s.FileName);
        s.FileName = dir.filePath(QStringLiteral("here.csv"));  // an existing folder: the dialog opens in it
        const auto e = make_file_dialog(nullptr, s);
        QCOMPARE(e->selectedFiles().value(0), s.FileName);
    }

    void theDialogKeepsNoSettingsFile() {
        QTemporaryDir dir;
        const lintavo::ui::CommonDialogState s = in_folder(dir);
        {
            const auto d = make_file_dialog(nullptr, s);
            d->show();
            d->setDirectory(QDir::tempPath());
            d->reject();
        }
        QDir config(config_home().path());
        QVERIFY2(config.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty(),
                 qPrintable(config.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ')));
    }

    void anyTypedNameCanBeOpened() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("list.csv"), "a\r\n");
        lintavo::ui::CommonDialogState s;
        s.InitDir = dir.path();
        s.Filter = kReadFileFilter;
        const auto d = make_file_dialog(nullptr, s);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        for (const QString& typed : {QStringLiteral("LIST.CSV"), QStringLiteral("list.csv"), QStringLiteral("new name.txt")}) {
            name_edit(*d)->clear();
            QTest::keyClicks(name_edit(*d), typed);
            QTest::qWait(20);
            QVERIFY2(open_button(*d)->isEnabled(), qPrintable(typed));
        }
    }

    // Enter accepts exactly what the name field holds, as 開く does: never a
    // file of the list the field's text did not name.
    void enterTakesTheNameFieldsText() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("list.csv"), "a\r\n");
        write_bytes(dir.filePath("memo.txt"), "");
        const struct {
            QString proposed, typed, chosen;
        } cases[] = {
            {dir.filePath("no such folder/x.csv"), QString(), dir.filePath("no such folder/x.csv")},
            {QString(), QStringLiteral("memo.txt"), dir.filePath("memo.txt")},
            {QString(), QStringLiteral("new.csv"), dir.filePath("new.csv")},
            {QString(), QStringLiteral("me"), dir.filePath("memo.txt")},  // completed in place
            {dir.filePath("list.csv"), QString(), dir.filePath("list.csv")},
        };
        for (const auto& c : cases) {
            lintavo::ui::CommonDialogState s = in_folder(dir);
            s.Filter = kReadFileFilter;
            s.FileName = c.proposed;
            const auto d = make_file_dialog(nullptr, s);
            bool accepted = false;
            connect(d.get(), &QDialog::accepted, this, [&accepted] { accepted = true; });
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d.get()));
            auto* model = d->findChild<QFileSystemModel*>();
            QTRY_VERIFY(model->rowCount(model->index(dir.path())) == 2);
            if (!c.typed.isEmpty()) {
                name_edit(*d)->setFocus();
                QTest::keyClicks(name_edit(*d), c.typed);
            }
            QTest::qWait(50);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY2(accepted, qPrintable(c.typed));
            QCOMPARE(lintavo::ui::chosen_file(*d), c.chosen);
        }
    }

    void qtsOwnTextsAreJapanese() {
        lintavo::ui::CommonDialogState s;
        const auto d = make_file_dialog(nullptr, s);
        const QString label = d->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
        QVERIFY2(label != QStringLiteral("File &name:") && !label.isEmpty(), qPrintable(label));
        QVERIFY2(!open_button(*d)->text().contains(QStringLiteral("Open")), qPrintable(open_button(*d)->text()));
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QVERIFY(!menu->actions().isEmpty());
        QVERIFY2(!menu->actions().first()->text().contains(QStringLiteral("Undo")), qPrintable(menu->actions().first()->text()));
    }

    // Whole in the closed list where a readable font allows it; else whole
    // in the open list, which opens wider than the closed one.
    void everyListEntryFitsItsClosedList() {
        Fixture f;
        const auto lists = f.w.findChildren<QComboBox*>();
        QVERIFY(lists.size() >= 2 + 4 + 14);
        for (QComboBox* c : lists) {
            const int room = lintavo::ui::list_text_room(c);
            for (int i = 0; i < c->count(); ++i) {
                const int need = c->fontMetrics().horizontalAdvance(c->itemText(i));
                const bool shortened = c->view()->minimumWidth() > c->view()->fontMetrics().horizontalAdvance(c->itemText(i));
                QVERIFY2(need <= room || shortened, qPrintable(c->objectName() + ": " + c->itemText(i)));
            }
            QVERIFY(c->font().pointSizeF() >= lintavo::ui::kLeastListPoints);  // still readable
        }
    }

    void theFocusStaysAfterARunAndComesBackAfterAMessage() {
        QTemporaryDir dir;
        write_bytes(dir.filePath("in.txt"), "a\r\nb\r\n");
        Fixture f;
        QVERIFY(f.show_active());
        f.set_files(dir.filePath("in.txt"), dir.filePath("out.txt"));
        auto* run = f.find<QPushButton>("cmd_select");
        run->setFocus();
        QTest::keyClick(run, Qt::Key_Space);
        QCOMPARE(f.find<QLabel>("lbl_ReadCount")->text(), QStringLiteral("読込件数:2"));
        QCOMPARE(QApplication::focusWidget(), run);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // Space runs once more
        QVERIFY(f.edit("txt_keyword(0)")->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), run);

        f.edit("txt_key(2)")->setFocus();
        f.w.set_message_handler(nullptr);  // a real message box, closed as a user would
        QTimer::singleShot(50, [] {
            if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
        });
        f.menu("mnu_Version");
        QTRY_COMPARE(QApplication::focusWidget(), f.edit("txt_key(2)"));
    }

    // The offscreen platform puts a frame of its own round a shown window,
    // as a window manager does: the outer frame is what is centred.
    void theOuterFrameIsCentredOnTheScreen() {
        Fixture f;
        QVERIFY(f.show_active());
        QVERIFY(f.w.frameGeometry().size() != f.w.size());  // the frame is known
        const QPoint centre = f.w.screen()->geometry().center();
        // Up and down, where a title bar counts (the offscreen screen is
        // narrower than the window).
        QTRY_VERIFY(qAbs(f.w.frameGeometry().center().y() - centre.y()) <= 1);
    }
};

int main(int argc, char** argv) {
    // A configuration folder of the test's own, to see that nothing is
    // written there; Qt's Japanese texts as the program loads them.
    qputenv("XDG_CONFIG_HOME", config_home().path().toLocal8Bit());
    QApplication app(argc, argv);
    if (!lintavo::ui::use_japanese_texts(app)) qWarning("Qt's Japanese translations are not installed");
    WindowDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_dialog_test.moc"
