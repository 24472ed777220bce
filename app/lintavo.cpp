// lintavo: the window. The command line, its words joined with single
// blanks, names a pattern file to load at start.
#include <QApplication>
#include <QStringList>

#include "engine/io/standard_streams.h"
#include "engine/io/stop_signals.h"
#include "ui/common/app_identity.h"
#include "ui/common/app_style.h"
#include "ui/common/japanese_texts.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
    lintavo::open_missing_standard_streams();
    // A signal during a run stops it before the program ends; during a
    // save it removes the save's temporary file.
    lintavo::stop_signals::install();
    QApplication app(argc, argv);
    lintavo::ui::set_app_identity();
    lintavo::ui::use_window_style();
    lintavo::ui::use_japanese_texts(app);
    QStringList words = QCoreApplication::arguments();
    words.removeFirst();
    lintavo::ui::frm_main window;
    if (!window.Form_Load(words.join(QLatin1Char(' ')))) return 1;
    window.show();
    return QApplication::exec();
}
