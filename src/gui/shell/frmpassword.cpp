#include "gui/shell/frmpassword.h"

#include "gui/common/Accessibility.h"
#include "gui/common/CaptionFit.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "ui_frmpassword.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>

namespace {

// Only the SHA-256 digest of the password is kept, so that it cannot be read
// out of the program file.
constexpr char kPasswordDigest[] =
    "37649848b25849b4975dfe040254bac940346cab506cf0908a06eaeb39054b6f";

} // namespace

frmpassword::frmpassword(std::function<void()> reveal, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmpassword>()),
      m_reveal(std::move(reveal)) {
    InstallAccessibility();
    setFont(ScreenFont());
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(312, 228);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);

    m_ui->Label3->setFont(ScreenFont(9.75, true));
    FitCaptions(this);
    // With a wider face the first paragraph takes a third line; the one-line
    // sentence below it then moves down within its box so as not to join it.
    const int gap = fontMetrics().lineSpacing() / 2;
    const int below = m_ui->Label1->geometry().bottom() + 1 + gap;
    if (m_ui->Label2->y() < below)
        m_ui->Label2->move(m_ui->Label2->x(), below);

    // Every character shows as "*", whatever the style would use.
    m_ui->txtPassword->setEchoMode(QLineEdit::Password);
    m_ui->txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    SuppressEnterKey(m_ui->txtPassword);

    m_ui->cmdOK->setIcon(QIcon(QStringLiteral(":/images/key.svg")));
    m_ui->cmdClose->setIcon(QIcon(QStringLiteral(":/images/cross.svg")));
    // Neither is the default or the cancel button: Enter presses a button only
    // when it has the focus, Escape never.
    PressButtonsOnEnter(this);

    setTabOrder(m_ui->txtPassword, m_ui->cmdOK);
    setTabOrder(m_ui->cmdOK, m_ui->cmdClose);
    m_ui->txtPassword->setFocus(Qt::OtherFocusReason);

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmpassword::cmdOK_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmpassword::cmdClose_Click);
}

frmpassword::~frmpassword() = default;

bool frmpassword::IsPassword(const QString& text) {
    const QByteArray digest =
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex();
    return digest == kPasswordDigest;
}

void frmpassword::cmdOK_Click() {
    if (!IsPassword(m_ui->txtPassword->text())) {
        ShowMessage(this, QStringLiteral("Incorrect Password"), QMessageBox::Warning);
        // Back to the field, its text selected so that the next try replaces it;
        // the window takes the keyboard back also where no window manager hands
        // it over when the box goes.
        m_ui->txtPassword->setFocus(Qt::OtherFocusReason);
        m_ui->txtPassword->selectAll();
        activateWindow();
        return;
    }
    if (m_reveal)
        m_reveal();
    close();
}

void frmpassword::cmdClose_Click() {
    close();
}

void ShowPassword(std::function<void()> reveal, QWidget* parent) {
    static QPointer<frmpassword> screen;
    if (!screen) {
        // A window of its own: it may stay open whatever happens to the screen
        // it was asked from.
        screen = new frmpassword(std::move(reveal));
        QScreen* display = parent ? parent->screen() : QGuiApplication::primaryScreen();
        if (display)
            screen->setGeometry(
                PlacedWithin(screen->size(), screen->minimumSize(), display->availableGeometry()));
    }
    screen->show();
    if (screen->isMinimized())
        screen->showNormal();
    screen->raise();
    screen->activateWindow();
}
