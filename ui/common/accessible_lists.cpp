#include "ui/common/accessible_lists.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace lintavo::ui {
namespace {

class NamedList : public QAccessibleWidget {
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? list()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
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

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
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

}  // namespace lintavo::ui
