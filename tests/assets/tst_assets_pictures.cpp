// The pictures of the program folder show the picture code: bit 0 of the
// index the colour, bit 1 the size, bit 2 the shape, bit 3 the pattern (plain
// or striped), every figure centred on the same point, on a card of the
// outline of the grey card that replaces a missing picture, transparent in its
// corners.

#include "PictureFiles.h"
#include "PictureSets.h"

#include <QImage>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using resources::picture_sets::kPicturesPerSet;
using resources::picture_sets::kSetCount;

double toLinear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// CIE L*a*b* of a linear-light sRGB colour.
std::array<double, 3> toLab(const std::array<double, 3>& rgb) {
    const double x = (0.4124 * rgb[0] + 0.3576 * rgb[1] + 0.1805 * rgb[2]) / 0.95047;
    const double y = 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2];
    const double z = (0.0193 * rgb[0] + 0.1192 * rgb[1] + 0.9505 * rgb[2]) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

struct Figure {
    int side = 0;
    std::vector<bool> mask;  // the pixels of the figure
    QRect bounds;
    std::array<double, 3> meanLinearRgb{};  // mean colour of the figure, linear light
    double lightness() const { return toLab(meanLinearRgb)[0]; }
    int extent() const { return std::max(bounds.width(), bounds.height()); }
    bool contains(int x, int y) const {
        return x >= 0 && y >= 0 && x < side && y < side && mask[size_t(y) * size_t(side) + size_t(x)];
    }
};

// Colour as a viewer with a full dichromacy sees it (Machado, Oliveira and
// Fernandes, 2009, severity 1), in linear light.
using Matrix = std::array<std::array<double, 3>, 3>;
const Matrix kProtanopia{
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
const Matrix kDeuteranopia{
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
const Matrix kTritanopia{
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

// Lab of a colour seen through `m`.
std::array<double, 3> seenWith(const Matrix& m, const std::array<double, 3>& rgb) {
    std::array<double, 3> seen{};
    for (size_t row = 0; row < 3; ++row)
        seen[row] = std::clamp(m[row][0] * rgb[0] + m[row][1] * rgb[1] + m[row][2] * rgb[2], 0.0, 1.0);
    return toLab(seen);
}

// A pixel belongs to the figure when it stands clearly apart from the white
// card; the card's light grey border and the transparent corners do not.
Figure figureOf(const QImage& image) {
    Figure figure;
    figure.side = image.width();
    figure.mask.assign(size_t(figure.side) * size_t(figure.side), false);
    int area = 0;
    for (int y = 0; y < figure.side; ++y)
        for (int x = 0; x < figure.side; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) != 255 || 255 - std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) <= 60)
                continue;
            figure.mask[size_t(y) * size_t(figure.side) + size_t(x)] = true;
            figure.bounds |= QRect(x, y, 1, 1);
            ++area;
            for (size_t c = 0; c < 3; ++c)
                figure.meanLinearRgb[c] += toLinear(std::array{qRed(pixel), qGreen(pixel), qBlue(pixel)}[c]);
        }
    for (double& channel : figure.meanLinearRgb)
        channel /= std::max(1, area);
    return figure;
}

// Overlap (intersection over union) of two figures, the second one first
// scaled by `scale` about `centre`.
double overlap(const Figure& a, const Figure& b, double scale = 1, QPointF centre = {}) {
    int both = 0, either = 0;
    for (int y = 0; y < a.side; ++y)
        for (int x = 0; x < a.side; ++x) {
            const bool inA = a.contains(x, y);
            const bool inB = b.contains(int(std::lround(centre.x() + (x + 0.5 - centre.x()) / scale - 0.5)),
                                        int(std::lround(centre.y() + (y + 0.5 - centre.y()) / scale - 0.5)));
            both += inA && inB;
            either += inA || inB;
        }
    return either == 0 ? 0 : double(both) / either;
}

// How the striped picture differs from the plain one inside the plain
// figure: the share of its pixels clearly darker (the stripes), and how far
// the mean colour of the others lies from the plain figure's (Lab).
struct Stripes {
    double share = 0;
    double colourShift = 0;
};

Stripes stripesOf(const QImage& plain, const QImage& striped) {
    const Figure figure = figureOf(plain);
    const auto labOf = [](QRgb pixel) {
        return toLab({toLinear(qRed(pixel)), toLinear(qGreen(pixel)), toLinear(qBlue(pixel))});
    };
    std::array<double, 3> plainSum{}, restSum{};
    int area = 0, dark = 0;
    for (int y = 0; y < figure.side; ++y)
        for (int x = 0; x < figure.side; ++x) {
            if (!figure.contains(x, y))
                continue;
            const auto before = labOf(plain.pixel(x, y)), after = labOf(striped.pixel(x, y));
            ++area;
            const bool stripe = after[0] < before[0] - 10;
            dark += stripe;
            for (size_t c = 0; c < 3; ++c) {
                plainSum[c] += before[c];
                restSum[c] += stripe ? 0 : after[c];
            }
        }
    const int rest = std::max(1, area - dark);
    return {double(dark) / std::max(1, area),
            std::hypot(plainSum[0] / area - restSum[0] / rest, plainSum[1] / area - restSum[1] / rest,
                       plainSum[2] / area - restSum[2] / rest)};
}

class PictureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySetShowsThePictureCode_data() {
        QTest::addColumn<int>("set");
        for (int set = 1; set <= kSetCount; ++set)
            QTest::newRow(qPrintable(u"set %1"_s.arg(set))) << set;
    }
    // Every picture is of the size of the card that replaces a missing one,
    // big enough to stay sharp on a 4K screen at scale 2, white and opaque
    // but in its corners. Pictures i and i XOR bit differ in that bit's
    // attribute only, every figure centred on the middle of its card.
    void everySetShowsThePictureCode() {
        QFETCH(int, set);
        const QImage missing =
            exercises::picture_files::missingPictureCard().image().convertToFormat(QImage::Format_ARGB32);
        const int side = missing.width(), margin = side / 32;
        QVERIFY(side >= 512);
        QCOMPARE(qAlpha(missing.pixel(1, 1)), 0);
        const QPoint face[] = {
            {side / 2, margin}, {side / 2, side - margin}, {margin, side / 2}, {side - margin, side / 2}};
        QList<QImage> images;
        QList<Figure> figures;
        for (int index = 0; index < kPicturesPerSet; ++index) {
            const QString name = u"picture %1"_s.arg(index + 1);
            const QImage image(u"%1/gif/%2/%3.gif"_s.arg(QStringLiteral(MF_PROGRAM_DIR)).arg(set).arg(index + 1));
            QVERIFY2(image.size() == missing.size(), qPrintable(name));
            images.append(image.convertToFormat(QImage::Format_ARGB32));
            figures.append(figureOf(images.last()));
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    if ((qAlpha(images.last().pixel(x, y)) == 255) != (qAlpha(missing.pixel(x, y)) >= 128))
                        QFAIL(qPrintable(name + u": wrong opacity at (%1, %2)"_s.arg(x).arg(y)));
            for (const QPoint& at : face)
                QVERIFY2(images.last().pixel(at) == qRgb(255, 255, 255),
                         qPrintable(name + u": the card is not white"_s));
        }
        for (int index = 0; index < kPicturesPerSet; ++index)
            for (int bit : {1, 2, 4, 8}) {
                if (index & bit)
                    continue;
                const Figure& a = figures[index];
                const Figure& b = figures[index | bit];
                const QString pair = u"pictures %1 and %2: "_s.arg(index + 1).arg((index | bit) + 1);
                const double ratio = double(a.extent()) / b.extent(), share = double(a.extent()) / a.side;
                for (const Figure* figure : {&a, &b}) {
                    const QPointF offset = QRectF(figure->bounds).center() - QPointF(a.side / 2.0, a.side / 2.0);
                    QVERIFY2(offset.manhattanLength() <= a.side / 64.0, qPrintable(pair + u"off centre"_s));
                }
                if (bit == 1) {
                    QVERIFY2(overlap(a, b) > 0.97, qPrintable(pair + u"silhouettes differ"_s));
                    QVERIFY2(std::abs(a.lightness() - b.lightness()) >= 25,
                             qPrintable(pair + u"lightness too close"_s));
                    for (const Matrix* sight : {&kProtanopia, &kDeuteranopia, &kTritanopia}) {
                        const auto seenA = seenWith(*sight, a.meanLinearRgb), seenB = seenWith(*sight, b.meanLinearRgb);
                        QVERIFY2(std::hypot(seenA[0] - seenB[0], seenA[1] - seenB[1], seenA[2] - seenB[2]) >= 25,
                                 qPrintable(pair + u"colours too close for colour-blind eyes"_s));
                    }
                } else if (bit == 2) {
                    const double smallShare = double(b.extent()) / b.side;
                    QVERIFY2(share > 0.7 && share < 0.9 && smallShare > 0.35 && smallShare < 0.55 && ratio >= 1.5,
                             qPrintable(pair + u"the figures span %1 and %2"_s.arg(share).arg(smallShare)));
                    QVERIFY2(overlap(a, b, ratio, QRectF(b.bounds).center()) > 0.85,
                             qPrintable(pair + u"the small figure scaled up is not the big one"_s));
                } else if (bit == 8) {
                    // Stripes over a good share of the figure, its colour
                    // kept between them, and still stripes on a card of
                    // 64 pixels.
                    QVERIFY2(overlap(a, b) > 0.97, qPrintable(pair + u"silhouettes differ"_s));
                    const QImage& plain = images[index];
                    const QImage& striped = images[index | bit];
                    const Stripes large = stripesOf(plain, striped);
                    const auto small = [](const QImage& image) {
                        return image.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                    };
                    const Stripes seenSmall = stripesOf(small(plain), small(striped));
                    for (const Stripes& stripes : {large, seenSmall})
                        QVERIFY2(stripes.share > 0.25 && stripes.share < 0.5,
                                 qPrintable(pair + u"stripes over %1 of the figure"_s.arg(stripes.share)));
                    QVERIFY2(large.colourShift < 8, qPrintable(pair + u"the colour between the stripes differs"_s));
                } else {
                    QVERIFY2(overlap(a, b) < 0.9, qPrintable(pair + u"shapes alike"_s));
                    QVERIFY2(ratio > 0.85 && ratio < 1.18, qPrintable(pair + u"sizes differ by %1"_s.arg(ratio)));
                    QVERIFY2(std::abs(a.lightness() - b.lightness()) < 12, qPrintable(pair + u"colours differ"_s));
                }
            }
    }
};

}  // namespace

QTEST_MAIN(PictureTest)
#include "tst_assets_pictures.moc"
