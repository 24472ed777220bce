// Runs a pattern file's extraction through the window (on the offscreen
// platform), to be timed beside the same run through lintavo-batch. Prints
// the seconds that the run through cmd_select took (the window's start-up
// left out) on standard output. With --preview, the seconds of one refresh
// of the preview window instead (its first 1,000 records, table and ruler
// filled), after it has been opened once.
//   window_bench [--preview] PATTERN
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

#include "ui/main/main_window.h"
#include "ui/preview/preview_window.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool preview = argc == 3 && std::strcmp(argv[1], "--preview") == 0;
    if (argc != 2 && !preview) {
        std::fprintf(stderr, "usage: window_bench [--preview] PATTERN\n");
        return 2;
    }
    lintavo::ui::frm_main w;
    w.set_message_handler([](const QString& m) { std::fprintf(stderr, "%s\n", qPrintable(m)); });
    if (!w.Form_Load(QString::fromLocal8Bit(argv[argc - 1]))) return 1;
    w.show();
    QCoreApplication::processEvents();
    if (preview) w.mnu_Preview_Click();
    QElapsedTimer timer;
    timer.start();
    if (preview) {
        w.preview_window()->refresh();
        if (w.preview_window()->rows().rowCount() == 0) std::fprintf(stderr, "%s\n", qPrintable(w.preview_window()->status()));
    } else {
        w.cmd_select_Click();
    }
    std::printf("%.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return 0;
}
