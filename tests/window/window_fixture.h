// A started window whose dialogs and message boxes are scripted, for the
// window's Qt Test tests.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "ui/common/common_dialog.h"
#include "ui/main/main_window.h"

using lintavo::ui::CommonDialogState;
using lintavo::ui::frm_main;

namespace window_test {

inline std::string read_bytes(const QString& path) {
    std::ifstream f(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void write_bytes(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// A started window whose dialogs and message boxes are scripted.
struct Fixture {
    frm_main w;
    QStringList messages;
    QList<std::optional<QString>> answers;  // what the dialog returns, in turn
    QList<CommonDialogState> shown;         // the dialog's state at each use

    explicit Fixture(const QString& command_line = QString()) {
        w.set_message_handler([this](const QString& m) { messages << m; });
        w.CommonDialog1().set_runner([this](const CommonDialogState& s) {
            shown << s;
            return answers.isEmpty() ? std::optional<QString>() : answers.takeFirst();
        });
        loaded = w.Form_Load(command_line);
    }
    template <typename T>
    T* find(const QString& name) {
        T* c = w.findChild<T*>(name);
        if (c == nullptr) qFatal("no control %s", qPrintable(name));
        return c;
    }
    QLineEdit* edit(const QString& name) { return find<QLineEdit>(name); }
    QComboBox* list(const QString& name) { return find<QComboBox>(name); }
    bool shown_(const QString& name) { return !find<QWidget>(name)->isHidden(); }
    void menu(const char* name) { find<QAction>(QLatin1String(name))->trigger(); }
    // Shown and active, as a user's window is (keys reach it).
    bool show_active() {
        w.show();
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }
    void set_files(const QString& in, const QString& out) {
        edit(QStringLiteral("txt_ReadFile"))->setText(in);
        edit(QStringLiteral("txt_WriteFile"))->setText(out);
    }
    bool loaded = false;
};

}  // namespace window_test
