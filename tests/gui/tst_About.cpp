#include "GuiTestSupport.h"

#include "gui/common/PictureButton.h"
#include "gui/common/Resources.h"
#include "gui/shell/AppInfo.h"
#include "gui/shell/frmAbout.h"

#include <QLabel>
#include <QPointer>
#include <QStyleOptionButton>
#include <QSvgRenderer>
#include <QtTest>

namespace {

frmAbout* OpenAbout() {
    ShowAbout(nullptr);
    const QList<QWidget*> boxes = TopLevelsNamed(QStringLiteral("frmAbout"));
    return boxes.size() == 1 ? qobject_cast<frmAbout*>(boxes.first()) : nullptr;
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitUiResources(); }
    void cleanup() { qDeleteAll(TopLevelsNamed(QStringLiteral("frmAbout"))); }

    void pictures();
    void window();
    void texts();
    void noCaptionIsCutOff();
    void closesAndIsDestroyed_data();
    void closesAndIsDestroyed();
    void opensOnce();
};

void TestAbout::pictures() {
    for (const char* name : {"logo", "calculator", "cross", "ok", "sysinfo", "app-icon", "key"}) {
        const QString path = QStringLiteral(":/images/%1.svg").arg(QLatin1String(name));
        QVERIFY2(QSvgRenderer(path).isValid(), name);
        QVERIFY2(!QIcon(path).pixmap(QSize(16, 16)).isNull(), name);
    }

    frmAbout* box = OpenAbout();
    QVERIFY(box);
    // The logo is drawn, not just allocated: a good part of it is not transparent.
    const QImage logo = box->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().toImage();
    QVERIFY(!logo.isNull());
    int drawn = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x)
            drawn += qAlpha(logo.pixel(x, y)) > 0 ? 1 : 0;
    }
    QVERIFY(drawn > logo.width() * logo.height() / 10);
    for (auto* button : box->findChildren<PictureButton*>())
        QVERIFY(!button->icon().pixmap(button->iconSize()).isNull());
}

void TestAbout::window() {
    frmAbout* box = OpenAbout();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("About Varnel DH"));
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    // Fixed 7275 x 2880 twips, without minimise and maximise buttons.
    QCOMPARE(box->size(), QSize(485, 192));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QVERIFY(!(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(!box->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(box->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(box->findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
}

void TestAbout::texts() {
    const QList<QPair<const char*, const char*>> expected = {
        {"Label1", "Varnel  DH"},
        {"lblVersion", "Version 2.0"},
        {"Label2", "Varnel Climate Ltd"},
        {"Label3", "Unit 7, Fenwick Park"},
        {"Label4", "Mill Lane"},
        {"Label5", "Hallowmere"},
        {"Label6", "QV7 3DH"},
        {"Label7", "Tel. 01632 960 214"},
        {"Label8", "Fax. 01632 960 215"},
        {"Label9", "E-mail: info@varnel.example"},
        {"Label11", "www.varnel.example"},
        {"Label10", "This software is intended as guide for calculating the number of Varnel "
                    "Dehumidifier Units for the control of moisture in a building zone. Varnel "
                    "Climate Ltd accept no responsibility for the accuracy of these calculations "
                    "in any way."},
        {"cmdOK", "OK"},
        {"cmdSysInfo", "System Info..."},
    };
    frmAbout* box = OpenAbout();
    QVERIFY(box);
    for (const auto& [name, text] : expected) {
        QWidget* widget = box->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(widget, name);
        const auto* label = qobject_cast<QLabel*>(widget);
        const QString shown = label ? label->text() : qobject_cast<QPushButton*>(widget)->text();
        QCOMPARE(shown, QString::fromLatin1(text));
        const bool heading = qstrcmp(name, "Label1") == 0;
        QCOMPARE(widget->font().pointSizeF(), heading ? 9.75 : 8.25);
        QCOMPARE(widget->font().bold(), heading);
    }
    // The form's text is fixed; a new project version needs it changed by hand.
    QCOMPARE(
        box->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
        QStringLiteral("Version %1.%2").arg(VARNELDH_VERSION_MAJOR).arg(VARNELDH_VERSION_MINOR));
}

void TestAbout::noCaptionIsCutOff() {
    frmAbout* box = OpenAbout();
    QVERIFY(box);
    for (QLabel* label : box->findChildren<QLabel*>()) {
        const QByteArray name = label->objectName().toLatin1();
        if (label->wordWrap()) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), name);
        } else if (!label->text().isEmpty()) {
            QVERIFY2(label->sizeHint().width() <= label->width(), name);
            QVERIFY2(label->sizeHint().height() <= label->height(), name);
        }
        QVERIFY2(box->rect().contains(label->geometry()), name);
    }
    // Picture above caption, both inside the button's frame.
    for (auto* button : box->findChildren<PictureButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect inside =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFontMetrics metrics = button->fontMetrics();
        const QByteArray name = button->objectName().toLatin1();
        QVERIFY2(metrics.horizontalAdvance(button->text()) <= inside.width(), name);
        QVERIFY2(button->iconSize().height() + metrics.height() <= inside.height(), name);
        QVERIFY2(box->rect().contains(button->geometry()), name);
    }
}

void TestAbout::closesAndIsDestroyed_data() {
    QTest::addColumn<int>("key"); // 0: press OK, -1: the close box
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("OK") << 0;
    QTest::newRow("close box") << -1;
}

void TestAbout::closesAndIsDestroyed() {
    QFETCH(int, key);
    QPointer<frmAbout> box = OpenAbout();
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    if (key > 0)
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box.data(), Qt::Key(key));
    else if (key == 0)
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    else
        box->close();
    QTRY_VERIFY(box.isNull());
}

void TestAbout::opensOnce() {
    QPointer<frmAbout> first = OpenAbout();
    QVERIFY(first);
    first->hide();
    QCOMPARE(OpenAbout(), first.data());
    QVERIFY(first->isVisible());

    // Once closed, the next request makes a new box.
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(OpenAbout());
}

QTEST_MAIN(TestAbout)
#include "tst_About.moc"
