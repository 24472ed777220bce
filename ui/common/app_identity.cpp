#include "ui/common/app_identity.h"

#include <QGuiApplication>

#include "engine/version.h"

namespace lintavo::ui {

void set_app_identity() {
    QGuiApplication::setApplicationName(QStringLiteral("Lintavo"));
    QGuiApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    QGuiApplication::setDesktopFileName(kAppId);
}

QIcon program_icon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/lintavo-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace lintavo::ui
