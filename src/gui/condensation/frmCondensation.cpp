#include "gui/condensation/frmCondensation.h"

#include "ui_frmCondensation.h"

#include "core/common/NumberText.h"
#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Condensation;

frmCondensation::frmCondensation(QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmCondensation>()) {
    InstallAccessibility();
    setFont(ScreenFont());
    m_ui->setupUi(this);
    m_ui->lblInputsHeading->setFont(ScreenFont(8.25, true));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    PressButtonsOnEnter(this);

    // The entries keep no Enter rule: Enter in one reaches the window, which checks.
    SetEntryTexts(InitialTexts());
    for (const Entry& entry : kFields) {
        connect(Field(ToQString(entry.name)), &QLineEdit::textChanged, this,
                &frmCondensation::entriesChanged);
    }
    QString resistances;
    for (const ElementSpec& element : kElements) {
        const QString caption = ToQString(element.caption);
        findChild<QLabel*>(QStringLiteral("lblElement") + ToQString(element.key))->setText(caption);
        for (const ResultSpec& column : kColumns) {
            const QString unit = column.unit.empty()
                                     ? QString()
                                     : QStringLiteral(" (%1)").arg(ToQString(column.unit));
            QLineEdit* result = Field(ToQString(column.name) + ToQString(element.key));
            result->setAccessibleName(caption + QLatin1Char(' ') + ToQString(column.caption) +
                                      unit);
            // Read, not typed into: Tab goes from the entries to the buttons.
            result->setFocusPolicy(Qt::ClickFocus);
        }
        resistances += tr("%1 %2, ").arg(caption.toLower(),
                                         ToQString(NumberText::FormatFixed(element.rsi, 2)));
    }
    resistances.chop(2);
    m_ui->lblNote->setText(tr("Inside surface resistances (m2K/W) of EN ISO 6946 by the direction "
                              "of the heat flow: %1. Formulas and sources: Help, \"Condensation "
                              "check\".")
                               .arg(resistances));
    NameFieldsByCaptions(this);

    connect(m_ui->cmdCheck, &QPushButton::clicked, this, &frmCondensation::cmdCheck_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    Follow(std::nullopt);
    adjustSize();
}

frmCondensation::~frmCondensation() = default;

QLineEdit* frmCondensation::Field(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

Texts frmCondensation::EntryTexts() const {
    Texts texts;
    for (const Entry& entry : kFields) {
        texts.*entry.text = Field(ToQString(entry.name))->text().toStdString();
    }
    return texts;
}

void frmCondensation::SetEntryTexts(const Texts& texts) {
    for (const Entry& entry : kFields) {
        Field(ToQString(entry.name))->setText(ToQString(texts.*entry.text));
    }
}

void frmCondensation::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (!event->isAutoRepeat()) {
                m_ui->cmdCheck->click();
            }
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void frmCondensation::Follow(const std::optional<RoomAir>& room) {
    m_room = room;
    if (!room) {
        m_ui->lblRoom->setText(
            tr("No calculation has completed yet on this screen: press Calculate there first."));
    } else {
        auto num = [](double value, int decimals) {
            return ToQString(NumberText::FormatFixed(value, decimals));
        };
        m_ui->lblRoom->setText(tr("Room air of the last calculation: %1 °C and %2 %, dew point "
                                  "%3 °C.")
                                   .arg(ToQString(NumberText::FormatGeneral(room->temp)),
                                        ToQString(NumberText::FormatGeneral(room->rh)),
                                        num(room->dewPoint, 2)));
    }
    ShowChecks();
}

void frmCondensation::cmdCheck_Click() {
    if (!m_room) {
        ShowMessage(this, tr("There is no completed calculation to check yet. Please press "
                             "Calculate on the calculation screen first."));
        return;
    }
    const auto checks = Validate(EntryTexts());
    const FieldResolver resolve = [this](const QString& name) { return Field(name); };
    if (ApplyChecks(this, checks, resolve, true)) {
        // The figures of the entries before would stand beside the emptied one.
        m_inputs.reset();
        ShowChecks();
        return;
    }
    m_inputs = checks.inputs;
    ShowChecks();
}

void frmCondensation::ShowChecks() {
    if (!m_room || !m_inputs) {
        for (const ElementSpec& element : kElements) {
            for (const ResultSpec& column : kColumns) {
                Field(ToQString(column.name) + ToQString(element.key))->clear();
            }
        }
        return;
    }
    const auto checks = Check(*m_inputs, *m_room);
    for (std::size_t i = 0; i < kElements.size(); ++i) {
        const auto texts = RowTexts(checks[i]);
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            Field(ToQString(kColumns[c].name) + ToQString(kElements[i].key))
                ->setText(ToQString(texts[c]));
        }
    }
}

frmCondensation* ShowCondensationCheck(QWidget* screen,
                                       const std::function<void(frmCondensation*)>& made) {
    auto* window = screen->findChild<frmCondensation*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new frmCondensation(screen);
        if (made) {
            made(window);
        }
        PlaceOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
