#include "gui/pool/frmEvapMethods.h"

#include "ui_frmEvapMethods.h"

#include "core/common/NumberText.h"
#include "core/pool/EvaporationMethods.h"
#include "gui/common/Accessibility.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "gui/pool/frmMethod2.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

using namespace EvaporationMethods;

namespace {

QString Num(double value) {
    return ToQString(NumberText::FormatGeneral(value));
}

} // namespace

frmEvapMethods::frmEvapMethods(QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmEvapMethods>()) {
    InstallAccessibility();
    setFont(ScreenFont());
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    PressButtonsOnEnter(this);

    for (const PoolTypeSpec& type : kPoolTypes) {
        m_ui->cmbPoolType->addItem(ToQString(type.caption), static_cast<int>(type.type));
        if (type.type == kDefaultPoolType) {
            m_ui->cmbPoolType->setCurrentIndex(m_ui->cmbPoolType->count() - 1);
        }
    }
    // Each figure is announced with its method and its column.
    for (const Method method : kMethods) {
        const QString key = ToQString(KeyOf(method));
        const QString caption = ToQString(CaptionOf(method));
        findChild<QLabel*>(QStringLiteral("lblMethod") + key)->setText(caption);
        for (const ResultSpec& column : kFigureColumns) {
            auto* field =
                findChild<QLineEdit*>(QStringLiteral("txt") + ToQString(column.name) + key);
            const QString unit = column.unit.empty()
                                     ? QString()
                                     : QStringLiteral(" (%1)").arg(ToQString(column.unit));
            field->setAccessibleName(caption + QLatin1Char(' ') + ToQString(column.caption) + unit);
            // Read, not typed into: Tab goes from the pool type to Close.
            field->setFocusPolicy(Qt::ClickFocus);
        }
    }

    NameFieldsByCaptions(this);

    connect(m_ui->cmbPoolType, &QComboBox::currentIndexChanged, this,
            &frmEvapMethods::cmbPoolType_Change);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    Follow(std::nullopt);
    adjustSize();
}

frmEvapMethods::~frmEvapMethods() = default;

void frmEvapMethods::Follow(const std::optional<CalcReport::PoolRun>& run) {
    m_run = run;
    ShowFigures();
}

void frmEvapMethods::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

PoolType frmEvapMethods::ChosenPoolType() const {
    return static_cast<PoolType>(m_ui->cmbPoolType->currentData().toInt());
}

void frmEvapMethods::cmbPoolType_Change() {
    ShowFigures();
    emit poolTypeChosen();
}

void frmEvapMethods::ShowFigures() {
    if (!m_run) {
        m_ui->lblRun->setText(
            tr("No pool calculation has completed yet: press Calculate on the pool screen."));
        for (QLineEdit* field : findChildren<QLineEdit*>()) {
            field->clear();
        }
        for (QLabel* reason : findChildren<QLabel*>()) {
            if (reason->objectName().startsWith(QLatin1String("lblReason"))) {
                reason->clear();
                reason->hide();
            }
        }
        return;
    }
    const PoolInputs& in = m_run->inputs;
    m_ui->lblRun->setText(tr("Last pool calculation: room air %1 °C and %2 %, water %3 °C, "
                             "%4 m2 of water, %5 people using the pool, %6 not using it.")
                              .arg(Num(in.roomTemp), Num(in.roomRh), Num(in.poolTemp), Num(in.area),
                                   Num(in.bathers), Num(in.spectators)));
    for (const Figure& figure : Compare(in, m_run->result.numbers, ChosenPoolType())) {
        const QString key = ToQString(KeyOf(figure.method));
        const bool inRange = figure.outOfRange.empty();
        const auto texts = FigureTexts(figure);
        for (std::size_t i = 0; i < kFigureColumns.size(); ++i) {
            auto* field = findChild<QLineEdit*>(QStringLiteral("txt") +
                                                ToQString(kFigureColumns[i].name) + key);
            field->setText(ToQString(texts[i]));
            // Greyed, not hidden: the figure still says what the method would give.
            field->setEnabled(inRange);
            field->setToolTip(ToQString(figure.outOfRange));
        }
        findChild<QLabel*>(QStringLiteral("lblMethod") + key)->setEnabled(inRange);
        auto* reason = findChild<QLabel*>(QStringLiteral("lblReason") + key);
        reason->setText(ToQString(figure.outOfRange));
        reason->setEnabled(false);
        reason->setVisible(!inRange);
    }
    // A reason shown takes lines of its own: the window grows to show them whole.
    layout()->activate();
    const int needed = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
    if (needed > height()) {
        resize(width(), needed);
    }
}

frmEvapMethods* ShowEvaporationMethods(frmMethod2* pool) {
    auto* window = pool->findChild<frmEvapMethods*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new frmEvapMethods(pool);
        window->Follow(pool->LastRun());
        QObject::connect(pool, &frmMethod2::lastRunChanged, window,
                         [window, pool] { window->Follow(pool->LastRun()); });
        QObject::connect(window, &frmEvapMethods::poolTypeChosen, pool,
                         &frmMethod2::evaporationPoolTypeChanged);
        PlaceOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

PoolType EvaporationPoolType(const frmMethod2* pool) {
    const auto* window = pool->findChild<frmEvapMethods*>(QString(), Qt::FindDirectChildrenOnly);
    return window ? window->ChosenPoolType() : kDefaultPoolType;
}
