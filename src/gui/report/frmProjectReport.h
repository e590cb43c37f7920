#pragma once

#include "core/report/ProjectReport.h"

#include <QPrinter>
#include <QWidget>

#include <memory>

namespace Ui {
class frmProjectReport;
}
class QPrintPreviewWidget;

// A project's report, previewed page by page as it will be saved or printed.
// Opened from the project window, destroyed when closed.
class frmProjectReport : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Window")

public:
    // projectPath names the project's file, empty before it is saved: the PDF is
    // offered beside it, under its name.
    frmProjectReport(ProjectReport::Content report, QString projectPath, QWidget* parent);
    ~frmProjectReport() override;

    // Shows this report instead, as the project now stands.
    void SetReport(ProjectReport::Content report, QString projectPath);
    const ProjectReport::Content& Report() const { return m_report; }

    // Saves the report there; says so in one message when it cannot.
    bool SaveAsPdf(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdSavePdf_Click();
    void cmdPrint_Click();
    QString SuggestedPdfPath() const;

    std::unique_ptr<Ui::frmProjectReport> m_ui;
    ProjectReport::Content m_report;
    QString m_projectPath;
    QPrinter m_previewPrinter;
    QPrintPreviewWidget* m_preview = nullptr;
};
