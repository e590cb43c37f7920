#pragma once

#include "core/report/CalcReport.h"
#include "gui/common/ScreenLinks.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>

namespace Ui {
class frmMethod2;
}
class QLineEdit;
struct CalcResult;
struct PoolEstimate;
struct PoolTexts;

// The swimming-pool screen: a calculation of its own, or the estimator of the
// building zone's pool gain. Created once, on first need, then shown and hidden.
class frmMethod2 : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMethod2(QWidget* parent = nullptr);
    ~frmMethod2() override;

    // Shown as its own calculation: the unit counts visible, nothing else changed.
    void ShowStandalone();

    // Shown as the estimator of the zone's pool gain, with the zone's
    // temperature and humidity texts copied in as they stand.
    void ShowAsEstimator(const QString& zoneTemp, const QString& zoneRh);

    // Empties every result field of the screen, the detail panel's included:
    // the results of a run whose entries are gone. Continue... then waits for
    // the next completed run.
    void ClearPoolResults();

    void ShowDetailPanel();
    // Hides this screen's detail panel and returns it to its normal size.
    void HideDetailPanel();

    // Writes an entry's text, as typing would.
    void SetEntryText(std::string PoolTexts::*entry, const QString& text);

    // Every entry's text as it stands.
    PoolTexts EntryTexts() const;

    QLineEdit* Field(const QString& name) const;

    // The last completed Calculate, with the texts, warnings and result it
    // applied, while the screen shows its results; none otherwise.
    const std::optional<CalcReport::PoolRun>& LastRun() const { return m_lastRun; }

    // Whether the detail panel is shown: the details lock is open.
    bool DetailPanelShown() const;

signals:
    // LastRun() has changed.
    void lastRunChanged();
    // The detail panel was shown or hidden.
    void detailPanelChanged();
    // An entry's text has changed, typed or written.
    void entriesChanged();
    // Another VDI 2089-1 pool type was chosen for the evaporation methods.
    void evaporationPoolTypeChanged();
    // Hide Details also hides the building-zone screen's panel.
    void hideDetailsRequested();
    // Each run's wet bulb pass count, which the building-zone screen shows.
    void iterationCountWritten(const QString& text);
    // Continue...: first the texts handed back, then, once this screen is
    // hidden, word that the building zone's results no longer hold.
    void estimateHandedBack(const PoolEstimate& estimate);
    void zoneResultsOutdated();

private:
    void cmdCalculate_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void HideEstimatorCommands();
    void SetLastRun(std::optional<CalcReport::PoolRun> run);

    std::unique_ptr<Ui::frmMethod2> m_ui;
    // Where the focus was when the detail panel was shown; Hide Details returns it.
    QPointer<QWidget> m_focusBeforeDetails;
    std::optional<CalcReport::PoolRun> m_lastRun;
};
