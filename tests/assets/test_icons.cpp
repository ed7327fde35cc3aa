// The design images built into the program: each is square and draws at any
// size; each pointer has its tip at its hot spot; the faces, the exit sign
// and the Next arrow have the colours a child knows them by.

#include "resources/Resources.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage render(const char* resource, int size) {
    QSvgRenderer renderer(QString::fromLatin1(resource));
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (!renderer.isValid()) return image;
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

struct Coverage {
    double opaqueShare = 0;
    double red = 0, green = 0, blue = 0;  // mean colour of the opaque pixels
};

Coverage coverageOf(const QImage& image) {
    Coverage coverage;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 250) continue;
            ++opaque;
            coverage.red += qRed(pixel);
            coverage.green += qGreen(pixel);
            coverage.blue += qBlue(pixel);
        }
    coverage.opaqueShare = double(opaque) / (image.width() * image.height());
    if (opaque > 0) {
        coverage.red /= opaque;
        coverage.green /= opaque;
        coverage.blue /= opaque;
    }
    return coverage;
}

class IconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyImageIsSquareAndDrawsAtAnySize() {
        for (const char* resource : {resources::kStartIcon, resources::kExitSign, resources::kSmilingFace,
                                     resources::kSadFace, resources::kNextArrow, resources::kWhiteArrowPointer.resource,
                                     resources::kTrebleClefPointer.resource, resources::kNextPointer.resource}) {
            const QString name = QString::fromLatin1(resource);
            QSvgRenderer renderer(name);
            QVERIFY2(renderer.isValid(), qPrintable(name));
            QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());
            for (int size : {16, 32, 128})
                QVERIFY2(coverageOf(render(resource, size)).opaqueShare > 0.05,
                         qPrintable(name + u" is nearly empty at %1 px"_s.arg(size)));
        }
    }

    void pointersHaveTheirTipAtTheHotSpot() {
        for (const platform::Pointer& pointer : {resources::kWhiteArrowPointer, resources::kTrebleClefPointer,
                                                 resources::kNextPointer, resources::kStartPointer}) {
            const QImage image = render(pointer.resource, 32);
            int alpha = 0;
            for (int y = pointer.hotY - 1; y <= pointer.hotY + 1; ++y)
                for (int x = pointer.hotX - 1; x <= pointer.hotX + 1; ++x)
                    if (image.rect().contains(x, y)) alpha = std::max(alpha, qAlpha(image.pixel(x, y)));
            QVERIFY2(alpha >= 128, qPrintable(QString::fromLatin1(pointer.resource) + u": nothing at the hot spot"_s));
        }
    }

    void imagesHaveTheirColours() {
        const Coverage smiling = coverageOf(render(resources::kSmilingFace, 64));
        QVERIFY2(smiling.red > 180 && smiling.green > 140 && smiling.blue < 110, "the smiling face is not yellow");
        const Coverage sad = coverageOf(render(resources::kSadFace, 64));
        QVERIFY2(sad.red > 160 && sad.green < 120 && sad.blue < 120, "the sad face is not red");
        const Coverage exitSign = coverageOf(render(resources::kExitSign, 32));
        QVERIFY2(exitSign.red > 1.5 * exitSign.green && exitSign.red > 1.5 * exitSign.blue, "the exit sign is not red");
        const Coverage arrow = coverageOf(render(resources::kNextArrow, 32));
        QVERIFY2(std::abs(arrow.red - arrow.green) < 12 && std::abs(arrow.green - arrow.blue) < 12,
                 "the Next arrow is not grey");
        // The white arrow is mostly white, so that it shows on every background.
        const Coverage pointer = coverageOf(render(resources::kWhiteArrowPointer.resource, 32));
        QVERIFY2(pointer.red > 150 && pointer.green > 150 && pointer.blue > 150, "the arrow pointer is not white");
    }
};

}  // namespace

QTEST_MAIN(IconTest)
#include "test_icons.moc"
