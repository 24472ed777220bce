// Runs a pattern file's extraction through the window (on the offscreen
// platform), to be timed beside the same run through lintavo-batch.
//   window_bench PATTERN
#include <QApplication>
#include <cstdio>

#include "ui/main_window.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_bench PATTERN\n");
        return 2;
    }
    lintavo::ui::frm_main w;
    w.set_message_handler([](const QString& m) { std::fprintf(stderr, "%s\n", qPrintable(m)); });
    if (!w.Form_Load(QString::fromLocal8Bit(argv[1]))) return 1;
    w.show();
    w.cmd_select_Click();
    return 0;
}
