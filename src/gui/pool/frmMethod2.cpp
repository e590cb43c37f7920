#include "gui/pool/frmMethod2.h"

#include "ui_frmMethod2.h"

#include "core/pool/PoolCalc.h"
#include "gui/common/Accessibility.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/ScreenLinks.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

constexpr int kStatusPanelTwips = 5985;

} // namespace

frmMethod2::frmMethod2(QWidget* parent) : QMainWindow(parent), m_ui(new Ui::frmMethod2) {
    InstallAccessibility();
    m_ui->setupUi(this);
    StyleScreen(this);

    const QString zoneColumn = tr("Zone");
    const QString waterColumn = tr("Air - Water");
    NameGridFields(
        {
            {m_ui->Label31, m_ui->txtpws1, m_ui->txtpws2},
            {m_ui->Label32, m_ui->txtpw1, m_ui->txtpw2},
            {m_ui->Label33, m_ui->txtW1, m_ui->txtW2},
            {m_ui->Label34, m_ui->txtv1, m_ui->txtV2},
            {m_ui->Label35, m_ui->txtd1, m_ui->txtd2},
            {m_ui->Label36, m_ui->txth1, m_ui->txth2},
            {m_ui->Label37, m_ui->txtDP, nullptr},
            {m_ui->Label38, m_ui->txtWBzone, nullptr},
        },
        zoneColumn, waterColumn);
    m_ui->txtRate100->setAccessibleName(tr("Moisture Removal Rate HX 100 (litres/day)"));
    m_ui->txtRate160->setAccessibleName(tr("Moisture Removal Rate HX 160 (litres/day)"));
    m_ui->txtRate200->setAccessibleName(tr("Moisture Removal Rate HX 200 (litres/day)"));
    NameFieldsByCaptions(this);

    for (QLineEdit* entry : {m_ui->txttemp, m_ui->txtrh, m_ui->txtPresskPa, m_ui->txtpoolarea,
                             m_ui->txtpooltemp, m_ui->txtTotalOccupancy}) {
        SuppressEnterKey(entry);
    }
    for (QComboBox* list : {m_ui->txtOccupancy, m_ui->cmbOccupancy2}) {
        KeepTypedText(list);
    }

    SetTabOrder({m_ui->txttemp, m_ui->txtrh, m_ui->txtpooltemp, m_ui->txtpoolarea,
                 m_ui->txtOccupancy, m_ui->cmbOccupancy2, m_ui->Command1, m_ui->cmdCalculate,
                 m_ui->Command3, m_ui->Command4, m_ui->Command2});

    InstallStatusBar(this, kStatusPanelTwips);

    for (const auto& entry : kPoolFields) {
        connect(Field(ToQString(entry.name)), &QLineEdit::textChanged, this,
                &frmMethod2::entriesChanged);
    }

    connect(m_ui->cmdCalculate, &QPushButton::clicked, this, &frmMethod2::cmdCalculate_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &frmMethod2::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &frmMethod2::Command2_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &frmMethod2::Command3_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, &frmMethod2::Command4_Click);

    resize(613, 295);
    m_ui->cmdCalculate->setFocus(Qt::OtherFocusReason);
}

frmMethod2::~frmMethod2() = default;

QLineEdit* frmMethod2::Field(const QString& name) const {
    return FindField(this, name);
}

void frmMethod2::SetEntryText(std::string PoolTexts::*entry, const QString& text) {
    Field(ToQString(EntryName<PoolTexts, PoolInputs>(kPoolFields, entry)))->setText(text);
}

PoolTexts frmMethod2::EntryTexts() const {
    return ReadEntryTexts<PoolTexts, PoolInputs>(this, kPoolFields);
}

void frmMethod2::ShowStandalone() {
    show();
    raise();
    activateWindow();
    // The instruction stands where the counts do: never both at once.
    m_ui->lblInstruction->hide();
    m_ui->Frame2->show();
}

