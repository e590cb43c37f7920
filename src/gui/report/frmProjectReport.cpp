#include "gui/report/frmProjectReport.h"

#include "ui_frmProjectReport.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "gui/report/ProjectReportLinks.h"
#include "gui/report/ReportDocument.h"
#include "gui/report/ReportWindowParts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrintPreviewWidget>
#include <QStandardPaths>

#include <utility>

frmProjectReport::frmProjectReport(ProjectReport::Content report, QString projectPath,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(new Ui::frmProjectReport),
      m_previewPrinter(QPrinter::HighResolution) {
    InstallAccessibility();
    m_ui->setupUi(this);
    PressButtonsOnEnter(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_preview = AddReportPreview(this, m_previewPrinter, m_ui->mainLayout);
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
    ShowPdfNotSaved(this, path, problem);
    return false;
}

void frmProjectReport::cmdSavePdf_Click() {
    const QString path = ChoosePdfPath(this, SuggestedPdfPath());
    if (!path.isEmpty()) {
        SaveAsPdf(path);
    }
}

void frmProjectReport::cmdPrint_Click() {
    PrintReport(this, ProjectReportTitle(m_report),
                [this](QPrinter* printer) { return RenderProjectReport(m_report, printer); });
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
    ProjectReport::Content report = ProjectReport::Build(
        project, std::filesystem::path(QFile::encodeName(projectPath).toStdString()),
        ReportMadeAt());
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
