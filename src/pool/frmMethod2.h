#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

namespace Ui {
class frmMethod2;
}
class QLineEdit;
class frmMethod1;

// The swimming-pool screen: a calculation of its own, or the estimator of the
// building zone's pool gain. Created once, on first need, then shown and hidden.
class frmMethod2 : public QMainWindow {
    Q_OBJECT

public:
    // The building-zone screen receives the iteration count of every run and
    // what Continue... hands back.
    explicit frmMethod2(frmMethod1* zone, QWidget* parent = nullptr);
    ~frmMethod2() override;

    // Shown as its own calculation: the unit counts visible, nothing else changed.
    void ShowStandalone();

    // Shown as the estimator of the zone's pool gain, with the zone's
    // temperature and humidity texts copied in as they stand.
    void ShowAsEstimator(const QString& zoneTemp, const QString& zoneRh);

    void ShowDetailPanel();
    // Hides this screen's detail panel and returns it to its normal size.
    void HideDetailPanel();

    QLineEdit* Field(const QString& name) const;

signals:
    // Hide Details also hides the building-zone screen's panel.
    void hideDetailsRequested();

private:
    void cmdCalculate_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void HideEstimatorCommands();

    std::unique_ptr<Ui::frmMethod2> m_ui;
    frmMethod1* m_zone;
    // Where the focus was when the detail panel was shown; Hide Details returns it.
    QPointer<QWidget> m_focusBeforeDetails;
};
