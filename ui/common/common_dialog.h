// CommonDialog1: the one file dialog that every file command shares. It
// keeps its folder, file name, filter, default extension, flags and title
// from one use to the next; only showing it is left to a runner, which the
// tests replace with a script.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace lintavo::ui {

struct CommonDialogState {
    QString InitDir;
    QString FileName;
    QString Filter;  // "description|pattern|description|pattern|..."
    QString DefaultExt;
    int Flags = 0;
    QString DialogTitle = QStringLiteral("ファイル指定");
};

inline constexpr int kHideReadOnly = 4;

// The dialog's name filters for a "description|pattern|..." text: each
// entry is its description with its patterns ("a;b" becomes "a b"); "*.*"
// stands for every name, those without a dot included. The dialog shows the
// descriptions alone.
QStringList name_filters(const QString& filter);

// Shows the dialog for the state; the chosen name, or nothing when cancelled.
using DialogRunner = std::function<std::optional<QString>(const CommonDialogState&)>;

// Qt's own widget-based file dialog, set up for the state: it accepts any
// typed name (also of files that do not exist yet), proposes the state's
// name as it stands and keeps no settings of its own.
std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const CommonDialogState& state);

// Shows that dialog; the chosen name, or nothing when cancelled.
std::optional<QString> run_file_dialog(QWidget* parent, const CommonDialogState& state);

class CommonDialog {
public:
    explicit CommonDialog(DialogRunner runner) : runner_(std::move(runner)) {}
    void set_runner(DialogRunner runner) { runner_ = std::move(runner); }

    // Shows the dialog as a file-open dialog; returns the chosen name, the
    // empty name when cancelled. The chosen name is kept for the next use.
    QString ShowOpen();

    CommonDialogState state;

private:
    DialogRunner runner_;
};

}  // namespace lintavo::ui
