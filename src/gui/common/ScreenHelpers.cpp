#include "gui/common/ScreenHelpers.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"
#include "gui/common/ScreenFont.h"
#include "gui/common/WindowPlacement.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {

class EnterKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
            event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                // Swallowed here, it can reach no default button or parent either.
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Time and date panels that refresh themselves at each minute's turn.
class ClockPanels : public QObject {
public:
    ClockPanels(QLabel* time, QLabel* date, QObject* parent)
        : QObject(parent), m_time(time), m_date(date) {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &ClockPanels::Refresh);
        Refresh();
    }

private:
    void Refresh() {
        const QDateTime now = QDateTime::currentDateTime();
        const QLocale locale = QLocale::system();
        // Hours and minutes: some locales' short form carries seconds too.
        QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
        timeFormat.remove(QRegularExpression(QStringLiteral("[:.]?s+")));
        m_time->setText(locale.toString(now.time(), timeFormat.trimmed()));
        m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
        const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
        m_timer.start(60'000 - msIntoMinute + 50);
    }

    QLabel* m_time;
    QLabel* m_date;
    QTimer m_timer;
};

class CloseRule : public QObject {
public:
    CloseRule(std::function<void()> endProgram, QObject* parent)
        : QObject(parent), m_endProgram(std::move(endProgram)) {
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_quitting = true; });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close) {
            return QObject::eventFilter(watched, event);
        }
        event->ignore();
        // The user's close button, window menu and close key arrive from the
        // window system; close() called by a program does not. Nor are they the
        // user's while the session manager has the program save its state or
        // the program is already ending. A save round alone (a checkpoint, a
        // logout someone cancelled) leaves the rule as it was.
        const bool sessionEnding = qApp->isSavingSession() || m_quitting;
        if (event->spontaneous() && !sessionEnding && m_endProgram) {
            m_endProgram();
        }
        return true;
    }

private:
    std::function<void()> m_endProgram;
    bool m_quitting = false;
};

int Pixels(int twips) {
    return twips / 15;
}

const char* const kScreenStyle = R"(
QGroupBox[class="caption"] { font-weight: bold; color: rgb(0, 0, 255); }
QGroupBox[class="plain"] { border: none; margin: 0; padding: 0; }
QLineEdit[class="result"] { background: rgb(64, 64, 64); color: white; }
QLabel[class="bold"] { font-weight: bold; }
QLabel[class="bolditalic"] { font-weight: bold; font-style: italic; }
#Line1 { background: rgb(224, 224, 224); }
)";

} // namespace

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void StyleScreen(QWidget* screen) {
    screen->setFont(ScreenFont());
    screen->setStyleSheet(QString::fromLatin1(kScreenStyle));
    if (auto* rule = screen->findChild<QFrame*>(QStringLiteral("Line1"))) {
        rule->setFixedHeight(1);
    }
    // No button is a default button; Enter presses only the focused one.
    PressButtonsOnEnter(screen);
    for (const char* name : {"cmdCalculate", "Command1"}) {
        if (auto* button = screen->findChild<QPushButton*>(QString::fromLatin1(name))) {
            button->setFont(ScreenFont(8.25, true));
        }
    }
    if (auto* calculate = screen->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))) {
        calculate->setIcon(QIcon(QStringLiteral(":/images/calculator.svg")));
    }
    if (auto* close = screen->findChild<QPushButton*>(QStringLiteral("Command1"))) {
        close->setIcon(QIcon(QStringLiteral(":/images/cross.svg")));
    }
    if (auto* logo = screen->findChild<QLabel*>(QStringLiteral("Image1"))) {
        logo->setAccessibleName(QStringLiteral("Varnel Climate logo"));
        logo->setPixmap(QIcon(QStringLiteral(":/images/logo.svg"))
                            .pixmap(logo->size(), screen->devicePixelRatioF()));
    }
}

void NameFieldsByCaptions(QWidget* screen) {
    for (QLabel* caption : screen->findChildren<QLabel*>()) {
        if (QWidget* buddy = caption->buddy(); buddy && buddy->accessibleName().isEmpty()) {
            buddy->setAccessibleName(caption->text().trimmed());
        }
    }
    for (QComboBox* list : screen->findChildren<QComboBox*>()) {
        if (list->lineEdit()) {
            list->lineEdit()->setAccessibleName(list->accessibleName());
        }
    }
}

