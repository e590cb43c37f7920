#include "gui/weather/WeatherFiles.h"

#include "core/report/YearReport.h"
#include "gui/common/MessageBox.h"

#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

QString ChooseWeatherFile(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Open Weather File"));
    dialog.setNameFilter(QStringLiteral("EnergyPlus weather files (*.epw)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setObjectName(QStringLiteral("dlgOpenWeather"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::shared_ptr<const LoadedWeather> LoadWeatherFile(QWidget* parent, const QString& path) {
    Weather::EpwRead read = Weather::ReadEpwFile(path.toStdString());
    if (!read.file) {
        const std::string name = QFileInfo(path).fileName().toStdString();
        ShowMessage(parent, QString::fromStdString(Weather::EpwProblemMessage(name, read.problem)));
        return nullptr;
    }
    auto loaded = std::make_shared<LoadedWeather>();
    loaded->path = path;
    loaded->file = std::move(*read.file);
    loaded->points = Weather::DesignPoints(loaded->file);
    return loaded;
}

QString DesignPointLocation(const LoadedWeather& weather, const Weather::DesignPoint& point) {
    return QString::fromStdString(Weather::StationLine(weather.file.station) + ": " +
                                  point.caption);
}

std::shared_ptr<const ZoneYear> MakeZoneYear(std::shared_ptr<const LoadedWeather> weather,
                                             ZoneTexts texts, Weather::Year year) {
    const Weather::WeatherFile& file = weather->file;
    std::vector<CalcReport::Table> tables = CalcReport::YearTables(file, year);
    std::vector<Weather::DurationPoint> curve =
        Weather::LoadDuration(*year.table, year.totals, kCurvePoints);
    std::vector<Weather::CapacityLine> lines = Weather::CapacityLines(year.summary);
    auto made =
        std::make_shared<ZoneYear>(ZoneYear{std::move(texts), std::move(weather), std::move(year),
                                            std::move(tables), std::move(curve), std::move(lines)});
    return made;
}

bool SameEntries(const ZoneTexts& a, const ZoneTexts& b) {
    return std::all_of(kZoneFields.begin(), kZoneFields.end(),
                       [&](const ZoneEntry& e) { return a.*e.text == b.*e.text; });
}
