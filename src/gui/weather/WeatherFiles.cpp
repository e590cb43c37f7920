#include "gui/weather/WeatherFiles.h"

#include "gui/common/MessageBox.h"

#include <QFileDialog>
#include <QFileInfo>

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
