#include "ui/common/common_dialog.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace lintavo::ui {

QStringList name_filters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) continue;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            if (p == QStringLiteral("*.*")) p = QStringLiteral("*");  // every name, as "all files" means
        }
        out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

namespace {

// The dialog would keep its history and last folders in a settings file of
// its own (QtProject.conf) under the user's configuration folder; the
// program keeps nothing but the files the user names, so its settings go
// to a place where no file can be made.
void keep_no_dialog_settings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null/lintavo"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null/lintavo"));
}

#ifdef Q_OS_WIN
// On Windows the dialog writes that history to the registry
// (HKEY_CURRENT_USER\Software\QtProject), which no settings path turns
// away. A child of the dialog, destroyed after the dialog has written,
// puts the key back as it was before the dialog was made: gone when it was
// not there, another Qt program's values when it held some.
class RegistryPutBack : public QObject {
public:
    explicit RegistryPutBack(QObject* dialog) : QObject(dialog) {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("QtProject"));
        s.beginGroup(QStringLiteral("FileDialog"));
        for (const QString& key : s.allKeys()) before_.insert(key, s.value(key));
    }
    ~RegistryPutBack() override {
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("QtProject"));
            s.beginGroup(QStringLiteral("FileDialog"));
            s.remove(QString());
            for (auto it = before_.cbegin(); it != before_.cend(); ++it) s.setValue(it.key(), it.value());
        }
        const QSettings qt_project(QStringLiteral("HKEY_CURRENT_USER\\Software\\QtProject"), QSettings::NativeFormat);
        if (qt_project.allKeys().isEmpty()) {
            QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software"), QSettings::NativeFormat).remove(QStringLiteral("QtProject"));
        }
    }

private:
    QMap<QString, QVariant> before_;
};
#endif

// Any typed name is taken: the dialog's own check of the name (which
// disables its open button for some names, such as one that exists in
// another case beside it) is overruled while the name is not empty.
void accept_any_typed_name(QFileDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (edit == nullptr || buttons == nullptr) return;
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    if (open == nullptr) return;
    const auto update = [edit, open] {
        if (!edit->text().isEmpty()) open->setEnabled(true);
    };
    // After the dialog's own update of the button, which it makes on the same change.
    QObject::connect(edit, &QLineEdit::textChanged, open, [open, update] { QTimer::singleShot(0, open, update); });
    QObject::connect(dialog, &QFileDialog::currentChanged, open, [open, update] { QTimer::singleShot(0, open, update); });
}

// The name field completes a typed name in place, without the list of
// proposed names that would open under it: that list, while it stands,
// takes the next click anywhere for itself, so a click on キャンセル (or
// 開く) only closed the list and left the dialog open with the name typed,
// as if a cancelled dialog had come back with it.
void complete_names_in_place(QFileDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit != nullptr && edit->completer() != nullptr) edit->completer()->setCompletionMode(QCompleter::InlineCompletion);
}

// The name a dialog was accepted with by Enter in its name field.
constexpr char kNameAtEnter[] = "lintavo_name_at_enter";

// Enter in the name field accepts the dialog with exactly the text the
// field shows, as 開く does. Left to the field, Enter let the completer
// put a name of the folder's list (its first file) in place of a typed
// name that matched none, such as a name in a folder that does not exist,
// and the dialog came back with that file. A name of an existing folder is
// left to the dialog, which opens the folder.
class EnterTakesTheName : public QObject {
public:
    EnterTakesTheName(QFileDialog* dialog, QLineEdit* edit) : QObject(edit), dialog_(dialog), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        const QString text = edit_->text();
        if (text.isEmpty() || QFileInfo(dialog_->directory().absoluteFilePath(text)).isDir()) return false;
        dialog_->setProperty(kNameAtEnter, text);
        static_cast<QDialog*>(dialog_)->done(QDialog::Accepted);  // what 開く ends with for a file
        return true;
    }

private:
    QFileDialog* dialog_;
    QLineEdit* edit_;
};

void enter_takes_the_name(QFileDialog* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit != nullptr) edit->installEventFilter(new EnterTakesTheName(dialog, edit));
}

}  // namespace

std::unique_ptr<QFileDialog> make_file_dialog(QWidget* parent, const CommonDialogState& state) {
    keep_no_dialog_settings();
    auto dialog = std::make_unique<QFileDialog>(parent, state.DialogTitle, state.InitDir);
#ifdef Q_OS_WIN
    new RegistryPutBack(dialog.get());
#endif
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);  // the entries read as the commands give them
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    const QStringList filters = name_filters(state.Filter);
    if (!filters.isEmpty()) dialog->setNameFilters(filters);
    QString ext = state.DefaultExt;
    if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    dialog->setDefaultSuffix(ext);
    if (!state.FileName.isEmpty()) {
        dialog->selectFile(state.FileName);
        // A name in a folder that does not exist is proposed as it stands
        // (the dialog would make an absolute one relative to its folder).
        const QFileInfo proposed(state.FileName);
        if (proposed.isAbsolute() && !proposed.absoluteDir().exists()) {
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(state.FileName);
        }
    }
    accept_any_typed_name(dialog.get());
    complete_names_in_place(dialog.get());
    enter_takes_the_name(dialog.get());
    return dialog;
}

// The name field's text (as it stood at Enter), taken from the folder the
// dialog shows: the list's own selection may name another file. A name
// without an extension that names no file gets the default one, as the
// dialog would give it.
QString chosen_file(const QFileDialog& dialog) {
    const auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QVariant at_enter = dialog.property(kNameAtEnter);
    const QString typed = at_enter.isValid() ? at_enter.toString() : edit != nullptr ? edit->text() : QString();
    if (typed.isEmpty()) return dialog.selectedFiles().value(0);
    QString path = dialog.directory().absoluteFilePath(typed);
    const QFileInfo info(path);
    if (!dialog.defaultSuffix().isEmpty() && info.suffix().isEmpty() && !info.exists()) path += QLatin1Char('.') + dialog.defaultSuffix();
    return path;
}

std::optional<QString> run_file_dialog(QWidget* parent, const CommonDialogState& state) {
    const std::unique_ptr<QFileDialog> dialog = make_file_dialog(parent, state);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QString chosen = chosen_file(*dialog);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

QString starting_folder(const QString& field_path, const QString& last_folder, const QString& current_folder,
                        const QString& program_folder) {
    if (!field_path.isEmpty()) {
        const QFileInfo field(QDir(current_folder), field_path);
        if (field.absoluteDir().exists()) return field.absolutePath();
    }
    if (!last_folder.isEmpty() && QDir(last_folder).exists()) return last_folder;
    const auto same = [](const QString& a, const QString& b) { return QDir(a).canonicalPath() == QDir(b).canonicalPath(); };
    if (current_folder.isEmpty() || same(current_folder, program_folder)) return QDir::homePath();
    return current_folder;
}

void CommonDialog::start_in_folder_of(const QString& field_path) {
    state.InitDir = starting_folder(field_path, last_folder_, QDir::currentPath(), QCoreApplication::applicationDirPath());
}

QString CommonDialog::ShowOpen() {
    const std::optional<QString> chosen = runner_(state);
    if (!chosen) return QString();
    state.FileName = *chosen;
    last_folder_ = QFileInfo(QDir(state.InitDir), *chosen).absolutePath();
    return *chosen;
}

}  // namespace lintavo::ui
