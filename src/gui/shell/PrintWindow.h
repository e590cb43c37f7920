#pragma once

#include <QString>

class QPrinter;
class QWidget;

// Prints the image of a screen's client area, as it stands, on one page of the
// default printer, scaled to fit the page with its proportions kept. No dialog
// and, on success, no message. When there is no default printer or the printer
// fails, the screen shows a message box saying so and nothing else changes.
// Returns whether the page was sent; problem, when given, receives the message.
bool PrintWindow(QWidget* screen, QString* problem = nullptr);

// The same on the given printer, set up by the caller.
bool PrintWindowOn(QWidget* screen, QPrinter& printer, QString* problem = nullptr);
