// Files dropped onto the window: onto txt_ReadFile the file to read, onto
// txt_WriteFile the file to write, anywhere else a pattern file when its
// first line carries a key of one, else the file to read.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "pattern/pattern_file.h"
#include "ui/main/main_window.h"
#include "ui/common/text_binding.h"

namespace lintavo::ui {

void frm_main::accept_drops_on_controls() {
    setAcceptDrops(true);
    // Every control that takes drops of its own (the text fields take
    // dropped text) sees a dropped file here first.
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
}

QString frm_main::dropped_file(const QMimeData* data) const {
    if (running_ || data == nullptr || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();  // of several files, the first
    if (path.isEmpty() || QFileInfo(path).isDir()) return {};
    return path;
}

void frm_main::take_dropped_file(QWidget* target, const QString& path) {
    if (target == txt_WriteFile) {
        txt_WriteFile->setText(path);
    } else if (target != txt_ReadFile && pattern::starts_like_a_pattern(to_path(path))) {
        load_pattern_file(path);
    } else {
        choose_read_file(path);  // a data file dropped anywhere never empties the template
    }
}

void frm_main::dragEnterEvent(QDragEnterEvent* event) {
    if (dropped_file(event->mimeData()).isEmpty()) event->ignore();
    else event->acceptProposedAction();
}

void frm_main::dragMoveEvent(QDragMoveEvent* event) {
    if (dropped_file(event->mimeData()).isEmpty()) event->ignore();
    else event->acceptProposedAction();
}

void frm_main::dropEvent(QDropEvent* event) {
    const QString path = dropped_file(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    take_dropped_file(nullptr, path);
}

bool frm_main::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);  // QDragEnterEvent and QDragMoveEvent are drop events too
    const QMimeData* data = drop->mimeData();
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile()) {
        return false;  // dropped text or a link: the control's own
    }
    const QString path = dropped_file(data);
    if (path.isEmpty()) {
        drop->ignore();  // the pointer shows that nothing is taken
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // A text field's viewport or inner part stands for the field.
        QWidget* target = qobject_cast<QWidget*>(watched);
        while (target != nullptr && target != txt_ReadFile && target != txt_WriteFile && target != this) {
            target = target->parentWidget();
        }
        take_dropped_file(target, path);
    }
    return true;
}

}  // namespace lintavo::ui
