#include "gui/common/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPushButton>
#include <QToolButton>

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

class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        // One press per stroke, as with Space; a held key repeats nothing.
        if (!key->isAutoRepeat())
            static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

void PressOnEnter(QAbstractButton* button) {
    static const char* const kFilterName = "enterPressesButton";
    if (button->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new EnterPressesButton(button);
    filter->setObjectName(kFilterName);
    button->installEventFilter(filter);
}

bool TakesFocusBack(const QWidget* widget, const QWidget* panel) {
    if (!widget || panel->isAncestorOf(widget) || !widget->isEnabled() ||
        !widget->isVisibleTo(widget->window()) || widget->focusPolicy() == Qt::NoFocus)
        return false;
    const auto* field = qobject_cast<const QLineEdit*>(widget);
    return !(field && field->isReadOnly());
}

} // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ProgramAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void PressButtonsOnEnter(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
        PressOnEnter(button);
    }
    for (QToolButton* button : window->findChildren<QToolButton*>())
        PressOnEnter(button);
}

QWidget* FocusOutside(const QWidget* panel) {
    QWidget* focus = panel->window()->focusWidget();
    return focus && !panel->isAncestorOf(focus) ? focus : nullptr;
}

void MoveFocusOutOf(QWidget* panel, QWidget* remembered, QWidget* fallback) {
    QWidget* focus = panel->window()->focusWidget();
    if (!focus || !panel->isAncestorOf(focus))
        return;
    // Before the panel goes: hiding a focused widget would hand the focus to
    // whatever comes next in the Tab order, a read-only result field as often as not.
    QWidget* target = TakesFocusBack(remembered, panel) ? remembered : fallback;
    target->setFocus(Qt::OtherFocusReason);
}
