#include "gui/shell/Application.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (const char* reason = Application::MissingDisplay()) {
        return Application::SayMissingDisplay(reason);
    }
    QApplication app(argc, argv);
    Application program;
    // A job or project file to open, as a file manager passes it.
    program.Start(QApplication::arguments().value(1));
    return app.exec();
}
