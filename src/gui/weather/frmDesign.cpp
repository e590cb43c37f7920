#include "gui/weather/frmDesign.h"

#include "ui_frmDesign.h"

#include "gui/common/Accessibility.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The screens were laid out for a compact 8.25 pt sans serif; the condensed face
// keeps the bold captions inside their boxes where the wider faces would not.
QFont PickerFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

void SetBold(QLabel* label, bool bold) {
    // Every pointer move lands here; leave an unchanged label alone so that it is
    // not laid out and repainted again.
    if (label->font().bold() == bold)
        return;
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

} // namespace

namespace {

// A location reads as a label but acts as a button: a screen reader offers it as
// one and can press it.
class LocationAccessible : public QAccessibleWidget {
public:
    explicit LocationAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return static_cast<const QLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction()) {
            emit static_cast<LocationLabel*>(widget())->clicked();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

QAccessibleInterface* LocationAccessibleFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("LocationLabel") && object && object->isWidgetType()) {
        return new LocationAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

LocationLabel::LocationLabel(QWidget* parent) : QLabel(parent) {
    static const bool accessibleAsButton = [] {
        QAccessible::installFactory(LocationAccessibleFactory);
        return true;
    }();
    Q_UNUSED(accessibleAsButton);
    setTextFormat(Qt::PlainText); // the runs of blanks in the captions must survive
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleDescription(QStringLiteral("Click to use these design conditions"));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
}

void LocationLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void LocationLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release on the same label; sliding off cancels it.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void LocationLabel::mouseMoveEvent(QMouseEvent* event) {
    // Accepted, so that the move does not reach the tab page, which would take the
    // highlight straight off again.
    event->accept();
    emit hovered();
}

void LocationLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        if (!event->isAutoRepeat())
            emit clicked();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LocationLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The focus mark hugs the caption rather than the whole box, which is wider.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    const int captionWidth = fontMetrics().horizontalAdvance(text()) + 2;
    option.rect = contentsRect();
    option.rect.setWidth(std::min(captionWidth, option.rect.width()));
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

frmDesign::frmDesign(AmbientWriter writeAmbient, ResultsClearer clearZoneResults, QWidget* parent,
                     std::shared_ptr<WeatherMemory> memory)
    : QWidget(parent, Qt::Tool), m_ui(std::make_unique<Ui::frmDesign>()),
      m_writeAmbient(std::move(writeAmbient)), m_clearZoneResults(std::move(clearZoneResults)),
      m_memory(memory ? std::move(memory) : std::make_shared<WeatherMemory>()) {
    InstallAccessibility();
    setFont(PickerFont());
    m_ui->setupUi(this);
    // Opened from the zone screen, the picker lives under that screen's style
    // sheet, where a child keeps only a font given to it directly.
    for (QWidget* child : findChildren<QWidget*>()) {
        QFont font = PickerFont();
        font.setBold(child->font().bold());
        child->setFont(font);
    }
    PressButtonsOnEnter(this);
    setFixedSize(size());
    // Closing destroys the picker, so that each opening starts afresh; it never
    // ends the program.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    for (LocationLabel* label : Locations()) {
        label->setAccessibleName(label->text());
        connect(label, &LocationLabel::hovered, this, [this, label] { Location_MouseMove(label); });
    }

    // Pointer moves over the tab control outside the labels take every highlight
    // off; the pages and the tab strip report them only when tracking is on.
    QWidget* const tabControl[] = {m_ui->SSTab1,           m_ui->SSTab1->tabBar(),
                                   m_ui->tabUnitedKingdom, m_ui->tabMiddleEast,
                                   m_ui->tabWeatherFile,   m_ui->scrWeatherPoints->viewport(),
                                   m_ui->fraWeatherPoints};
    for (QWidget* part : tabControl) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
    }

