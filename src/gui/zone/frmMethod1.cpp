#include "gui/zone/frmMethod1.h"

#include "ui_frmMethod1.h"

#include "core/zone/ZoneCalc.h"
#include "gui/common/Accessibility.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/ScreenLinks.h"
#include "gui/help/Misc.h"
#include "gui/weather/frmDesign.h"

#include <QComboBox>
#include <QIcon>
#include <QLineEdit>

namespace {

constexpr int kStatusPanelTwips = 6615;

} // namespace

frmMethod1::frmMethod1(QWidget* parent) : QMainWindow(parent), m_ui(new Ui::frmMethod1) {
    InstallAccessibility();
    m_ui->setupUi(this);
    StyleScreen(this);
    m_ui->Label41->setFont(ScreenFont(9.75, true));

    // The panel's fields take the caption of their row, with the column for the grid.
    const QString zone = tr("Zone");
    const QString ambient = tr("Ambient");
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
        zone, ambient);
    // The pool gain is both an entry and a result under the same caption.
    m_ui->txtSwimPoolGain1->setAccessibleName(tr("Moisture gain: ") +
                                              m_ui->lbl_txtSwimPoolGain1->text());
    // Every other field and list is announced by the caption beside it.
    NameFieldsByCaptions(this);
    m_ui->txtRate100->setAccessibleName(tr("Moisture Removal Rate HX 100 (litres/day)"));
    m_ui->txtRate160->setAccessibleName(tr("Moisture Removal Rate HX 160 (litres/day)"));
    m_ui->txtRate200->setAccessibleName(tr("Moisture Removal Rate HX 200 (litres/day)"));
    m_ui->Command3->setAccessibleName(tr("Guide: Natural Infiltration Rate"));
    m_ui->Command5->setAccessibleName(tr("Guide: Mechanical Ventilation Rate"));
    m_ui->Command6->setAccessibleName(tr("Guide: % Fresh Air"));
    m_ui->Command4->setAccessibleName(tr("Guide: Building Processes Gains"));

    for (QLineEdit* entry : {m_ui->txtTamb, m_ui->txtAmbrh, m_ui->txtVentrate, m_ui->txtFreshair,
                             m_ui->txtInfil, m_ui->txtVol, m_ui->txttemp, m_ui->txtrh,
                             m_ui->txtProcess, m_ui->txtSwimPoolGain, m_ui->txtPresskPa}) {
        SuppressEnterKey(entry);
    }
    for (QComboBox* list : {m_ui->txtOccupancy, m_ui->comboActivity}) {
        KeepTypedText(list);
    }

    // Entries top to bottom with their buttons, then the commands.
    SetTabOrder({m_ui->txtTamb,         m_ui->Command9,      m_ui->txtAmbrh,     m_ui->txtVentrate,
                 m_ui->Command5,        m_ui->txtFreshair,   m_ui->Command6,     m_ui->txtInfil,
                 m_ui->Command3,        m_ui->txtVol,        m_ui->txttemp,      m_ui->txtrh,
                 m_ui->txtOccupancy,    m_ui->comboActivity, m_ui->txtProcess,   m_ui->Command4,
                 m_ui->txtSwimPoolGain, m_ui->Command8,      m_ui->cmdCalculate, m_ui->Command1,
                 m_ui->Command2});

    InstallStatusBar(this, kStatusPanelTwips);

    for (const auto& entry : kZoneFields) {
        connect(Field(ToQString(entry.name)), &QLineEdit::textChanged, this,
                &frmMethod1::entriesChanged);
    }

    connect(m_ui->cmdCalculate, &QPushButton::clicked, this, &frmMethod1::cmdCalculate_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &frmMethod1::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &frmMethod1::Command2_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, [] { Misc::ShowHelpTopic(1); });
    connect(m_ui->Command5, &QPushButton::clicked, this, [] { Misc::ShowHelpTopic(2); });
    connect(m_ui->Command6, &QPushButton::clicked, this, [] { Misc::ShowHelpTopic(3); });
    connect(m_ui->Command4, &QPushButton::clicked, this, [] { Misc::ShowHelpTopic(4); });
    connect(m_ui->Command8, &QPushButton::clicked, this,
            [this] { emit estimateRequested(m_ui->txttemp->text(), m_ui->txtrh->text()); });
    connect(m_ui->Command9, &QPushButton::clicked, this, &frmMethod1::Command9_Click);
    // Ambient conditions typed over are no longer the picked location's.
    for (QLineEdit* ambient : {m_ui->txtTamb, m_ui->txtAmbrh}) {
        connect(ambient, &QLineEdit::textEdited, this, [this] { m_designLocation.clear(); });
    }

    // The window's size is that of its normal arrangement; the detail panel lies
    // below it and is seen whole only when maximised.
    resize(655, 373);
    m_ui->cmdCalculate->setFocus(Qt::OtherFocusReason);
}

