#pragma once

#include "gui/report/ReportDocument.h"

#include <QPrinter>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmReport;
}
class QPrintPreviewWidget;

// What a report shows, asked afresh each time: none when the screen has no
// completed run to report.
using ReportSource = std::function<std::optional<ReportData>()>;

// The calculation report of one screen, previewed page by page as it will be
// saved or printed. Opened from its screen, destroyed when closed.
class frmReport : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Window")

public:
    frmReport(ReportSource source, QWidget* parent);
    ~frmReport() override;

    // Takes the screen's run and details lock as they now stand.
    void Refresh();

    // What the preview shows, and Save and Print use.
    const std::optional<ReportData>& Report() const { return m_report; }

    // Saves the report there; says so in one message when it cannot.
    bool SaveAsPdf(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdSavePdf_Click();
    void cmdPrint_Click();

    std::unique_ptr<Ui::frmReport> m_ui;
    ReportSource m_source;
    std::optional<ReportData> m_report;
    QPrinter m_previewPrinter;
    QPrintPreviewWidget* m_preview = nullptr;
};

inline constexpr const char* kCalculateFirstMessage =
    "There is no completed calculation to report yet. Please press Calculate first.";

// The report window of that screen, opened or brought forward: one per screen.
// Before a completed run there is nothing to report: a message says so and no
// window opens (null).
frmReport* ShowReport(QWidget* screen, ReportSource source);
