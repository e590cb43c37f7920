#include "gui/shell/frmSplash.h"

#include "gui/common/CaptionFit.h"
#include "gui/common/ScreenFont.h"
#include "ui_frmSplash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace {

// Arial where the system has it, else the faces that stand in for it.
QFont ArialFont(qreal pointSize, bool bold, bool italic) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

frmSplash::frmSplash(std::function<void()> writeDefaults, std::function<void()> showMain,
                     QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_ui(std::make_unique<Ui::frmSplash>()), Timer1(new QTimer(this)), Timer2(new QTimer(this)),
      m_writeDefaults(std::move(writeDefaults)), m_showMain(std::move(showMain)) {
    setFont(ScreenFont());
    m_ui->setupUi(this);
    setFixedSize(261, 261);
    setAttribute(Qt::WA_DeleteOnClose);
    // Its going is the hand-over, never the end of the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);
    m_ui->Frame1->setPalette(white);
    m_ui->Frame1->setAutoFillBackground(true);

    m_ui->Label3->setFont(ScreenFont(8.25, true));
    QFont heavy = ArialFont(24, true, true);
    heavy.setFamilies(QStringList{QStringLiteral("Arial Black")} + heavy.families());
    heavy.setWeight(QFont::Black);
    m_ui->Label1->setFont(heavy);
    m_ui->lblVersion->setFont(ArialFont(11.25, true, true));
    m_ui->Label2->setFont(ArialFont(6.75, false, false));
    m_ui->Label5->setFont(ArialFont(9, true, false));

    FitCaptions(this);

    m_ui->Image1->setAccessibleName(QStringLiteral("Varnel Climate logo"));
    m_ui->Image1->setPixmap(QIcon(QStringLiteral(":/images/logo.svg"))
                                .pixmap(m_ui->Image1->size(), devicePixelRatioF()));

    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer1->setInterval(500);
    Timer2->setInterval(20);
    // Twenty milliseconds a step, as near as the platform allows.
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);
    Timer1->start();
    Timer2->start();
}

frmSplash::frmSplash(std::function<void()> finish, QWidget* parent)
    : frmSplash(std::move(finish), std::function<void()>(), parent) {}

frmSplash::~frmSplash() {
    // The main screen comes once the splash has quite gone: on the next pass of
    // the event loop, and only if the splash went by handing over.
    if (m_finished && m_showMain)
        QMetaObject::invokeMethod(qApp, std::move(m_showMain), Qt::QueuedConnection);
}

void frmSplash::Timer2_Timer() {
    if (m_finished)
        return;
    QProgressBar* bar = m_ui->ProgressBar1;
    if (bar->value() < 100)
        bar->setValue(bar->value() + 1);
    else
        Finish();
}

void frmSplash::Timer1_Timer() {
    if (m_finished)
        return;
    m_ui->Label5->setHidden(!m_ui->Label5->isHidden());
}

void frmSplash::mousePressEvent(QMouseEvent* event) {
    // The labels, the picture and the bar pass their clicks up to here.
    event->accept();
    Finish();
}

void frmSplash::closeEvent(QCloseEvent* event) {
    // The window system may not close it (Alt+F4 and the like): nothing would
    // then ever show the next screen. The program itself, ending, still may.
    if (event->spontaneous() && !m_finished)
        event->ignore();
    else
        event->accept();
}

void frmSplash::Finish() {
    if (m_finished)
        return;
    m_finished = true;
    Timer1->stop();
    Timer2->stop();
    if (m_writeDefaults)
        m_writeDefaults();
    // Destroyed once control is back in the event loop. Closing again, if the
    // step closed it already, does no harm.
    close();
}
