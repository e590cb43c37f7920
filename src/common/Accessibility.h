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
