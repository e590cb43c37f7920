#include "gui/shell/PrintWindow.h"

#include "gui/common/MessageBox.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

const char* const kNoPrinter =
    "The window could not be printed because no default printer is set up.";
const char* const kPrinterError = "The window could not be printed: the printer reported an error.";

bool Fail(QWidget* screen, const char* message, QString* problem) {
    const QString text = QString::fromLatin1(message);
    if (problem)
        *problem = text;
    ShowMessage(screen, text);
    return false;
}

// The client area: the whole window but for its menu bar, which belongs to the
// frame. Grabbing lays out a window that has never been shown, so the menu bar's
// place is read only after that.
QPixmap ClientImage(QWidget* screen) {
    const QPixmap whole = screen->grab();
    QRect area = screen->rect();
    if (const auto* main = qobject_cast<QMainWindow*>(screen)) {
        const QWidget* menu = main->menuWidget();
        if (menu && !menu->isHidden())
            area.setTop(menu->geometry().bottom() + 1);
    }
    const qreal ratio = whole.devicePixelRatio();
    return whole.copy(
        QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toAlignedRect());
}

} // namespace

bool PrintWindow(QWidget* screen, QString* problem) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return Fail(screen, kNoPrinter, problem);
    QPrinter printer(info, QPrinter::HighResolution);
    // Without a print system Qt would quietly make a PDF file instead.
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return Fail(screen, kNoPrinter, problem);
    return PrintWindowOn(screen, printer, problem);
}

bool PrintWindowOn(QWidget* screen, QPrinter& printer, QString* problem) {
    const QPixmap image = ClientImage(screen);
    const QString title = screen->windowTitle();
    printer.setDocName(title.isEmpty() ? AppTitle() : title);
    printer.setCopyCount(1);
    if (!printer.isValid() || image.isNull())
        return Fail(screen, kPrinterError, problem);

    QPainter painter;
    if (!painter.begin(&printer))
        return Fail(screen, kPrinterError, problem);
    // The page's printable area, in the printer's own pixels.
    const QRect page = painter.viewport();
    const QSizeF fitted = QSizeF(image.size()).scaled(QSizeF(page.size()), Qt::KeepAspectRatio);
    const QRectF target(page.left() + (page.width() - fitted.width()) / 2.0, page.top(),
                        fitted.width(), fitted.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image, QRectF(image.rect()));
    // Ending the painter closes the job, so that it prints at once.
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error)
        return Fail(screen, kPrinterError, problem);
    return true;
}