void frmMethod2::ShowAsEstimator(const QString& zoneTemp, const QString& zoneRh) {
    setWindowTitle(tr("Swimming Pool Evaporation Rate Calculation"));
    show();
    raise();
    activateWindow();
    m_ui->Frame2->hide();
    m_ui->Command3->setEnabled(false);
    m_ui->Command3->show();
    m_ui->Command4->show();
    m_ui->lblInstruction->show();
    m_ui->txttemp->setText(zoneTemp);
    m_ui->txtrh->setText(zoneRh);
}

bool frmMethod2::DetailPanelShown() const {
    return m_ui->Frame1->isVisibleTo(this);
}

void frmMethod2::ShowDetailPanel() {
    if (QWidget* focus = FocusOutside(m_ui->Frame1))
        m_focusBeforeDetails = focus;
    m_ui->Frame1->show();
    emit detailPanelChanged();
}

void frmMethod2::HideDetailPanel() {
    MoveFocusOutOf(m_ui->Frame1, m_focusBeforeDetails, m_ui->cmdCalculate);
    m_ui->Frame1->hide();
    // Not showNormal(): a hidden screen must stay hidden.
    setWindowState(windowState() & ~Qt::WindowMaximized);
    emit detailPanelChanged();
}

void frmMethod2::ClearPoolResults() {
    for (const ResultSpec& result : kPoolResults) {
        if (QLineEdit* field = Field(ToQString(result.name))) {
            field->clear();
        }
    }
    m_ui->Command3->setEnabled(false);
    SetLastRun(std::nullopt);
}

void frmMethod2::SetLastRun(std::optional<CalcReport::PoolRun> run) {
    if (!run && !m_lastRun) {
        return;
    }
    m_lastRun = std::move(run);
    emit lastRunChanged();
}

void frmMethod2::cmdCalculate_Click() {
    const PoolTexts texts = ReadEntryTexts<PoolTexts, PoolInputs>(this, kPoolFields);
    const FieldResolver resolve = [this](const QString& name) { return Field(name); };
    const auto checks = ValidatePoolInputs(texts);
    // A refusal here leaves the focus where it is.
    if (ApplyChecks(this, checks, resolve, false)) {
        // Only the refused entry is emptied: the results shown, and the run
        // behind them, stand.
        return;
    }
    PoolResult result = CalculatePool(*checks.inputs);
    // The pass count of the wet bulb search is shown on the zone screen.
    const QString iterations = ToQString(kPoolIterations.name);
    ApplyResult(this, result, resolve,
                [this, &iterations](const QString& name, const QString& text) {
                    if (name != iterations) {
                        return false;
                    }
                    emit iterationCountWritten(text);
                    return true;
                });
    if (result.outcome != Outcome::Completed) {
        SetLastRun(std::nullopt);
        return;
    }
    m_ui->Command3->setEnabled(true);
    SetLastRun(
        CalcReport::PoolRun{std::move(texts), *checks.inputs, checks.warnings, std::move(result)});
}

void frmMethod2::HideEstimatorCommands() {
    m_ui->Command3->hide();
    m_ui->Command4->hide();
}

void frmMethod2::Command1_Click() {
    hide();
    HideEstimatorCommands();
}

void frmMethod2::Command2_Click() {
    HideDetailPanel();
    emit hideDetailsRequested();
}

// Hands the evaporation and the entries, as they stand, to the building zone.
void frmMethod2::Command3_Click() {
    emit estimateHandedBack({m_ui->txtm2->text(), m_ui->txttemp->text(), m_ui->txtrh->text(),
                             m_ui->txtTotalOccupancy->text(), QStringLiteral("Social")});
    hide();
    m_ui->lblInstruction->hide();
    HideEstimatorCommands();
    emit zoneResultsOutdated();
}

void frmMethod2::Command4_Click() {
    hide();
    HideEstimatorCommands();
}
