// Texts between the window's Unicode controls and the settings' code page
// 932 bytes. A text set from the settings gives back its exact bytes while
// it stands unedited, so bytes that Unicode cannot tell apart (duplicate
// codes, invalid bytes) survive a round trip through the window.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lintavo::ui {

// Code page 932 bytes to the text shown (an invalid byte b shows as U+DC00 + b).
QString from_cp932(std::string_view bytes);
// The shown text to code page 932; false when a character cannot be held.
bool to_cp932(const QString& text, std::string& bytes);

// File names: the settings hold them as the operating system's UTF-8 names.
QString from_path(const std::string& utf8);
std::string to_path(const QString& text);

// Template texts show their CR LF line ends as plain line breaks.
QString lines_for_display(const QString& text);
QString lines_from_display(const QString& text);

// Remembers the bytes last set into one control.
class TextBinding {
public:
    // The text to show for the bytes; remembers both.
    QString set(std::string_view bytes, bool multiline = false);
    // The bytes for the text the control shows now; false when a character
    // cannot be held.
    bool get(const QString& shown, std::string& bytes, bool multiline = false) const;

private:
    QString shown_;
    std::string bytes_;
    bool valid_ = false;
};

}  // namespace lintavo::ui
