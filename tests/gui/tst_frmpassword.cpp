#include "GuiTestSupport.h"

#include "gui/common/PictureButton.h"
#include "gui/common/Resources.h"
#include "gui/shell/frmpassword.h"

#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QtTest>

namespace {

// The stored password, put together at run time so that no source or program
// file holds it as one piece of text.
QString ThePassword() {
    return QStringLiteral("kelt") + QString::number(4729);
}

} // namespace

class TestPassword : public QObject {
    Q_OBJECT

private:
    int m_reveals = 0;
    QPointer<frmpassword> m_screen;

    frmpassword* open() {
        ShowPassword([this] { ++m_reveals; });
        const QList<QWidget*> found = TopLevelsNamed(QStringLiteral("frmpassword"));
        m_screen = found.size() == 1 ? qobject_cast<frmpassword*>(found.first()) : nullptr;
        return m_screen;
    }
    QLineEdit* field() const {
        return m_screen->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    }
    QPushButton* button(const char* name) const {
        return m_screen->findChild<QPushButton*>(QLatin1String(name));
    }
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { InitUiResources(); }
    void init() { m_reveals = 0; }
    void cleanup() {
        qDeleteAll(TopLevelsNamed(QStringLiteral("frmpassword")));
        settle();
    }

    void window() {
        frmpassword* screen = open();
        QVERIFY(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QCOMPARE(screen->windowTitle(), QStringLiteral("Password"));
        QCOMPARE(screen->size(), QSize(312, 228));
        // Centred, give or take the frame the platform adds around it.
        const QPoint offCentre =
            screen->frameGeometry().center() - screen->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QCOMPARE(screen->windowModality(), Qt::NonModal);
        QVERIFY(screen->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(screen->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(screen->minimumSize() != screen->maximumSize());
        QVERIFY(!screen->testAttribute(Qt::WA_QuitOnClose));

        const QList<QPair<const char*, const char*>> texts = {
            {"Label1", "By entering the correct password the psychrometric properties of the air "
                       "can be viewed within the program."},
            {"Label2", "This is intended for use by Varnel Employees only."},
            {"Label4", "Enter the correct password to procede or press cancel to close this "
                       "screen."},
            {"Label3", "Password:"},
        };
        for (const auto& [name, text] : texts) {
            auto* label = screen->findChild<QLabel*>(QLatin1String(name));
            QVERIFY2(label, name);
            QCOMPARE(label->text(), QString::fromLatin1(text));
        }
        const QFont heading = screen->findChild<QLabel*>(QStringLiteral("Label3"))->font();
        QCOMPARE(heading.pointSizeF(), 9.75);
        QVERIFY(heading.bold());
        QCOMPARE(button("cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("Cancel"));
        for (const char* name : {"cmdOK", "cmdClose"}) {
            QVERIFY2(!button(name)->icon().pixmap(QSize(16, 16)).isNull(), name);
            QVERIFY2(!button(name)->isDefault() && !button(name)->autoDefault(), name);
        }

        // Empty, masked with "*", and where the typing goes.
        QVERIFY(field()->text().isEmpty());
        QCOMPARE(field()->echoMode(), QLineEdit::Password);
        QCOMPARE(
            field()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field()),
            int('*'));
        QCOMPARE(QApplication::focusWidget(), field());
        const char* order[] = {"cmdOK", "cmdClose"};
        for (const char* name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button(name)));
        }
    }

    void noCaptionIsCutOff() {
        frmpassword* screen = open();
        QVERIFY(screen);
        for (QLabel* label : screen->findChildren<QLabel*>()) {
            const QByteArray name = label->objectName().toLatin1();
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), name);
            QVERIFY2(screen->rect().contains(label->geometry()), name);
        }
        // Each text ends a little above the next one starts, so that the
        // paragraphs do not run together.
        const char* stacked[] = {"Label1", "Label2", "Label4", "Label3"};
        for (std::size_t i = 1; i < std::size(stacked); ++i) {
            auto* upper = screen->findChild<QLabel*>(QLatin1String(stacked[i - 1]));
            auto* lower = screen->findChild<QLabel*>(QLatin1String(stacked[i]));
            const int end = upper->y() + upper->heightForWidth(upper->width());
            QVERIFY2(end + upper->fontMetrics().lineSpacing() / 3 <= lower->y(), stacked[i]);
        }
        // And the field and the buttons stand below the texts.
        auto* last = screen->findChild<QLabel*>(QStringLiteral("Label4"));
        QVERIFY(last->y() + last->heightForWidth(last->width()) < field()->y());
        for (auto* picture : screen->findChildren<PictureButton*>()) {
            const QByteArray name = picture->objectName().toLatin1();
            QVERIFY2(picture->sizeHint().width() <= picture->width(), name);
            QVERIFY2(picture->sizeHint().height() <= picture->height(), name);
        }
    }

