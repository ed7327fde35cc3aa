// The design images built into the program: each draws at any size inside
// its box; each pointer has its tip at its hot spot.

#include "Resources.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

class IconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Drawn at its own proportions inside a larger canvas, every image draws
    // something in its box and nothing outside it.
    void everyImageDrawsInsideItsBoxAtAnySize() {
        const QStringList images = QDir(u":/resources"_s).entryList({u"*.svg"_s});
        QVERIFY(images.size() >= 21);
        for (const QString& image : images) {
            const QString name = u":/resources/"_s + image;
            QSvgRenderer renderer(name);
            QVERIFY2(renderer.isValid(), qPrintable(name));
            for (int height : {16, 32, 128}) {
                const QRect box(4, 4, height * renderer.defaultSize().width() / renderer.defaultSize().height(),
                                height);
                QImage canvas(box.size() + QSize(8, 8), QImage::Format_ARGB32);
                canvas.fill(Qt::transparent);
                const QImage blank = canvas.copy();
                QPainter painter(&canvas);
                renderer.render(&painter, box);
                const QString at = name + u" at %1 px: "_s.arg(height);
                QVERIFY2(canvas != blank, qPrintable(at + u"empty"_s));
                painter.setCompositionMode(QPainter::CompositionMode_Clear);
                painter.fillRect(box, Qt::transparent);
                painter.end();
                QVERIFY2(canvas == blank, qPrintable(at + u"drawn outside its box"_s));
            }
        }
    }

    void pointersHaveTheirTipAtTheHotSpot() {
        for (const forms::Pointer& pointer : {resources::kWhiteArrowPointer, resources::kTrebleClefPointer,
                                              resources::kNextPointer, resources::kStartPointer}) {
            QImage image(32, 32, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QSvgRenderer(QString::fromLatin1(pointer.resource)).render(&painter);
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
#include "tst_assets_icons.moc"
