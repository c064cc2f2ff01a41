// Renders the program's SVG icon at the sizes a desktop's icon theme asks for
// in PNG, at build time, with the Qt SVG renderer the program is built with
// already: no other tool is needed to build the package.
//
// Usage: plovista_svgtopng ICON.svg SIZE OUTPUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Text in an SVG needs the font database, which needs an application;
    // no window system is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args.at(2).toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: plovista_svgtopng ICON.svg SIZE OUTPUT.png\n");
        return 2;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        std::fprintf(stderr, "plovista_svgtopng: %s is not a readable SVG file\n", qPrintable(args.at(1)));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    if (!image.save(args.at(3), "PNG")) {
        std::fprintf(stderr, "plovista_svgtopng: %s could not be written\n", qPrintable(args.at(3)));
        return 1;
    }
    return 0;
}
