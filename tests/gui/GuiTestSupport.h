#pragma once

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal message boxes that appear while a test runs: each one is
// looked at, what it showed is kept, and its OK button is pressed. A box without
// an OK button is closed all the same, so that no test hangs on it.
class ModalBoxAnswerer : public QObject {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttonCount = 0;
        bool hasOk = false;
        bool modal = false;
        Qt::TextFormat textFormat = Qt::AutoText;
    };

    ModalBoxAnswerer() {
        connect(&m_timer, &QTimer::timeout, this, &ModalBoxAnswerer::answer);
        m_timer.start(10);
    }

    const QList<Seen>& seen() const { return m_seen; }

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Seen seen;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttonCount = int(box->buttons().size());
        seen.hasOk = box->button(QMessageBox::Ok) != nullptr;
        seen.modal = box->isModal();
        seen.textFormat = box->textFormat();
        m_seen.append(seen);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
    }

    QTimer m_timer;
    QList<Seen> m_seen;
};

// The top-level windows with this objectName, shown or hidden.
inline QList<QWidget*> TopLevelsNamed(const QString& name) {
    QList<QWidget*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            found.append(widget);
    }
    return found;
}

// The first caption on the screen that its box cuts off or that runs into a
// neighbouring control, described; empty when every caption fits.
inline QString CaptionProblem(QWidget* screen) {
    for (QLabel* label : screen->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap() || !label->parentWidget() ||
            label->parentWidget()->inherits("QStatusBar")) {
            continue;
        }
        const QSize needed = label->sizeHint();
        if (needed.width() > label->width() || needed.height() > label->height() + 2) {
            return label->objectName() + QStringLiteral(" is cut off");
        }
        const QRect text(label->pos(), QSize(needed.width(), label->height()));
        for (QWidget* sibling :
             label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (sibling != label && sibling->isVisibleTo(screen) &&
                !qobject_cast<QLabel*>(sibling) && text.intersects(sibling->geometry())) {
                return label->objectName() + QStringLiteral(" runs into ") + sibling->objectName();
            }
        }
    }
    return {};
}

// The caption the form shows beside a field (the label whose buddy it is), or a
// null string when none.
inline QString FormCaption(QWidget* screen, const QString& field) {
    for (QLabel* label : screen->findChildren<QLabel*>()) {
        if (label->buddy() && label->buddy()->objectName() == field)
            return label->text();
    }
    return {};
}

// The fields of the table whose form shows another caption beside them, as
// "name: form / table"; `checked` counts the fields with a caption beside them.
template <typename Table>
QStringList CaptionMismatches(QWidget* screen, const Table& table, int& checked) {
    QStringList mismatches;
    checked = 0;
    for (const auto& field : table) {
        const QString name = QString::fromUtf8(field.name.data(), qsizetype(field.name.size()));
        const QString caption =
            QString::fromUtf8(field.caption.data(), qsizetype(field.caption.size()));
        const QString shown = FormCaption(screen, name);
        if (shown.isNull())
            continue;
        ++checked;
        if (shown != caption)
            mismatches << name + QStringLiteral(": ") + shown + QStringLiteral(" / ") + caption;
    }
    return mismatches;
}

// Runs the program's event loop until it is told to end, or a second has passed.
// True when it was told to end. (The application's own loop, since a request to
// end stops every loop started after it too.)
inline bool EndsProgram(const std::function<void()>& act) {
    QTimer::singleShot(0, act);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(1000);
    return QCoreApplication::exec() == 0;
}