void SetClientSize(QMainWindow* screen, int w, int h) {
    const int menu = screen->menuWidget() ? screen->menuWidget()->sizeHint().height() : 0;
    screen->resize(w, h + menu);
}

void CentreOnScreen(QWidget* window) {
    // The client area, not the frame: the frame is not known until a window
    // manager has wrapped the shown window. A screen keeps its designed size;
    // on a screen too small for it, its top left corner stays on the screen.
    if (QScreen* screen = window->screen()) {
        window->setGeometry(
            PlacedWithin(window->size(), window->size(), screen->availableGeometry()));
    }
}

void InstallCloseRule(QMainWindow* screen, std::function<void()> endProgram) {
    screen->installEventFilter(new CloseRule(std::move(endProgram), screen));
}

QLineEdit* FindField(const QWidget* screen, const QString& name) {
    if (auto* list = screen->findChild<QComboBox*>(name)) {
        return list->lineEdit();
    }
    return screen->findChild<QLineEdit*>(name);
}

void NameGridFields(std::initializer_list<GridRow> rows, const QString& firstColumn,
                    const QString& secondColumn) {
    for (const GridRow& row : rows) {
        row.first->setAccessibleName(firstColumn + QLatin1Char(' ') + row.caption->text());
        if (row.second) {
            row.second->setAccessibleName(secondColumn + QLatin1Char(' ') + row.caption->text());
        }
    }
}

void SetTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* previous = nullptr;
    for (QWidget* next : order) {
        if (previous) {
            QWidget::setTabOrder(previous, next);
        }
        previous = next;
    }
}

void SuppressEnterKey(QWidget* field) {
    static const char* const kFilterName = "enterKeyFilter";
    if (field->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    auto* filter = new EnterKeyFilter(field);
    filter->setObjectName(kFilterName);
    field->installEventFilter(filter);
}

void KeepTypedText(QComboBox* list) {
    list->setCompleter(nullptr);
    list->setInsertPolicy(QComboBox::NoInsert);
    SuppressEnterKey(list->lineEdit());
}

void InstallStatusBar(QMainWindow* screen, int plainPanelTwips) {
    auto* bar = new QStatusBar(screen);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    auto* plain = new QLabel(bar);
    plain->setObjectName(QStringLiteral("StatusPanel1"));
    plain->setMinimumWidth(Pixels(plainPanelTwips) / 2);
    auto* time = new QLabel(bar);
    time->setObjectName(QStringLiteral("StatusTime"));
    time->setAlignment(Qt::AlignCenter);
    time->setFixedWidth(Pixels(1440));
    auto* date = new QLabel(bar);
    date->setObjectName(QStringLiteral("StatusDate"));
    date->setAlignment(Qt::AlignCenter);
    date->setFixedWidth(Pixels(1440));
    bar->addPermanentWidget(plain, 1);
    bar->addPermanentWidget(time);
    bar->addPermanentWidget(date);
    new ClockPanels(time, date, bar);
    screen->setStatusBar(bar);
}

void ApplyResult(QWidget* screen, const CalcResult& result, const FieldResolver& resolve,
                 const FieldDivert& divert) {
    auto write = [&resolve, &divert](const std::vector<FieldText>& writes) {
        for (const FieldText& f : writes) {
            const QString name = QString::fromStdString(f.field);
            const QString text = QString::fromStdString(f.text);
            if (divert && divert(name, text)) {
                continue;
            }
            if (QLineEdit* field = resolve(name)) {
                field->setText(text);
            }
        }
    };
    write(result.fieldTexts);
    if (result.message) {
        ShowMessage(screen, QString::fromStdString(*result.message));
    }
    if (result.focus) {
        if (QLineEdit* field = resolve(QString::fromStdString(*result.focus))) {
            field->setFocus(Qt::OtherFocusReason);
        }
    }
    write(result.afterMessage);
}

bool ApplyCheckMessages(QWidget* screen, const std::vector<std::string>& warnings,
                        const std::optional<Refusal>& refusal, const FieldResolver& resolve,
                        bool focusRefused) {
    for (const std::string& warning : warnings) {
        ShowMessage(screen, QString::fromStdString(warning));
    }
    if (!refusal) {
        return false;
    }
    ShowMessage(screen, QString::fromStdString(refusal->message));
    if (QLineEdit* field = resolve(QString::fromStdString(refusal->field))) {
        field->clear();
        if (focusRefused) {
            field->setFocus(Qt::OtherFocusReason);
        }
    }
    return true;
}
