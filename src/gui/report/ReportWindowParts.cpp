#include "gui/report/ReportWindowParts.h"

#include "gui/common/MessageBox.h"
#include "gui/report/ReportDocument.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

constexpr QMarginsF kMargins(15, 15, 15, 15); // mm

} // namespace

void SetUpReportPage(QPrinter& printer) {
    printer.setPageSize(ReportPageSize());
    printer.setPageMargins(kMargins, QPageLayout::Millimeter);
}

QPrintPreviewWidget* AddReportPreview(QWidget* window, QPrinter& previewPrinter,
                                      QBoxLayout* layout) {
    previewPrinter.setOutputFormat(QPrinter::PdfFormat);
    SetUpReportPage(previewPrinter);
    auto* preview = new QPrintPreviewWidget(&previewPrinter, window);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setAccessibleName(QObject::tr("Report pages"));
    layout->addWidget(preview, 1);
    return preview;
}

QString ChoosePdfPath(QWidget* window, const QString& suggested) {
    QFileDialog dialog(window, QObject::tr("Save as PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QObject::tr("PDF documents (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    const HoldCloseWhileOpen hold(window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void ShowPdfNotSaved(QWidget* window, const QString& path, const QString& problem) {
    ShowMessage(window, QObject::tr("The report could not be saved as %1: %2")
                            .arg(QDir::toNativeSeparators(path), problem));
}

void PrintReport(QWidget* window, const QString& docName,
                 const std::function<bool(QPrinter*)>& render) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPage(printer);
    printer.setDocName(docName);
    QPrintDialog dialog(&printer, window);
    const HoldCloseWhileOpen hold(window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!render(&printer)) {
        ShowMessage(
            window,
            QObject::tr("The report could not be printed on %1.").arg(printer.printerName()));
    }
}

std::string ReportMadeAt() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    return (locale.toString(now.date(), QLocale::LongFormat) + QStringLiteral(", ") +
            locale.toString(now.time(), QLocale::ShortFormat))
        .toStdString();
}
