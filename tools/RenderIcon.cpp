// Renders an SVG picture into a square PNG of the given size, for the icon
// sizes a desktop's menus and panels ask for. The picture keeps its aspect
// ratio and is centred on a transparent square.
//
//   mf_render_icon <picture.svg> <size> <output.png>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool sizeIsNumber = false;
    const int size = args.size() == 4 ? args[2].toInt(&sizeIsNumber) : 0;
    if (!sizeIsNumber || size < 1 || size > 4096) {
        std::fputs("usage: mf_render_icon <picture.svg> <size> <output.png>\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "mf_render_icon: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();

    QSaveFile output(args[3]);
    if (!output.open(QIODevice::WriteOnly) || !image.save(&output, "PNG") || !output.commit()) {
        std::fprintf(stderr, "mf_render_icon: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
