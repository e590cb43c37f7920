#pragma once

#include "core/weather/DesignLocations.h"
#include "gui/weather/WeatherFiles.h"

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

namespace Ui {
class frmDesign;
}

// One location on the picker. It reports the pointer passing over it and a
// click, and it takes the focus from the Tab key so that Space or Enter picks it
// without a mouse.
class LocationLabel : public QLabel {
    Q_OBJECT

public:
    explicit LocationLabel(QWidget* parent = nullptr);

signals:
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};

// The design weather picker: ten locations on two tabs, and a third tab with
// the design points of a weather file. Picking one hands its ambient
// temperature and humidity texts to the building-zone screen, closes the
// picker and then clears that screen's results. Closing destroys the window, so
// every opening starts on "United Kingdom" with nothing highlighted.
class frmDesign : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Dialog")

public:
    // Sets the zone screen's ambient temperature, then its relative humidity;
    // location is the picked location's caption, for the report.
    using AmbientWriter =
        std::function<void(const QString& tamb, const QString& ambrh, const QString& location)>;
    // Empties the zone screen's results.
    using ResultsClearer = std::function<void()>;

    // memory, when given, holds the weather file last opened: shown again on
    // the Weather File tab, and replaced by the next one opened there.
    frmDesign(AmbientWriter writeAmbient, ResultsClearer clearZoneResults,
              QWidget* parent = nullptr, std::shared_ptr<WeatherMemory> memory = nullptr);
    ~frmDesign() override;

    // What Open Weather File... does with the file chosen: its station and
    // design points on the Weather File tab. A file that is refused is said in
    // one message, and the tab stays as it was. True when it was read.
    bool OpenWeatherFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Label2_Click();
    void Label3_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_Click();
    void Label8_Click();
    void Label9_Click();
    void Label10_Click();
    void Label11_Click();
    void Location_MouseMove(LocationLabel* hovered);
    void SSTab1_MouseMove();
    void Command1_Click();
    void cmdOpenWeather_Click();
    void ShowWeather();
    void PickWeatherPoint(std::size_t point);

    // The label shows the location; the ambient texts come from the table.
    void PickLocation(const LocationLabel* location, const DesignLocation& values);
    std::array<LocationLabel*, 10> Locations() const;

    std::unique_ptr<Ui::frmDesign> m_ui;
    AmbientWriter m_writeAmbient;
    ResultsClearer m_clearZoneResults;
    std::shared_ptr<WeatherMemory> m_memory;
};

// Opens the picker centred on the opener's screen, or brings the open one
// forward: there is never more than one. The callbacks are those of the first
// opening; the zone screen outlives the picker, so they stay valid.
frmDesign* ShowDesign(frmDesign::AmbientWriter writeAmbient,
                      frmDesign::ResultsClearer clearZoneResults, QWidget* opener,
                      std::shared_ptr<WeatherMemory> memory = nullptr);
