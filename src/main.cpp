#include "gui/shell/Application.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (const char* reason = Application::MissingDisplay()) {
        return Application::SayMissingDisplay(reason);
    }
    QApplication app(argc, argv);
    Application program;
    program.Start();
    return app.exec();
}
