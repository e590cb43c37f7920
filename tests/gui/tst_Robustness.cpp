// Random but reproducible use of the real screens: typing anything anywhere,
// pressing any button or menu item that does not end the program, answering
// every message. After each action the screens must show no garbage.
#include "GuiTestSupport.h"

#include "gui/pool/frmMethod2.h"
#include "gui/shell/Application.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/zone/frmMethod1.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QRegularExpression kFixed2(QStringLiteral("^-?\\d+\\.\\d{2}$"));
const QRegularExpression kFixed4(QStringLiteral("^-?\\d+\\.\\d{4}$"));
const QRegularExpression kCount(QStringLiteral("^(-?\\d+\\.\\d|0)$"));
const QRegularExpression kGeneral(QStringLiteral("^-?\\d+(\\.\\d+)?(E[+-]\\d{2,3})?$"));
const QRegularExpression kWhole(QStringLiteral("^\\d+$"));

// The format each result field of either calculation screen is written in.
const QRegularExpression* FormatOf(const QString& name) {
    static const QHash<QString, const QRegularExpression*> formats = [] {
        QHash<QString, const QRegularExpression*> f;
        for (const char* n :
             {"txtpws1",        "txtpws2",    "txtpw1",      "txtpw2",        "txtv1",
              "txtV2",          "txtd1",      "txtd2",       "txth1",         "txth2",
              "txtDP",          "txtWBzone",  "txtVentGain", "txtPeopleGain", "txtInfilGain",
              "txtProcessGain", "txtTotGain", "txtMetGain",  "txtm1",         "txtm2",
              "txtTotalGain"}) {
            f.insert(QString::fromLatin1(n), &kFixed2);
        }
        f.insert(QStringLiteral("txtW1"), &kFixed4);
        f.insert(QStringLiteral("txtW2"), &kFixed4);
        for (const char* n : {"txt100s", "txt160s", "txt200s"}) {
            f.insert(QString::fromLatin1(n), &kCount);
        }
        for (const char* n :
             {"txtSwimPoolGain1", "txtRate100", "txtRate160", "txtRate200", "txtTotalOccupancy"}) {
            f.insert(QString::fromLatin1(n), &kGeneral);
        }
        f.insert(QStringLiteral("txtiter"), &kWhole);
        return f;
    }();
    return formats.value(name, nullptr);
}

QString RandomText(QRandomGenerator& rng) {
    static const QStringList pieces{
        QStringLiteral("0"),      QStringLiteral("7"),    QStringLiteral("28"),
        QStringLiteral("-"),      QStringLiteral("+"),    QStringLiteral("."),
        QStringLiteral("e"),      QStringLiteral("E5"),   QStringLiteral("1e400"),
        QStringLiteral(" "),      QStringLiteral("\t"),   QStringLiteral("abc"),
        QStringLiteral("°"),      QStringLiteral("é"),    QStringLiteral("漢"),
        QStringLiteral("100"),    QStringLiteral("0.5"),  QStringLiteral("-1e16"),
        QStringLiteral("1e-322"), QStringLiteral("50"),   QStringLiteral("inf"),
        QStringLiteral("nan"),    QStringLiteral("0x10"), QStringLiteral(",")};
    QString text;
    const int count = rng.bounded(1, 6);
    for (int i = 0; i < count; ++i) {
        text += pieces[rng.bounded(pieces.size())];
    }
    if (rng.bounded(40) == 0) {
        text = text.repeated(200 / qMax<qsizetype>(1, text.size()) + 1); // a very long text
    }
    return text;
}

// Types the text key by key, as a keyboard would, non-ASCII characters included.
void TypeText(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == QLatin1Char('\t') ? Qt::Key_Tab : Qt::Key_unknown,
                        Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
    }
}

} // namespace

