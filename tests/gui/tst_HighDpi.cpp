// Every window at the scale it is run with (ctest runs it at QT_SCALE_FACTOR=2):
// no caption is cut off, and the pictures are drawn for the screen's pixel
// density rather than blown up. With VARNELDH_SCREENSHOT_DIR set, each window is
// saved there as highdpi-<case>.png.

#include "GuiTestSupport.h"

#include "gui/common/PictureButton.h"
#include "gui/common/Resources.h"
#include "gui/common/WindowPlacement.h"
#include "gui/common/WrapButton.h"
#include "gui/condensation/frmCondensation.h"
#include "gui/pool/frmEvapMethods.h"
#include "gui/pool/frmMethod2.h"
#include "gui/project/frmProject.h"
#include "gui/report/ProjectReportLinks.h"
#include "gui/report/frmProjectReport.h"
#include "gui/shell/ReportLinks.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmAbout.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/shell/frmpassword.h"
#include "gui/weather/frmDesign.h"
#include "gui/zone/frmMethod1.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QString Where(const QWidget* widget) {
    const QString name = widget->objectName();
    return name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name;
}

QString Problem(const QWidget* widget, const QString& text, const QSize& needed,
                const QSize& given) {
    return QStringLiteral("%1 \"%2\" needs %3x%4 but has %5x%6")
        .arg(Where(widget), text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(given.width())
        .arg(given.height());
}

// The box a button's caption (and a picture beside or above it) takes up. The
// style's own padding and the minimum width it gives captioned buttons are left
// out: the screens' buttons are smaller than that by design, and a caption is
// cut off only where it runs into the button's frame.
QSize CaptionBox(const QPushButton* button) {
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (button->icon().isNull())
        return text;
    const QSize picture = button->iconSize();
    if (qobject_cast<const PictureButton*>(button))
        return QSize(qMax(text.width(), picture.width()), text.height() + 2 + picture.height());
    // QPushButton leaves 4 pixels between picture and caption.
    return QSize(text.width() + 4 + picture.width(), qMax(text.height(), picture.height()));
}

// Inside the frame the style draws around a button.
QRect InsideFrame(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    return button->rect().adjusted(frame, frame, -frame, -frame);
}

void CheckLabel(const QLabel* label, QStringList& problems) {
    if (label->text().isEmpty())
        return;
    if (label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            problems << Problem(label, label->text(), QSize(label->width(), needed), label->size());
        return;
    }
    const QSize needed = label->sizeHint();
    if (needed.width() > label->width() || needed.height() > label->height())
        problems << Problem(label, label->text(), needed, label->size());
}

void CheckButton(const QPushButton* button, QStringList& problems) {
    if (button->text().isEmpty())
        return;
    const QRect inside = InsideFrame(button);
    if (qobject_cast<const WrapButton*>(button)) {
        // Wrapped inside the area its painting uses.
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect area = button->style()
                               ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                               .adjusted(4, 4, -4, -4);
        const QRect needed = button->fontMetrics().boundingRect(
            area, Qt::AlignCenter | Qt::TextWordWrap, button->text());
        if (!inside.contains(needed))
            problems << Problem(button, button->text(), needed.size(), inside.size());
        return;
    }
    const QSize needed = CaptionBox(button);
    if (needed.width() > inside.width() || needed.height() > inside.height())
        problems << Problem(button, button->text(), needed, inside.size());
}

void CheckGroupBox(const QGroupBox* box, QStringList& problems) {
    if (box->title().isEmpty())
        return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QSize needed = box->fontMetrics().size(Qt::TextShowMnemonic, box->title());
    if (!box->rect().contains(title) || title.width() < needed.width())
        problems << Problem(box, box->title(), needed, box->rect().intersected(title).size());
}

// The captions of what shows now.
void CheckCaptions(QWidget* window, QStringList& problems) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget))
            CheckLabel(label, problems);
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            CheckButton(button, problems);
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            CheckGroupBox(box, problems);
    }
}

