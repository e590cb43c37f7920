#include "gui/report/frmProjectReport.h"

#include "ui_frmProjectReport.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "gui/report/ProjectReportLinks.h"
#include "gui/report/ReportDocument.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QStandardPaths>

#include <utility>

namespace {

constexpr QMarginsF kMargins(15, 15, 15, 15); // mm

void SetUpPage(QPrinter& printer) {
    printer.setPageSize(ReportPageSize());
    printer.setPageMargins(kMargins, QPageLayout::Millimeter);
}

std::string Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    return (locale.toString(now.date(), QLocale::LongFormat) + QStringLiteral(", ") +
            locale.toString(now.time(), QLocale::ShortFormat))
        .toStdString();
}

} // namespace

frmProjectReport::frmProjectReport(ProjectReport::Content report, QString projectPath,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(new Ui::frmProjectReport),
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
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { RenderProjectReport(m_report, printer); });
    connect(m_ui->cmdSavePdf, &QPushButton::clicked, this, &frmProjectReport::cmdSavePdf_Click);
    connect(m_ui->cmdPrint, &QPushButton::clicked, this, &frmProjectReport::cmdPrint_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    m_preview->fitToWidth();
    SetReport(std::move(report), std::move(projectPath));
}

frmProjectReport::~frmProjectReport() = default;

void frmProjectReport::SetReport(ProjectReport::Content report, QString projectPath) {
    m_report = std::move(report);
    m_projectPath = std::move(projectPath);
    const QString title = ProjectReportTitle(m_report);
    setWindowTitle(title);
    m_previewPrinter.setDocName(title);
    m_preview->updatePreview();
}

QString frmProjectReport::SuggestedPdfPath() const {
    if (m_projectPath.isEmpty()) {
        return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(tr("Project Report.pdf"));
    }
    const QFileInfo project(m_projectPath);
    return project.dir().filePath(project.completeBaseName() + tr(" Report.pdf"));
}

bool frmProjectReport::SaveAsPdf(const QString& path) {
    QString problem;
    if (SaveProjectReportPdf(m_report, path, &problem)) {
        return true;
    }
    ShowMessage(
        this,
        tr("The report could not be saved as %1: %2").arg(QDir::toNativeSeparators(path), problem));
    return false;
}

void frmProjectReport::cmdSavePdf_Click() {
    const QString suggested = SuggestedPdfPath();
    QFileDialog dialog(this, tr("Save as PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("PDF documents (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QFileInfo(suggested).absolutePath());
    dialog.selectFile(QFileInfo(suggested).fileName());
    const HoldCloseWhileOpen hold(this);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    SaveAsPdf(dialog.selectedFiles().constFirst());
}

void frmProjectReport::cmdPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer);
    printer.setDocName(ProjectReportTitle(m_report));
    QPrintDialog dialog(&printer, this);
    const HoldCloseWhileOpen hold(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!RenderProjectReport(m_report, &printer)) {
        ShowMessage(this, tr("The report could not be printed on %1.").arg(printer.printerName()));
    }
}

void frmProjectReport::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

frmProjectReport* OpenProjectReport(QWidget* parent, const Project& project,
                                    const QString& projectPath) {
    ProjectReport::Content report =
        ProjectReport::Build(project, std::filesystem::path(QFile::encodeName(projectPath).toStdString()), Now());
    auto* window = parent->findChild<frmProjectReport*>(QString(), Qt::FindDirectChildrenOnly);
    if (window) {
        window->SetReport(std::move(report), projectPath);
    } else {
        window = new frmProjectReport(std::move(report), projectPath, parent);
        PlaceOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
