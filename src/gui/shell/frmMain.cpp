#include "gui/shell/frmMain.h"

#include "ui_frmMain.h"

#include "gui/common/Accessibility.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/ScreenHelpers.h"

#include <QIcon>

namespace {

constexpr int kStatusPanelTwips = 2865;

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent), m_ui(new Ui::frmMain) {
    m_ui->setupUi(this);
    setFont(ScreenFont());
    setStyleSheet(QStringLiteral("#centralwidget { background: white; }"
                                 "#Line1 { background: rgb(224, 224, 224); }"
                                 "WrapButton { background: white; font-weight: bold; }"));
    m_ui->Line1->setFixedHeight(1);
    m_ui->Image1->setAccessibleName(QStringLiteral("Varnel Climate logo"));
    m_ui->Image1->setPixmap(QIcon(QStringLiteral(":/images/logo.svg"))
                                .pixmap(m_ui->Image1->size(), devicePixelRatioF()));
    for (QPushButton* button : {m_ui->Command1, m_ui->Command4}) {
        button->setFont(ScreenFont(8.25, true));
        button->setAccessibleName(button->text());
    }
    InstallStatusBar(this, kStatusPanelTwips);
    // A fixed single border: neither resizable nor minimisable or maximisable.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setTabOrder(m_ui->Command1, m_ui->Command4);
    PressButtonsOnEnter(this);
    connect(m_ui->Command4, &QPushButton::clicked, this, &frmMain::zoneRequested);
    connect(m_ui->Command1, &QPushButton::clicked, this, &frmMain::poolRequested);
    m_ui->Command1->setFocus(Qt::OtherFocusReason);
}

frmMain::~frmMain() = default;
