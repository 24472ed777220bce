#include "ui/common/accessible_lists.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace lintavo::ui {
namespace {

// A named list: its name is the list's, its chosen entry its value, its
// description (unless it has one of its own) and its text, which a screen
// reader reads through AT-SPI, where Qt gives a list's value to nobody.
class NamedList : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return list()->currentText();
        if (t == QAccessible::Description && list()->accessibleDescription().isEmpty()) return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The open list of entries, as Qt's own list offers it.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    QStringList actionNames() const override { return QStringList{showMenuAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) list()->showPopup();
        else QAccessibleWidget::doAction(action);
    }

    // The chosen entry as a text that can be read but not selected or edited.
    QString text(int start, int end) const override { return entry().mid(start, end < 0 ? -1 : end - start); }
    int characterCount() const override { return static_cast<int>(entry().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString entry() const { return list()->currentText(); }
};

QAccessibleInterface* named_list(const QString& class_name, QObject* object) {
    if (class_name != QLatin1String("QComboBox") || !object->isWidgetType()) return nullptr;
    auto* list = static_cast<QComboBox*>(object);
    return list->accessibleName().isEmpty() ? nullptr : new NamedList(list);
}

}  // namespace

void use_named_lists() {
    static const bool installed = [] {
        QAccessible::installFactory(named_list);
        return true;
    }();
    (void)installed;
}

void name_list(QComboBox* list, const QString& name) {
    list->setAccessibleName(name);
    // Whatever chose the entry (mouse, key, program), a screen reader hears
    // of it at once: its description and text change with it.
    QObject::connect(list, &QComboBox::currentTextChanged, list, [list, last = list->currentText()](const QString& now) mutable {
        if (!QAccessible::isActive()) {
            last = now;
            return;
        }
        QAccessibleEvent described(list, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
        QAccessibleTextUpdateEvent text(list, 0, last, now);
        QAccessible::updateAccessibility(&text);
        last = now;
    });
}

}  // namespace lintavo::ui
