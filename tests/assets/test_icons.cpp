// The design images built into the program: each is square and draws at any
// size; each pointer has its tip at its hot spot.

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
    if (!renderer.isValid())
        return image;
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

double opaqueShare(const QImage& image) {
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) >= 250;
    return double(opaque) / (image.width() * image.height());
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
                QVERIFY2(opaqueShare(render(resource, size)) > 0.05,
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
                    if (image.rect().contains(x, y))
                        alpha = std::max(alpha, qAlpha(image.pixel(x, y)));
            QVERIFY2(alpha >= 128, qPrintable(QString::fromLatin1(pointer.resource) + u": nothing at the hot spot"_s));
        }
    }
};

}  // namespace

QTEST_MAIN(IconTest)
#include "test_icons.moc"
