// Renders an SVG picture into a square PNG of a given size, for the icon theme
// sizes that desktops look up before they fall back to the scalable picture.
//
//   varneldh-svg2png INPUT.svg SIZE OUTPUT.png

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    // Runs during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args.at(2).toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        std::fprintf(stderr, "usage: varneldh-svg2png INPUT.svg SIZE OUTPUT.png\n");
        return 64;
    }

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "varneldh-svg2png: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // The picture keeps its proportions, centred in the square.
        QSizeF fitted = renderer.viewBoxF().size();
        if (fitted.isEmpty())
            fitted = QSizeF(renderer.defaultSize());
        fitted.scale(size, size, Qt::KeepAspectRatio);
        renderer.render(
            &painter,
            QRectF(QPointF((size - fitted.width()) / 2.0, (size - fitted.height()) / 2.0), fitted));
    }
    if (!image.save(args.at(3), "PNG")) {
        std::fprintf(stderr, "varneldh-svg2png: cannot write %s\n", qPrintable(args.at(3)));
        return 1;
    }
    return 0;
}
