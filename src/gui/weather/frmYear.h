#pragma once

#include "gui/weather/WeatherFiles.h"

#include <QWidget>

#include <memory>

namespace Ui {
class frmYear;
}
class QTableWidget;

// A year, hour by hour: the zone screen's entries run through every hour of a
// weather file, shown as the engine summarises it. Opened from its screen,
// destroyed when closed.
class frmYear : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Window")

public:
    explicit frmYear(QWidget* parent);
    ~frmYear() override;

    void SetYear(std::shared_ptr<const ZoneYear> year);
    const std::shared_ptr<const ZoneYear>& Year() const { return m_year; }

    // Writes every hour there, whole or not at all; says so in one message
    // when it cannot. True when written.
    bool ExportHours(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdExportHours_Click();

    std::unique_ptr<Ui::frmYear> m_ui;
    std::shared_ptr<const ZoneYear> m_year;
};

// The year window of that screen, opened or brought forward: one per screen.
frmYear* ShowYear(QWidget* screen, std::shared_ptr<const ZoneYear> year);
