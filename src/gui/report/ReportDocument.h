#pragma once

#include "core/report/CalcReport.h"
#include "core/report/ProjectReport.h"
#include "gui/weather/DurationCurve.h"

#include <QPageSize>
#include <QString>

class QLocale;
class QPagedPaintDevice;

// A report as it goes on paper: the texts of the last completed run and the
// points of its chart.
struct ReportData {
    CalcReport::Content content;
    CalcReport::ChartData chart;
    // One line above the tables naming the entries changed on the screen since
    // the run; empty when none.
    std::string changedEntries = {};
    // A year run on the same entries: its tables and curve, after the chart.
    std::vector<CalcReport::Table> yearTables = {};
    DurationCurveData yearCurve = {};
};

// Letter where the reader's country uses it, A4 everywhere else.
QPageSize ReportPageSize(const QLocale& locale);
// The same for the locale the environment names for paper.
QPageSize ReportPageSize();

// The title the document carries in its metadata and on each page.
QString ReportTitle(const ReportData& report);

// Lays the report out on the device's pages and paints them: the tables,
// warnings and notes as text, the chart as lines, a footer on every page.
// False when the device cannot be painted on.
bool RenderReport(const ReportData& report, QPagedPaintDevice* device);

// Writes the report as a PDF file, whole or not at all: on failure nothing new
// is left at path and a file already there stays as it was. problem, when
// given, receives the reason.
bool SaveReportPdf(const ReportData& report, const QString& path, QString* problem = nullptr);

// A project's report: its cover, summary and totals, then each room's report
// from a page of its own, every page numbered out of the whole count.
QString ProjectReportTitle(const ProjectReport::Content& report);
bool RenderProjectReport(const ProjectReport::Content& report, QPagedPaintDevice* device);
// As SaveReportPdf: whole or not at all.
bool SaveProjectReportPdf(const ProjectReport::Content& report, const QString& path,
                          QString* problem = nullptr);
