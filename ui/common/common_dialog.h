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

// The name an accepted dialog was accepted with.
QString chosen_file(const QFileDialog& dialog);

// The folder a file dialog starts in: the folder of the path in the field it
// fills, when that folder exists; else the folder the last dialog ended in;
// else the current folder, unless that is the program's own folder (a
// program started from a menu may run there), then the user's home.
QString starting_folder(const QString& field_path, const QString& last_folder, const QString& current_folder,
                        const QString& program_folder);

class CommonDialog {
public:
    explicit CommonDialog(DialogRunner runner) : runner_(std::move(runner)) {}
    void set_runner(DialogRunner runner) { runner_ = std::move(runner); }

    // Shows the dialog as a file-open dialog; returns the chosen name, the
    // empty name when cancelled. The chosen name is kept for the next use,
    // and its folder as the one the dialog ended in.
    QString ShowOpen();

    // Sets the state's folder for a dialog that fills a field holding `field_path`.
    void start_in_folder_of(const QString& field_path);

    CommonDialogState state;

private:
    DialogRunner runner_;
    QString last_folder_;  // where the last dialog of this program start ended
};

}  // namespace lintavo::ui
