#pragma once

class QWidget;

// Makes the program's own accessible interfaces known to Qt:
// - a window class that declares Q_CLASSINFO("accessibleRole", "Dialog") (or any
//   other QAccessible::Role key) is announced in that role with its caption,
//   where a plain QWidget window would be an unnamed panel;
// - a drop-down list with an accessible name is announced by that name, where
//   Qt on Linux would announce its current text instead.
// Call it before such a widget is built: Qt keeps the first interface it makes
// for a widget. Calls after the first do nothing.
void InstallAccessibility();

// Enter or keypad Enter on a focused push or tool button of the window presses
// it, as Space does. No button becomes a default button, so Enter anywhere else
// presses nothing.
void PressButtonsOnEnter(QWidget* window);

// Gives the focus a place outside a panel that is about to be hidden, if it is
// inside: back to remembered, or to fallback when remembered is gone, hidden,
// disabled, inside the panel or a read-only field. A focus outside the panel
// stays where it is.
void MoveFocusOutOf(QWidget* panel, QWidget* remembered, QWidget* fallback);

// The widget of the panel's window that has the focus, unless it lies inside the
// panel; null then or when nothing has it.
QWidget* FocusOutside(const QWidget* panel);
