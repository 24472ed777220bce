// Who the program is to the desktop: its name, version, desktop entry and
// icon (the same picture as the installed menu icon).
#pragma once

#include <QIcon>
#include <QString>

namespace lintavo::ui {

// The desktop entry's id (without ".desktop"), also the icon's name.
inline const QString kAppId = QStringLiteral("io.github.lintavo.Lintavo");

// Sets the application's name, version and desktop file name, so that
// desktops (Wayland included) show the menu entry's name and icon.
void set_app_identity();

// The program's icon in every size it is drawn in.
QIcon program_icon();

}  // namespace lintavo::ui
