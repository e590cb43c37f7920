#include "gui/report/frmReport.h"

#include "ui_frmReport.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "gui/report/ReportWindowParts.h"

#include <QDir>
#include <QKeyEvent>
#include <QPrintPreviewWidget>
#include <QStandardPaths>

frmReport::frmReport(ReportSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(new Ui::frmReport), m_source(std::move(source)),
      m_previewPrinter(QPrinter::HighResolution) {
    InstallAccessibility();
    m_ui->setupUi(this);
    PressButtonsOnEnter(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_preview = AddReportPreview(this, m_previewPrinter, m_ui->mainLayout);
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
    ShowPdfNotSaved(this, path, problem);
    return false;
}

void frmReport::cmdSavePdf_Click() {
    if (!m_report) {
        return;
    }
    const QString path = ChoosePdfPath(
        this, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(tr("Calculation Report.pdf")));
    if (!path.isEmpty()) {
        SaveAsPdf(path);
    }
}

void frmReport::cmdPrint_Click() {
    if (!m_report) {
        return;
    }
    PrintReport(this, ReportTitle(*m_report),
                [this](QPrinter* printer) { return RenderReport(*m_report, printer); });
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