    connect(m_ui->Label2, &LocationLabel::clicked, this, &frmDesign::Label2_Click);
    connect(m_ui->Label3, &LocationLabel::clicked, this, &frmDesign::Label3_Click);
    connect(m_ui->Label4, &LocationLabel::clicked, this, &frmDesign::Label4_Click);
    connect(m_ui->Label5, &LocationLabel::clicked, this, &frmDesign::Label5_Click);
    connect(m_ui->Label6, &LocationLabel::clicked, this, &frmDesign::Label6_Click);
    connect(m_ui->Label7, &LocationLabel::clicked, this, &frmDesign::Label7_Click);
    connect(m_ui->Label8, &LocationLabel::clicked, this, &frmDesign::Label8_Click);
    connect(m_ui->Label9, &LocationLabel::clicked, this, &frmDesign::Label9_Click);
    connect(m_ui->Label10, &LocationLabel::clicked, this, &frmDesign::Label10_Click);
    connect(m_ui->Label11, &LocationLabel::clicked, this, &frmDesign::Label11_Click);
    connect(m_ui->Command1, &QToolButton::clicked, this, &frmDesign::Command1_Click);
    connect(m_ui->cmdOpenWeather, &QPushButton::clicked, this, &frmDesign::cmdOpenWeather_Click);

    auto* rows = new QVBoxLayout(m_ui->fraWeatherPoints);
    rows->setContentsMargins(4, 0, 0, 0);
    rows->setSpacing(0);
    if (m_memory->weather)
        ShowWeather();
}

frmDesign::~frmDesign() = default;

std::array<LocationLabel*, 10> frmDesign::Locations() const {
    return {m_ui->Label2, m_ui->Label3, m_ui->Label4, m_ui->Label5,  m_ui->Label6,
            m_ui->Label7, m_ui->Label8, m_ui->Label9, m_ui->Label10, m_ui->Label11};
}

void frmDesign::Label2_Click() {
    PickLocation(m_ui->Label2, kDesignLocations[0]);
}
void frmDesign::Label3_Click() {
    PickLocation(m_ui->Label3, kDesignLocations[1]);
}
void frmDesign::Label4_Click() {
    PickLocation(m_ui->Label4, kDesignLocations[2]);
}
void frmDesign::Label5_Click() {
    PickLocation(m_ui->Label5, kDesignLocations[3]);
}
void frmDesign::Label6_Click() {
    PickLocation(m_ui->Label6, kDesignLocations[4]);
}
void frmDesign::Label7_Click() {
    PickLocation(m_ui->Label7, kDesignLocations[5]);
}
void frmDesign::Label8_Click() {
    PickLocation(m_ui->Label8, kDesignLocations[6]);
}
void frmDesign::Label9_Click() {
    PickLocation(m_ui->Label9, kDesignLocations[7]);
}
void frmDesign::Label10_Click() {
    PickLocation(m_ui->Label10, kDesignLocations[8]);
}
void frmDesign::Label11_Click() {
    PickLocation(m_ui->Label11, kDesignLocations[9]);
}

void frmDesign::PickLocation(const LocationLabel* location, const DesignLocation& values) {
    const QString tamb = ToQString(values.ambientTemp);
    const QString ambrh = ToQString(values.ambientRh);
    // close() schedules this window's deletion; hold our own copy of the last
    // step so that it does not depend on members of a window on its way out.
    const ResultsClearer clearZoneResults = m_clearZoneResults;
    if (m_writeAmbient)
        m_writeAmbient(tamb, ambrh, location->text().simplified());
    close();
    if (clearZoneResults)
        clearZoneResults();
}

void frmDesign::Location_MouseMove(LocationLabel* hovered) {
    // Only the labels of the hovered label's own tab change.
    for (LocationLabel* label : findChildren<LocationLabel*>()) {
        if (label->parentWidget() == hovered->parentWidget())
            SetBold(label, label == hovered);
    }
}

void frmDesign::SSTab1_MouseMove() {
    for (LocationLabel* label : findChildren<LocationLabel*>())
        SetBold(label, false);
}

