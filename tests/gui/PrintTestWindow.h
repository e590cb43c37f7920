#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

// A small stand-in screen: menu bar, a few captions and a status bar. All of it
// is dark, the menu bar included, so that on paper the printed image shows as
// one dark rectangle whose shape tells whether the menu bar went with it.
class PrintTestWindow : public QMainWindow {
public:
    explicit PrintTestWindow(const QString& title) {
        setWindowTitle(title);
        setObjectName(QStringLiteral("printTestWindow"));
        setStyleSheet(QStringLiteral("* { background: rgb(0, 0, 96); color: white; }"));
        menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Print Window"));
        auto* centre = new QWidget;
        auto* layout = new QVBoxLayout(centre);
        for (const char* text : {"Zone temperature 28", "Zone humidity 60", "Units 3"}) {
            auto* label = new QLabel(QString::fromLatin1(text));
            label->setObjectName(QString::fromLatin1(text).section(QLatin1Char(' '), 0, 1));
            layout->addWidget(label);
        }
        setCentralWidget(centre);
        statusBar()->showMessage(QStringLiteral("ready"));
        resize(480, 240);
    }

    // What printing must leave as it was.
    struct State {
        QRect geometry;
        bool visible = false;
        Qt::WindowStates states;
        QString title;
        QStringList texts;
        QImage image;
        bool operator==(const State&) const = default;
    };

    State state() {
        State now{geometry(), isVisible(), windowState(), windowTitle(), {}, grab().toImage()};
        for (QLabel* label : findChildren<QLabel*>())
            now.texts << label->text();
        return now;
    }

    // The client area, menu bar left out.
    QSize clientSize() const { return QSize(width(), height() - menuBar()->height()); }
};
