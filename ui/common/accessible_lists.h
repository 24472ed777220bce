// Drop-down lists named for a screen reader. Qt on Linux reads a list's
// chosen entry as its name and leaves the name to a label beside it; the
// window's lists have no such label, so each would be read as its entry
// alone ("Shift-JIS", "を含む"). A list given an accessible name is read by
// that name, with its chosen entry as its value, its description and its
// text (Qt's AT-SPI bridge passes on no value of a list).
#pragma once

class QComboBox;
class QString;

namespace lintavo::ui {

// Installs, once per program, the accessibility of named lists.
void use_named_lists();

// Names a list for a screen reader, which then reads its name and, as its
// description and its text, the chosen entry, following every change.
void name_list(QComboBox* list, const QString& name);

}  // namespace lintavo::ui
