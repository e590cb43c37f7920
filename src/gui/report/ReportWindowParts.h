#pragma once

#include <QString>

#include <functional>
#include <string>

class QBoxLayout;
class QPrinter;
class QPrintPreviewWidget;
class QWidget;

// What the room report's window and the project report's window share.

// A report page: its paper and margins.
void SetUpReportPage(QPrinter& printer);

// The window's preview of the pages, added to `layout`. It draws on
// `previewPrinter`, a PDF printer, so that showing pages needs no print server.
QPrintPreviewWidget* AddReportPreview(QWidget* window, QPrinter& previewPrinter,
                                      QBoxLayout* layout);

// Save as PDF...'s dialog, starting at `suggested`; empty when cancelled. The
// window stays open while the dialog is.
QString ChoosePdfPath(QWidget* window, const QString& suggested);

// One message over the window: the report could not be saved at `path`.
void ShowPdfNotSaved(QWidget* window, const QString& path, const QString& problem);

// Print...: the print dialog, then `render` on the printer chosen; a failure is
// said in one message.
void PrintReport(QWidget* window, const QString& docName,
                 const std::function<bool(QPrinter*)>& render);

// When a report is made, as its page says it: the long date and the time.
std::string ReportMadeAt();