void frmDesign::cmdOpenWeather_Click() {
    const QString path = ChooseWeatherFile(this);
    if (!path.isEmpty())
        OpenWeatherFile(path);
}

bool frmDesign::OpenWeatherFile(const QString& path) {
    std::shared_ptr<const LoadedWeather> loaded = LoadWeatherFile(this, path);
    if (!loaded)
        return false;
    m_memory->weather = std::move(loaded);
    ShowWeather();
    return true;
}

void frmDesign::ShowWeather() {
    const LoadedWeather& weather = *m_memory->weather;
    m_ui->lblStation->setText(QString::fromStdString(Weather::StationLine(weather.file.station)));
    m_ui->lblStation->setToolTip(weather.path);
    QLayout* rows = m_ui->fraWeatherPoints->layout();
    for (LocationLabel* old : m_ui->fraWeatherPoints->findChildren<LocationLabel*>())
        delete old;
    while (QLayoutItem* item = rows->takeAt(0))
        delete item;
    QWidget* previous = m_ui->cmdOpenWeather;
    for (std::size_t i = 0; i < weather.points.size(); ++i) {
        const Weather::DesignPoint& point = weather.points[i];
        auto* row = new LocationLabel(m_ui->fraWeatherPoints);
        row->setObjectName(QStringLiteral("lblPoint%1").arg(i + 1));
        QString text = QString::fromStdString(point.caption);
        if (point.fromFileYear)
            text += QStringLiteral(" (%1)").arg(QString::fromLatin1(Weather::kFromFileYear));
        row->setText(text);
        row->setAccessibleName(text);
        row->setFont(PickerFont());
        row->setFixedHeight(17);
        rows->addWidget(row);
        row->show();
        connect(row, &LocationLabel::hovered, this, [this, row] { Location_MouseMove(row); });
        connect(row, &LocationLabel::clicked, this, [this, i] { PickWeatherPoint(i); });
        setTabOrder(previous, row);
        previous = row;
    }
    if (weather.points.empty()) {
        auto* none =
            new QLabel(QStringLiteral("This file has no design points."), m_ui->fraWeatherPoints);
        none->setObjectName(QStringLiteral("lblNoPoints"));
        none->setFont(PickerFont());
        rows->addWidget(none);
        none->show();
    }
    static_cast<QVBoxLayout*>(rows)->addStretch();
    // Laid out now, so that the rows stand where the pointer finds them.
    rows->activate();
}

void frmDesign::PickWeatherPoint(std::size_t point) {
    // The memory may take another file later; keep this one for the texts.
    const std::shared_ptr<const LoadedWeather> weather = m_memory->weather;
    const Weather::DesignPoint& p = weather->points.at(point);
    const ResultsClearer clearZoneResults = m_clearZoneResults;
    if (m_writeAmbient)
        m_writeAmbient(QString::fromStdString(p.ambientTempText),
                       QString::fromStdString(p.ambientRhText), DesignPointLocation(*weather, p));
    close();
    if (clearZoneResults)
        clearZoneResults();
}

void frmDesign::Command1_Click() {
    close();
}

bool frmDesign::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove)
        SSTab1_MouseMove();
    return QWidget::eventFilter(watched, event);
}

void frmDesign::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

frmDesign* ShowDesign(frmDesign::AmbientWriter writeAmbient,
                      frmDesign::ResultsClearer clearZoneResults, QWidget* opener,
                      std::shared_ptr<WeatherMemory> memory) {
    static QPointer<frmDesign> picker;
    if (!picker) {
        picker = new frmDesign(std::move(writeAmbient), std::move(clearZoneResults), opener,
                               std::move(memory));
        // The client area is centred: the frame is not known until the window
        // manager has wrapped the shown window.
        QScreen* screen = opener ? opener->screen() : QGuiApplication::primaryScreen();
        if (screen)
            picker->setGeometry(
                PlacedWithin(picker->size(), picker->size(), screen->availableGeometry()));
    }
    picker->show();
    picker->raise();
    picker->activateWindow();
    return picker;
}
