#include "ui/common/japanese_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lintavo::ui {

bool use_japanese_texts(QCoreApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* qt = new QTranslator(&app);
    // Qt's own folder on Linux; beside the program where it brings Qt along (Windows).
    if (!qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        !qt->load(QStringLiteral("qtbase_ja"), QCoreApplication::applicationDirPath() + QStringLiteral("/translations"))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

}  // namespace lintavo::ui