    void refused_data() {
        QTest::addColumn<QString>("typed");
        const QString right = ThePassword();
        QString upper = right;
        upper[1] = upper[1].toUpper();
        QTest::newRow("one letter in upper case") << upper;
        QTest::newRow("all upper case") << right.toUpper();
        QTest::newRow("followed by a blank") << right + QLatin1Char(' ');
        QTest::newRow("after a blank") << QLatin1Char(' ') + right;
        QTest::newRow("one character short") << right.chopped(1);
        QTest::newRow("one character more") << right + QLatin1Char('0');
        QTest::newRow("empty") << QString();
    }

    void refused() {
        QFETCH(QString, typed);
        frmpassword* screen = open();
        QVERIFY(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QTest::keyClicks(field(), typed);
        QCOMPARE(field()->text(), typed);
        ModalBoxAnswerer answerer;
        for (int attempt = 0; attempt < 2; ++attempt) {
            QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
            // Back in the field with the text selected, so that typing replaces it.
            QTRY_COMPARE(QApplication::focusWidget(), field());
            QCOMPARE(field()->selectedText(), typed);
        }
        settle();
        QCOMPARE(answerer.seen().size(), 2);
        for (const ModalBoxAnswerer::Seen& seen : answerer.seen()) {
            QCOMPARE(seen.title, QStringLiteral("Varnel DH"));
            QCOMPARE(seen.text, QStringLiteral("Incorrect Password"));
            QCOMPARE(seen.icon, QMessageBox::Warning);
            QVERIFY(seen.hasOk);
            QCOMPARE(seen.buttonCount, 1);
        }
        QVERIFY(m_screen);
        QVERIFY(m_screen->isVisible());
        QCOMPARE(field()->text(), typed);
        QCOMPARE(m_reveals, 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
        QCOMPARE(field()->text(), QStringLiteral("x"));
    }

    void accepted() {
        frmpassword* screen = open();
        QVERIFY(screen);
        QTest::keyClicks(field(), ThePassword());
        ModalBoxAnswerer answerer;
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(m_reveals, 1);
        settle();
        QVERIFY(m_screen.isNull());
        QVERIFY(answerer.seen().isEmpty());
    }

    void keysPressNothing_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    // Even with the right password typed, Enter in the field and Escape anywhere
    // check nothing and close nothing. (Enter on a focused button presses it.)
    void keysPressNothing() {
        QFETCH(int, key);
        frmpassword* screen = open();
        QVERIFY(screen);
        QVERIFY(QTest::qWaitForWindowActive(screen));
        QTest::keyClicks(field(), ThePassword());
        ModalBoxAnswerer answerer;
        QList<QWidget*> targets{field()};
        if (key == Qt::Key_Escape)
            targets << button("cmdOK") << button("cmdClose");
        for (QWidget* target : targets) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key(key));
        }
        QTest::qWait(50);
        settle();
        QVERIFY(m_screen);
        QVERIFY(m_screen->isVisible());
        QCOMPARE(field()->text(), ThePassword());
        QCOMPARE(m_reveals, 0);
        QVERIFY(answerer.seen().isEmpty());
    }

    void cancel() {
        frmpassword* screen = open();
        QVERIFY(screen);
        QTest::keyClicks(field(), ThePassword());
        ModalBoxAnswerer answerer;
        QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
        settle();
        QVERIFY(m_screen.isNull());
        QCOMPARE(m_reveals, 0);
        QVERIFY(answerer.seen().isEmpty());
    }

    // Asked for again, the open screen comes forward with what was typed in it.
    void opensOnce() {
        frmpassword* first = open();
        QVERIFY(first);
        QTest::keyClicks(field(), QStringLiteral("abc"));
        first->showMinimized();
        QCOMPARE(open(), first);
        QVERIFY(!first->isMinimized());
        QCOMPARE(field()->text(), QStringLiteral("abc"));

        first->close();
        settle();
        frmpassword* second = open();
        QVERIFY(second);
        QVERIFY(field()->text().isEmpty());
    }

    // Only a digest of the password is kept: the clear text is in no source file
    // and not in the built library.
    void passwordNotInClear() {
        const QByteArray clear = ThePassword().toLatin1();
        QFile library(QStringLiteral(VARNELDH_GUI_LIBRARY));
        QVERIFY2(library.open(QIODevice::ReadOnly), VARNELDH_GUI_LIBRARY);
        const QByteArray built = library.readAll();
        // The file read is the one with the password check in it.
        QVERIFY(built.contains("frmpassword"));
        QVERIFY(!built.contains(clear));

        int files = 0;
        for (const char* folder : {"/src", "/tests"}) {
            QDirIterator it(QStringLiteral(VARNELDH_SOURCE_DIR) + QLatin1String(folder),
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile source(it.next());
                QVERIFY(source.open(QIODevice::ReadOnly));
                QVERIFY2(!source.readAll().contains(clear), qPrintable(source.fileName()));
                ++files;
            }
        }
        QVERIFY(files > 10);
    }
};

QTEST_MAIN(TestPassword)
#include "tst_frmpassword.moc"