// A picture drawn at one pixel per logical pixel looks blurred at twice the
// density; the program draws its SVGs at the window's ratio instead.
void CheckPictures(QWidget* window, QStringList& problems) {
    const qreal ratio = window->devicePixelRatioF();
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QPixmap picture = label->pixmap();
        if (picture.isNull() || !label->isVisibleTo(window))
            continue;
        if (picture.devicePixelRatio() < ratio) {
            problems << QStringLiteral("%1's picture is drawn at ratio %2 on a screen of %3")
                            .arg(Where(label))
                            .arg(picture.devicePixelRatio())
                            .arg(ratio);
        }
    }
}

void SaveScreenshot(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("VARNELDH_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(QStringLiteral("highdpi-%1.png").arg(name));
    QVERIFY2(window->grab().save(path), qPrintable(path));
    qInfo("saved %s", qPrintable(path));
}

// A window made for one case, and what must live as long as it.
struct Opened {
    std::unique_ptr<Screens> screens;
    std::unique_ptr<QWidget> owned;
    QPointer<QWidget> window;
};

using Opener = std::function<void(Opened&)>;

QWidget* OnlyTopLevel(const char* name) {
    const QList<QWidget*> found = TopLevelsNamed(QString::fromLatin1(name));
    return found.size() == 1 ? found.first() : nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestHighDpi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InitUiResources();
        qInfo("device pixel ratio %g", qApp->devicePixelRatio());
    }

    void cleanup() {
        // The boxes opened through their Show... functions close themselves away.
        for (const char* name : {"frmAbout", "frmDesign", "frmpassword", "frmSplash"}) {
            for (QWidget* window : TopLevelsNamed(QString::fromLatin1(name)))
                delete window;
        }
    }

    void windowsAtThisScale_data() {
        QTest::addColumn<Opener>("open");
        QTest::newRow("frmSplash") << Opener([](Opened& o) {
            o.window = new frmSplash([] {}, [] {});
            o.window->show();
        });
        QTest::newRow("frmMain") << Opener([](Opened& o) {
            o.owned = std::make_unique<frmMain>();
            o.window = o.owned.get();
            o.window->show();
        });
        QTest::newRow("frmMethod1") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.window = o.screens->Zone();
            o.window->show();
        });
        QTest::newRow("frmMethod1-details") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.window = o.screens->Zone();
            o.window->show();
            o.screens->RevealDetails();
        });
        QTest::newRow("frmMethod2") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Pool()->ShowStandalone();
            o.window = o.screens->Pool();
        });
        QTest::newRow("frmMethod2-estimator") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Zone()->show();
            o.screens->EstimatePoolGain(QStringLiteral("28"), QStringLiteral("60"));
            o.window = o.screens->Pool();
        });
        QTest::newRow("frmMethod2-details") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Pool()->ShowStandalone();
            o.screens->RevealDetails();
            o.window = o.screens->Pool();
        });
        // The report and the chart of a completed run, from their screen.
        QTest::newRow("frmReport") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Zone()->show();
            o.screens->Zone()->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
            OpenReport(o.screens->Zone());
            o.window = o.screens->Zone()->findChild<QWidget*>(QStringLiteral("frmReport"));
        });
        QTest::newRow("frmChart") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Zone()->show();
            o.screens->Zone()->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
            OpenChart(o.screens->Zone());
            o.window = o.screens->Zone()->findChild<QWidget*>(QStringLiteral("frmChart"));
        });
        // A project's report, from the project window over the main screen.
        QTest::newRow("frmProjectReport") << Opener([](Opened& o) {
            o.owned = std::make_unique<frmMain>();
            o.owned->show();
            auto* project = new frmProject(frmProject::FileChooser{}, o.owned.get());
            Project rooms;
            rooms.rooms = {{"Hall", 2, SizeChoice::Fewest, ZoneJob(InitialZoneTexts())}};
            project->SetProject(std::move(rooms), QString());
            PlaceOnScreen(project);
            project->show();
            o.window = OpenProjectReport(project, project->CurrentProject(), QString());
        });
        QTest::newRow("frmEvapMethods") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Pool()->ShowStandalone();
            // With figures, one of them greyed with its reason.
            o.screens->Pool()->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
            o.window = ShowEvaporationMethods(o.screens->Pool());
        });
        QTest::newRow("frmCondensation") << Opener([](Opened& o) {
            o.screens = std::make_unique<Screens>();
            o.screens->Zone()->show();
            o.window = ShowCondensationCheck(o.screens->Zone(), {});
        });
        // A project with a room of each calculation, placed as the program opens it.
        QTest::newRow("frmProject") << Opener([](Opened& o) {
            Project project;
            project.title = "Leisure centre";
            project.rooms.push_back(
                {"Changing rooms", 2, SizeChoice::Fewest, ZoneJob(InitialZoneTexts())});
            project.rooms.push_back(
                {"Pool hall", 1, SizeChoice::Hx160, PoolJob(InitialPoolTexts())});
            o.owned = std::make_unique<frmMain>();
            o.owned->show();
            auto* window = new frmProject(frmProject::FileChooser{}, o.owned.get());
            window->SetProject(std::move(project), QString());
            PlaceOnScreen(window);
            window->show();
            o.window = window;
        });
        QTest::newRow("frmAbout") << Opener([](Opened& o) {
            ShowAbout(nullptr);
            o.window = OnlyTopLevel("frmAbout");
        });
        QTest::newRow("frmDesign") << Opener([](Opened& o) {
            o.window =
                ShowDesign([](const QString&, const QString&, const QString&) {}, [] {}, nullptr);
        });
        QTest::newRow("frmpassword") << Opener([](Opened& o) {
            ShowPassword([] {}, nullptr);
            o.window = OnlyTopLevel("frmpassword");
        });
    }

    void windowsAtThisScale() {
        QFETCH(Opener, open);
        Opened opened;
        open(opened);
        QWidget* window = opened.window;
        QVERIFY2(window, "the window was not made");
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QStringList problems;
        // Each page of a tab control shows in turn.
        const QList<QTabWidget*> tabs = window->findChildren<QTabWidget*>();
        if (tabs.isEmpty()) {
            CheckCaptions(window, problems);
        }
        for (QTabWidget* tab : tabs) {
            for (int page = 0; page < tab->count(); ++page) {
                tab->setCurrentIndex(page);
                CheckCaptions(window, problems);
            }
            tab->setCurrentIndex(0);
        }
        CheckPictures(window, problems);
        // Opened whole inside the screen's free area, Close button and all,
        // and no smaller than its layout needs to stay legible. On a screen
        // too small even for that, at that least size from the free area's
        // top left corner, so that its title can be taken to move it.
        {
            const QRect available = window->screen()->availableGeometry();
            const QRect outer = window->frameGeometry();
            // The calculation screens keep their designed size.
            const bool keepsSize =
                QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("frmMethod"));
            const QSize least = keepsSize
                                    ? window->size()
                                    : window->minimumSizeHint().expandedTo(window->minimumSize());
            const QSize leastOuter = least + outer.size() - window->size();
            const bool fits = leastOuter.width() <= available.width() &&
                              leastOuter.height() <= available.height();
            // Too wide or too high for the screen: that side at its least.
            const bool placed =
                available.contains(outer.topLeft()) &&
                (outer.right() <= available.right() || window->width() == least.width()) &&
                (outer.bottom() <= available.bottom() || window->height() == least.height());
            if (fits ? !available.contains(outer) : !placed) {
                problems << QStringLiteral("opens at %1,%2 %3x%4 on a screen area of %5,%6 %7x%8")
                                .arg(outer.x())
                                .arg(outer.y())
                                .arg(outer.width())
                                .arg(outer.height())
                                .arg(available.x())
                                .arg(available.y())
                                .arg(available.width())
                                .arg(available.height());
            }
            if (window->width() < least.width() || window->height() < least.height())
                problems << Problem(window, window->windowTitle(), least, window->size());
        }
        problems.removeDuplicates();
        SaveScreenshot(window, QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n  "))));
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_HighDpi.moc"
