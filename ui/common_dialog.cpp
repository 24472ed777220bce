#include "ui/common_dialog.h"

#include <QFileDialog>

namespace lintavo::ui {

QStringList name_filters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) continue;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out;
}

std::optional<QString> run_file_dialog(QWidget* parent, const CommonDialogState& state) {
    QFileDialog dialog(parent, state.DialogTitle, state.InitDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = name_filters(state.Filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    QString ext = state.DefaultExt;
    if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    if (!state.FileName.isEmpty()) dialog.selectFile(state.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString CommonDialog::ShowOpen() {
    const std::optional<QString> chosen = runner_(state);
    if (!chosen) return QString();
    state.FileName = *chosen;
    return *chosen;
}

}  // namespace lintavo::ui