class TestRobustness : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> m_program;
    // Open Job... and Save Job As... use one file here instead of asking.
    QTemporaryDir m_jobs;
    quint32 m_seed = 0;

    QList<QWidget*> workingScreens() {
        return {m_program->MainScreen(), m_program->screens().Zone(), m_program->screens().Pool()};
    }

    // Every visible top-level window the user could act on now.
    QList<QWidget*> openWindows() {
        QList<QWidget*> open;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && !qobject_cast<QMessageBox*>(w) && !qobject_cast<QMenu*>(w)) {
                open << w;
            }
        }
        return open;
    }

    void act(QRandomGenerator& rng, QWidget* home) {
        QList<QWidget*> windows = openWindows();
        if (!windows.contains(home)) {
            windows << home;
        }
        QWidget* window = rng.bounded(3) == 0 ? windows[rng.bounded(windows.size())] : home;
        const int kind = rng.bounded(10);
        if (kind < 6) {
            QList<QLineEdit*> fields;
            for (QLineEdit* f : window->findChildren<QLineEdit*>()) {
                if (f->isVisibleTo(window) && f->isEnabled() && !f->isReadOnly()) {
                    fields << f;
                }
            }
            if (fields.isEmpty()) {
                return;
            }
            QLineEdit* f = fields[rng.bounded(fields.size())];
            if (rng.bounded(2) == 0) {
                f->clear();
            }
            f->setFocus();
            TypeText(f, RandomText(rng));
            if (rng.bounded(4) == 0) {
                QTest::keyClick(f, Qt::Key_Return);
            }
        } else if (kind < 9) {
            QList<QPushButton*> buttons;
            for (QPushButton* b : window->findChildren<QPushButton*>()) {
                if (b->isVisibleTo(window) && b->isEnabled() && b->window() == window) {
                    buttons << b;
                }
            }
            if (!buttons.isEmpty()) {
                buttons[rng.bounded(buttons.size())]->click();
            }
        } else if (auto* main = qobject_cast<QMainWindow*>(window); main && main->menuBar()) {
            QList<QAction*> items;
            for (QAction* a : main->menuBar()->findChildren<QAction*>()) {
                // Exit ends the program; printing would fill the print queue.
                const QString name = a->objectName();
                if (!a->isSeparator() && !a->menu() && name != QLatin1String("mnuExit") &&
                    name != QLatin1String("mnuPrint") && !name.isEmpty()) {
                    items << a;
                }
            }
            if (!items.isEmpty()) {
                items[rng.bounded(items.size())]->trigger();
            }
        }
    }

    void checkScreens(int step) {
        for (QWidget* screen : {static_cast<QWidget*>(m_program->screens().Zone()),
                                static_cast<QWidget*>(m_program->screens().Pool())}) {
            for (QLineEdit* f : screen->findChildren<QLineEdit*>()) {
                const QString text = f->text();
                const QString where =
                    QStringLiteral("seed %1, step %2, %3.%4 = \"%5\"")
                        .arg(m_seed)
                        .arg(step)
                        .arg(screen->objectName(), f->objectName(), text.left(60));
                QVERIFY2(!text.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
                             !f->isReadOnly(),
                         qPrintable(where));
                QVERIFY2(!text.contains(QLatin1String("nan"), Qt::CaseInsensitive) ||
                             !f->isReadOnly(),
                         qPrintable(where));
                if (const QRegularExpression* format = FormatOf(f->objectName());
                    format && f->isReadOnly()) {
                    QVERIFY2(text.isEmpty() || format->match(text).hasMatch(), qPrintable(where));
                    QVERIFY2(text.size() <= 64, qPrintable(where));
                }
            }
        }
    }

private slots:
    void initTestCase() {
        bool ok = false;
        m_seed = qEnvironmentVariable("VARNELDH_ROBUSTNESS_SEED").toUInt(&ok);
        if (!ok) {
            m_seed = 20261208;
        }
        qInfo("robustness seed %u (set VARNELDH_ROBUSTNESS_SEED to repeat another)", m_seed);
        m_program = std::make_unique<Application>();
        m_program->SetFileChooser([this](QWidget*, bool, const QString&) {
            return m_jobs.filePath(QStringLiteral("random.vdhjob"));
        });
        m_program->SetProjectFileChooser([this](QWidget*, bool, const QString&) {
            return m_jobs.filePath(QStringLiteral("random.vdhproj"));
        });
        m_program->Start();
        QTest::mouseClick(m_program->Splash(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(m_program->MainScreen());
        m_program->screens().Zone()->show();
        m_program->screens().Pool()->show();
    }

    void cleanupTestCase() { m_program.reset(); }

    void randomUse_data() {
        QTest::addColumn<int>("screen");
        QTest::newRow("frmMain") << 0;
        QTest::newRow("frmMethod1") << 1;
        QTest::newRow("frmMethod2") << 2;
    }

    void randomUse() {
        QFETCH(int, screen);
        const int steps = qEnvironmentVariableIntValue("VARNELDH_ROBUSTNESS_STEPS") > 0
                              ? qEnvironmentVariableIntValue("VARNELDH_ROBUSTNESS_STEPS")
                              : 1500;
        ModalBoxAnswerer answerer;
        // The report's file and print dialogs are cancelled: a run must not
        // fill the disk or the print queue.
        QTimer cancelDialogs;
        connect(&cancelDialogs, &QTimer::timeout, this, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && !qobject_cast<QMessageBox*>(dialog) && dialog->isVisible())
                dialog->reject();
        });
        cancelDialogs.start(10);
        QRandomGenerator rng(m_seed + quint32(screen));
        QWidget* home = workingScreens()[screen];
        for (int step = 0; step < steps; ++step) {
            home->show();
            act(rng, home);
            QCoreApplication::processEvents();
            checkScreens(step);
            if (QTest::currentTestFailed()) {
                return;
            }
        }
        QVERIFY(m_program->MainScreen()->isVisible());
        qInfo("%d actions, %d messages answered", steps, int(answerer.seen().size()));
        // The run really reached the checks and the calculations.
        QVERIFY(screen == 0 || !answerer.seen().isEmpty());
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_Robustness.moc"
