// The texts Qt itself shows (file dialog, message boxes, the text fields'
// context menus) in Japanese, whatever the user's locale: the program's own
// texts are Japanese, and its dialogs read the same.
#pragma once

class QCoreApplication;

namespace lintavo::ui {

// Loads Qt's Japanese translations (Debian's qt6-translations-l10n) into
// the application; false when they are not installed.
bool use_japanese_texts(QCoreApplication& app);

}  // namespace lintavo::ui
