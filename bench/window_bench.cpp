// Runs a pattern file's extraction through the window (on the offscreen
// platform), to be timed beside the same run through lintavo-batch. Prints
// the seconds that the run through cmd_select took (the window's start-up
// left out) on standard output.
//   window_bench PATTERN
#include <QApplication>
#include <QElapsedTimer>
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
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    w.cmd_select_Click();
    std::printf("%.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return 0;
}
