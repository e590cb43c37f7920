#include "common/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaEnum>

namespace {

// A drop-down list as Qt presents it (the popup list and, when editable, the
// text part as children; open and close as actions), except that an accessible
// name given to it is its name. Qt on Linux names a list by its current text,
// so a screen reader would read "0" for "Occupancy (No. People)".
class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(QWidget* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    int childCount() const override { return list()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        if (list()->lineEdit() && child->object() == list()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* text = list()->lineEdit();
        if (text && text->rect().contains(text->mapFromGlobal(QPoint(x, y))))
            return child(1);
        return nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !list()->accessibleName().isEmpty())
            return list()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return list()->lineEdit() ? list()->lineEdit()->text() : list()->currentText();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* ProgramAccessibleFactory(const QString& key, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (key == QLatin1String("QComboBox"))
        return new ListAccessible(widget);
    // Only for the class that asks, so that Qt's own choice stands for its bases
    // (and for a window on its way out, which is a plain QWidget by then).
    const QMetaObject* meta = object->metaObject();
    if (key != QLatin1String(meta->className()))
        return nullptr;
    const int info = meta->indexOfClassInfo("accessibleRole");
    if (info < 0)
        return nullptr;
    bool known = false;
    const int role =
        QMetaEnum::fromType<QAccessible::Role>().keyToValue(meta->classInfo(info).value(), &known);
    return known ? new QAccessibleWidget(widget, QAccessible::Role(role)) : nullptr;
}

} // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ProgramAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