frmMethod1::~frmMethod1() = default;

QLineEdit* frmMethod1::Field(const QString& name) const {
    return FindField(this, name);
}

void frmMethod1::SetEntryText(std::string ZoneTexts::*entry, const QString& text) {
    Field(ToQString(EntryName<ZoneTexts, ZoneInputs>(kZoneFields, entry)))->setText(text);
}

ZoneTexts frmMethod1::EntryTexts() const {
    return ReadEntryTexts<ZoneTexts, ZoneInputs>(this, kZoneFields);
}

void frmMethod1::TakePoolEstimate(const PoolEstimate& estimate) {
    m_ui->txtSwimPoolGain->setText(estimate.poolGain);
    m_ui->txttemp->setText(estimate.zoneTemp);
    m_ui->txtrh->setText(estimate.zoneRh);
    m_ui->txtOccupancy->setEditText(estimate.occupancy);
    m_ui->comboActivity->setEditText(estimate.activity);
}

void frmMethod1::ShowIterationCount(const QString& text) {
    m_ui->txtiter->setText(text);
}

void frmMethod1::ClearZoneResults() {
    for (const ResultSpec* result : kZoneClearedResults) {
        if (QLineEdit* field = Field(ToQString(result->name))) {
            field->clear();
        }
    }
    SetLastRun(std::nullopt);
}

void frmMethod1::SetLastRun(std::optional<CalcReport::ZoneRun> run) {
    if (!run && !m_lastRun) {
        return;
    }
    m_lastRun = std::move(run);
    emit lastRunChanged();
}

bool frmMethod1::DetailPanelShown() const {
    return m_ui->Frame1->isVisibleTo(this);
}

void frmMethod1::ShowDetailPanel() {
    if (QWidget* focus = FocusOutside(m_ui->Frame1))
        m_focusBeforeDetails = focus;
    m_ui->Frame1->show();
    m_ui->Frame2->show();
    emit detailPanelChanged();
}

void frmMethod1::HideDetailPanel() {
    MoveFocusOutOf(m_ui->Frame1, m_focusBeforeDetails, m_ui->cmdCalculate);
    m_ui->Frame1->hide();
    m_ui->Frame2->hide();
    // Not showNormal(): a hidden screen must stay hidden.
    setWindowState(windowState() & ~Qt::WindowMaximized);
    emit detailPanelChanged();
}

void frmMethod1::cmdCalculate_Click() {
    const ZoneTexts texts = ReadEntryTexts<ZoneTexts, ZoneInputs>(this, kZoneFields);
    const FieldResolver resolve = [this](const QString& name) { return Field(name); };
    const auto checks = ValidateZoneInputs(texts);
    if (ApplyChecks(this, checks, resolve, true)) {
        // Only the refused entry is emptied: the results shown, and the run
        // behind them, stand.
        return;
    }
    ZoneResult result = CalculateZone(*checks.inputs, texts.activity);
    ApplyResult(this, result, resolve);
    if (result.outcome != Outcome::Completed) {
        SetLastRun(std::nullopt);
        return;
    }
    SetLastRun(CalcReport::ZoneRun{std::move(texts), *checks.inputs, checks.warnings,
                                   std::move(result), m_designLocation.toStdString()});
}

void frmMethod1::Command1_Click() {
    hide();
}

void frmMethod1::Command2_Click() {
    HideDetailPanel();
    emit hideDetailsRequested();
}

void frmMethod1::Command9_Click() {
    ShowDesign(
        [this](const QString& tamb, const QString& ambrh, const QString& location) {
            m_ui->txtTamb->setText(tamb);
            m_ui->txtAmbrh->setText(ambrh);
            m_designLocation = location;
        },
        [this] { ClearZoneResults(); }, this);
}
