#pragma once

#include "core/report/CalcReport.h"
#include "gui/common/ScreenLinks.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>

namespace Ui {
class frmMethod1;
}
class QLineEdit;
class QWidget;

// "Detailed Calculation": the building zone's entries, results and detail panel.
// Created once at start-up and only hidden by its Close button.
class frmMethod1 : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMethod1(QWidget* parent = nullptr);
    ~frmMethod1() override;

    // Empties the nine result fields in their fixed order.
    void ClearZoneResults();

    // Shows the detail panel with its removal-rate box.
    void ShowDetailPanel();

    // Hides this screen's detail panel and returns it to its normal size.
    void HideDetailPanel();

    // Writes an entry's text, as typing would.
    void SetEntryText(std::string ZoneTexts::*entry, const QString& text);

    // Every entry's text as it stands.
    ZoneTexts EntryTexts() const;

    // What the pool screen's Continue... hands back: the pool gain, the zone's
    // conditions and its occupants.
    void TakePoolEstimate(const PoolEstimate& estimate);

    // The wet bulb pass count of a pool run.
    void ShowIterationCount(const QString& text);

    // The field of this screen with that objectName: a text field, or the text
    // part of an editable list; null when there is none.
    QLineEdit* Field(const QString& name) const;

    // The last Calculate, with the texts, warnings and result it applied, when
    // it completed and its results still stand; none otherwise.
    const std::optional<CalcReport::ZoneRun>& LastRun() const { return m_lastRun; }

    // Whether the detail panel is shown: the details lock is open.
    bool DetailPanelShown() const;

signals:
    // LastRun() has changed: a run completed, or the results it gave no longer stand.
    void lastRunChanged();
    // The detail panel was shown or hidden.
    void detailPanelChanged();
    // An entry's text has changed, typed or written.
    void entriesChanged();
    // Hide Details also hides the other calculation screen's panel.
    void hideDetailsRequested();
    // "Estimate.." asks for the pool screen prepared as the pool-gain estimator,
    // with this screen's zone temperature and humidity texts as they stand.
    void estimateRequested(const QString& zoneTemp, const QString& zoneRh);

private:
    void cmdCalculate_Click();
    void Command1_Click();
    void Command2_Click();
    void Command9_Click();
    void SetLastRun(std::optional<CalcReport::ZoneRun> run);

    std::unique_ptr<Ui::frmMethod1> m_ui;
    // Where the focus was when the detail panel was shown; Hide Details returns it.
    QPointer<QWidget> m_focusBeforeDetails;
    std::optional<CalcReport::ZoneRun> m_lastRun;
    // The design weather picked for the ambient entries, until they are typed over.
    QString m_designLocation;
};
