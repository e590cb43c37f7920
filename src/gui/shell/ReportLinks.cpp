#include "gui/shell/ReportLinks.h"

#include "gui/common/MessageBox.h"
#include "gui/pool/frmEvapMethods.h"
#include "gui/pool/frmMethod2.h"
#include "gui/report/ReportWindowParts.h"
#include "gui/report/frmChart.h"
#include "gui/report/frmReport.h"
#include "gui/weather/frmYear.h"
#include "gui/zone/frmMethod1.h"

#include <span>
#include <string>

#include <utility>

namespace {

// The line naming the entries typed over since the run the report shows; empty
// when the screen still holds that run's entries.
template <typename Texts, typename Inputs>
std::string ChangedEntriesLine(std::span<const EntrySpec<Texts, Inputs>> table, const Texts& run,
                               const Texts& now) {
    std::string line;
    for (const auto* entry : ChangedEntries(table, run, now)) {
        line += (line.empty() ? "Entries changed on the screen since this calculation: " : ", ");
        line += entry->caption;
    }
    return line.empty() ? line : line + ".";
}

std::string ChangedEntriesLine(const frmMethod1* zone, const CalcReport::ZoneRun& run) {
    return ChangedEntriesLine<ZoneTexts, ZoneInputs>(kZoneFields, run.texts, zone->EntryTexts());
}

std::string ChangedEntriesLine(const frmMethod2* pool, const CalcReport::PoolRun& run) {
    return ChangedEntriesLine<PoolTexts, PoolInputs>(kPoolFields, run.texts, pool->EntryTexts());
}

// The zone's year, while it was run on the entries of the run reported.
void AddYear(const frmMethod1* zone, const CalcReport::ZoneRun& run, ReportData& data) {
    const std::shared_ptr<const ZoneYear>& year = zone->WeatherState()->year;
    if (year && SameEntries(year->texts, run.texts)) {
        data.yearTables = year->tables;
        data.yearCurve = {year->curve, year->lines};
    }
}

void AddYear(const frmMethod2*, const CalcReport::PoolRun&, ReportData&) {}

// The windows are the screen's children and go before it, so they may hold it.
template <typename Screen, typename Content, typename ChartOf>
frmReport* ReportOf(Screen* screen, Content content, ChartOf chart, JobTitleSource jobTitle) {
    ReportSource source = [screen, content, chart,
                           jobTitle = std::move(jobTitle)]() -> std::optional<ReportData> {
        const auto& run = screen->LastRun();
        if (!run) {
            return std::nullopt;
        }
        const CalcReport::Header header{screen->windowTitle().toStdString(),
                                        jobTitle ? jobTitle() : std::string(), ReportMadeAt()};
        ReportData data{content(*run, header, screen->DetailPanelShown()), chart(*run),
                        ChangedEntriesLine(screen, *run)};
        AddYear(screen, *run, data);
        return data;
    };
    const bool opened =
        !screen->template findChild<frmReport*>(QString(), Qt::FindDirectChildrenOnly);
    frmReport* report = ShowReport(screen, std::move(source));
    if (!report) {
        return nullptr;
    }
    if (opened) {
        // Laid out again only when the line would read otherwise, not at each key.
        QObject::connect(screen, &Screen::entriesChanged, report, [screen, report] {
            const auto& run = screen->LastRun();
            const auto& shown = report->Report();
            if (!run || !shown || shown->changedEntries != ChangedEntriesLine(screen, *run)) {
                report->Refresh();
            }
        });
    }
    report->setWindowTitle(QStringLiteral("Calculation Report - ") + screen->windowTitle());
    QObject::connect(screen, &Screen::lastRunChanged, report, &frmReport::Refresh,
                     Qt::UniqueConnection);
    QObject::connect(screen, &Screen::detailPanelChanged, report, &frmReport::Refresh,
                     Qt::UniqueConnection);
    return report;
}

template <typename Screen, typename ChartOf> void ChartFor(Screen* screen, ChartOf chartOf) {
    frmChart* chart = ShowChart(screen);
    chart->setWindowTitle(QStringLiteral("Psychrometric Chart - ") + screen->windowTitle());
    chart->SetSource(
        [screen, chartOf]() -> std::optional<CalcReport::ChartData> {
            const auto& run = screen->LastRun();
            return run ? std::optional(chartOf(*run)) : std::nullopt;
        },
        [screen] { return screen->DetailPanelShown(); });
    QObject::connect(screen, &Screen::lastRunChanged, chart, &frmChart::Refresh,
                     Qt::UniqueConnection);
}

} // namespace

void OpenReport(frmMethod1* zone, JobTitleSource jobTitle) {
    frmReport* report =
        ReportOf(zone, &CalcReport::ZoneContent, &CalcReport::ZoneChart, std::move(jobTitle));
    if (report) {
        QObject::connect(zone, &frmMethod1::yearChanged, report, &frmReport::Refresh,
                         Qt::UniqueConnection);
    }
}

void OpenYear(frmMethod1* zone) {
    const std::shared_ptr<WeatherMemory>& memory = zone->WeatherState();
    if (!memory->weather) {
        const QString path = ChooseWeatherFile(zone);
        if (path.isEmpty()) {
            return;
        }
        std::shared_ptr<const LoadedWeather> weather = LoadWeatherFile(zone, path);
        if (!weather) {
            return;
        }
        memory->weather = std::move(weather);
    }
    const std::shared_ptr<const LoadedWeather> weather = memory->weather;
    ZoneTexts texts = zone->EntryTexts();
    Weather::YearRun run = Weather::RunYear(weather->file, texts);
    if (run.checks.refusal) {
        ShowMessage(zone, QString::fromStdString(run.checks.refusal->message));
        return;
    }
    if (!run.year) {
        if (run.design && run.design->message) {
            ShowMessage(zone, QString::fromStdString(*run.design->message));
        }
        return;
    }
    std::shared_ptr<const ZoneYear> year =
        MakeZoneYear(weather, std::move(texts), std::move(*run.year));
    zone->SetYear(year);
    frmYear* window = ShowYear(zone, std::move(year));
    window->setWindowTitle(QStringLiteral("A Year, Hour by Hour - ") + zone->windowTitle());
}

void OpenReport(frmMethod2* pool, JobTitleSource jobTitle) {
    // The evaporation methods for the pool type chosen in their window.
    auto content = [pool](const CalcReport::PoolRun& run, const CalcReport::Header& header,
                          bool withDetails) {
        return CalcReport::PoolContent(run, header, withDetails, EvaporationPoolType(pool));
    };
    if (frmReport* report = ReportOf(pool, content, &CalcReport::PoolChart, std::move(jobTitle))) {
        QObject::connect(pool, &frmMethod2::evaporationPoolTypeChanged, report, &frmReport::Refresh,
                         Qt::UniqueConnection);
    }
}

void OpenChart(frmMethod1* zone) {
    ChartFor(zone, &CalcReport::ZoneChart);
}

void OpenChart(frmMethod2* pool) {
    ChartFor(pool, &CalcReport::PoolChart);
}
