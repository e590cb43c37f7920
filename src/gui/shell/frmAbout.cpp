#include "gui/shell/frmAbout.h"

#include "gui/common/MessageBox.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/WindowPlacement.h"
#include "gui/shell/SysInfo.h"
#include "ui_frmAbout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QSvgRenderer>

namespace {

// The logo drawn at the size of its box, so that it stays sharp on any screen.
QPixmap LogoPixmap(const QSize& size, qreal pixelRatio) {
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/images/logo.svg"));
    if (!renderer.isValid())
        return {};
    QPainter painter(&pixmap);
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmAbout>()) {
    setFont(ScreenFont());
    ui->setupUi(this);
    ui->Label1->setFont(ScreenFont(9.75, true));
    // Captions start at the top of their boxes, so that neighbours of different
    // heights line up.
    for (QLabel* label : findChildren<QLabel*>())
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    setWindowTitle(QStringLiteral("About ") + AppTitle());
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(485, 192);
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends only when told to, never because this box was the last
    // window left open.
    setAttribute(Qt::WA_QuitOnClose, false);

    // White background, black text and a black rule.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    ui->Image1->setAccessibleName(QStringLiteral("Varnel Climate logo"));
    ui->Image1->setPixmap(LogoPixmap(ui->Image1->size(), devicePixelRatioF()));

    connect(ui->cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

frmAbout::~frmAbout() = default;

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    const QString program = SysInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        ShowMessage(this, QStringLiteral("System Information Is Unavailable At This Time"));
}

void ShowAbout(QWidget* parent) {
    static QPointer<frmAbout> box;
    if (!box) {
        // A window of its own, not a child of the screen it was asked from: it
        // may stay open whatever happens to that screen.
        box = new frmAbout;
        QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        if (screen)
            box->setGeometry(
                PlacedWithin(box->size(), box->minimumSize(), screen->availableGeometry()));
    }
    box->show();
    if (box->isMinimized())
        box->showNormal();
    box->raise();
    box->activateWindow();
}
