#include "gui/report/frmReport.h"

#include "ui_frmReport.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"

#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QStandardPaths>

namespace {

constexpr QMarginsF kMargins(15, 15, 15, 15); // mm

void SetUpPage(QPrinter& printer) {
    printer.setPageSize(ReportPageSize());
    printer.setPageMargins(kMargins, QPageLayout::Millimeter);
}

} // namespace

frmReport::frmReport(ReportSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(new Ui::frmReport), m_source(std::move(source)),
      m_previewPrinter(QPrinter::HighResolution) {
    InstallAccessibility();
    m_ui->setupUi(this);
    PressButtonsOnEnter(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    // The preview draws on a PDF printer: showing pages needs no print server.
    m_previewPrinter.setOutputFormat(QPrinter::PdfFormat);
    SetUpPage(m_previewPrinter);
    m_preview = new QPrintPreviewWidget(&m_previewPrinter, this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setAccessibleName(tr("Report pages"));
    m_ui->mainLayout->addWidget(m_preview, 1);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        if (m_report) {
            RenderReport(*m_report, printer);
        }
    });
    connect(m_ui->cmdSavePdf, &QPushButton::clicked, this, &frmReport::cmdSavePdf_Click);
    connect(m_ui->cmdPrint, &QPushButton::clicked, this, &frmReport::cmdPrint_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    m_preview->fitToWidth();
    Refresh();
}

frmReport::~frmReport() = default;

void frmReport::Refresh() {
    m_report = m_source();
    const bool any = m_report.has_value();
    m_ui->lblNoRun->setVisible(!any);
    m_preview->setVisible(any);
    m_ui->cmdSavePdf->setEnabled(any);
    m_ui->cmdPrint->setEnabled(any);
    if (any) {
        m_previewPrinter.setDocName(ReportTitle(*m_report));
        m_preview->updatePreview();
    }
}

bool frmReport::SaveAsPdf(const QString& path) {
    if (!m_report) {
        return false;
    }
    QString problem;
    if (SaveReportPdf(*m_report, path, &problem)) {
        return true;
    }
    ShowMessage(
        this,
        tr("The report could not be saved as %1: %2").arg(QDir::toNativeSeparators(path), problem));
    return false;
}

void frmReport::cmdSavePdf_Click() {
    if (!m_report) {
        return;
    }
    QFileDialog dialog(this, tr("Save as PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("PDF documents (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(tr("Calculation Report.pdf"));
    const HoldCloseWhileOpen hold(this);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    SaveAsPdf(dialog.selectedFiles().constFirst());
}

void frmReport::cmdPrint_Click() {
    if (!m_report) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer);
    printer.setDocName(ReportTitle(*m_report));
    QPrintDialog dialog(&printer, this);
    const HoldCloseWhileOpen hold(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!RenderReport(*m_report, &printer)) {
        ShowMessage(this, tr("The report could not be printed on %1.").arg(printer.printerName()));
    }
}

void frmReport::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

frmReport* ShowReport(QWidget* screen, ReportSource source) {
    auto* report = screen->findChild<frmReport*>(QString(), Qt::FindDirectChildrenOnly);
    if (report) {
        report->Refresh();
    } else {
        if (!source()) {
            ShowMessage(screen, QString::fromLatin1(kCalculateFirstMessage));
            return nullptr;
        }
        report = new frmReport(std::move(source), screen);
        PlaceOnScreen(report);
    }
    if (!report->Report()) {
        ShowMessage(screen, QString::fromLatin1(kCalculateFirstMessage));
        report->close();
        return nullptr;
    }
    report->show();
    report->raise();
    report->activateWindow();
    return report;
}
