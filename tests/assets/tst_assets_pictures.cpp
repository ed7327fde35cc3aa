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
    const auto inMask = [](const Figure& figure, int x, int y) {
        return x >= 0 && y >= 0 && x < figure.side && y < figure.side &&
               figure.mask[size_t(y) * size_t(figure.side) + size_t(x)];
    };
    int both = 0, either = 0;
    for (int y = 0; y < a.side; ++y)
        for (int x = 0; x < a.side; ++x) {
            const bool inA = inMask(a, x, y);
            const bool inB = inMask(b, int(std::lround(centre.x() + (x + 0.5 - centre.x()) / scale - 0.5)),
                                    int(std::lround(centre.y() + (y + 0.5 - centre.y()) / scale - 0.5)));
            both += inA && inB;
            either += inA || inB;
        }
    return either == 0 ? 0 : double(both) / either;
}

int extent(const Figure& figure) {
    return std::max(figure.bounds.width(), figure.bounds.height());
}

std::array<double, 3> labOf(QRgb pixel) {
    return toLab({toLinear(qRed(pixel)), toLinear(qGreen(pixel)), toLinear(qBlue(pixel))});
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
    std::array<double, 3> plainSum{}, restSum{};
    int area = 0, dark = 0;
    for (int y = 0; y < figure.side; ++y)
        for (int x = 0; x < figure.side; ++x) {
            if (!figure.mask[size_t(y) * size_t(figure.side) + size_t(x)])
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

    std::array<std::array<QImage, kPicturesPerSet>, kSetCount> images_;
    std::array<std::array<Figure, kPicturesPerSet>, kSetCount> figures_;

private Q_SLOTS:
    void initTestCase() {
        for (int set = 0; set < kSetCount; ++set)
            for (int index = 0; index < kPicturesPerSet; ++index) {
                const QString path =
                    u"%1/gif/%2/%3.gif"_s.arg(QStringLiteral(MF_PROGRAM_DIR)).arg(set + 1).arg(index + 1);
                const QImage image(path);  // big enough to stay sharp on a 4K screen at scale 2
                QVERIFY2(image.width() >= 512 && image.height() == image.width(), qPrintable(path));
                images_[size_t(set)][size_t(index)] = image.convertToFormat(QImage::Format_ARGB32);
                figures_[size_t(set)][size_t(index)] = figureOf(images_[size_t(set)][size_t(index)]);
            }
    }

    void cardsAreTransparentOnlyInTheirCorners() {
        const QImage missing =
            exercises::picture_files::missingPictureCard().image().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(missing.size(), images_[0][0].size());
        const int side = missing.width(), margin = side / 32;
        QCOMPARE(qAlpha(missing.pixel(1, 1)), 0);
        const QPoint face[] = {
            {side / 2, margin}, {side / 2, side - margin}, {margin, side / 2}, {side - margin, side / 2}};
        for (int set = 0; set < kSetCount; ++set)
            for (int index = 0; index < kPicturesPerSet; ++index) {
                const QImage& image = images_[size_t(set)][size_t(index)];
                const QString name = u"set %1, picture %2"_s.arg(set + 1).arg(index + 1);
                for (int y = 0; y < side; ++y)
                    for (int x = 0; x < side; ++x)
                        if ((qAlpha(image.pixel(x, y)) == 255) != (qAlpha(missing.pixel(x, y)) >= 128))
                            QFAIL(qPrintable(name + u": wrong opacity at (%1, %2)"_s.arg(x).arg(y)));
                for (const QPoint& at : face)
                    QVERIFY2(image.pixel(at) == qRgb(255, 255, 255), qPrintable(name + u": the card is not white"_s));
            }
    }

    // Pictures i and i XOR bit differ in that bit's attribute only, every
    // figure centred on the middle of its card.
    void eachBitOfTheCodeChangesOnlyItsAttribute() {
        for (int set = 0; set < kSetCount; ++set)
            for (int index = 0; index < kPicturesPerSet; ++index)
                for (int bit : {1, 2, 4, 8}) {
                    if (index & bit)
                        continue;
                    const Figure& a = figures_[size_t(set)][size_t(index)];
                    const Figure& b = figures_[size_t(set)][size_t(index | bit)];
                    const QString pair =
                        u"set %1, pictures %2 and %3: "_s.arg(set + 1).arg(index + 1).arg((index | bit) + 1);
                    const double ratio = double(extent(a)) / extent(b), share = double(extent(a)) / a.side;
                    for (const Figure* figure : {&a, &b}) {
                        const QPointF offset = QRectF(figure->bounds).center() - QPointF(a.side / 2.0, a.side / 2.0);
                        QVERIFY2(offset.manhattanLength() <= a.side / 64.0, qPrintable(pair + u"off centre"_s));
                    }
                    if (bit == 1) {
                        QVERIFY2(overlap(a, b) > 0.97, qPrintable(pair + u"silhouettes differ"_s));
                        QVERIFY2(std::abs(a.lightness() - b.lightness()) >= 25,
                                 qPrintable(pair + u"lightness too close"_s));
                        for (const Matrix* sight : {&kProtanopia, &kDeuteranopia, &kTritanopia}) {
                            const auto seenA = seenWith(*sight, a.meanLinearRgb),
                                       seenB = seenWith(*sight, b.meanLinearRgb);
                            QVERIFY2(std::hypot(seenA[0] - seenB[0], seenA[1] - seenB[1], seenA[2] - seenB[2]) >= 25,
                                     qPrintable(pair + u"colours too close for colour-blind eyes"_s));
                        }
                    } else if (bit == 2) {
                        const double smallShare = double(extent(b)) / b.side;
                        QVERIFY2(share > 0.7 && share < 0.9 && smallShare > 0.35 && smallShare < 0.55 && ratio >= 1.5,
                                 qPrintable(pair + u"the figures span %1 and %2"_s.arg(share).arg(smallShare)));
                        QVERIFY2(overlap(a, b, ratio, QRectF(b.bounds).center()) > 0.85,
                                 qPrintable(pair + u"the small figure scaled up is not the big one"_s));
                    } else if (bit == 8) {
                        // Stripes over a good share of the figure, its colour
                        // kept between them, and still stripes on a card of
                        // 64 pixels.
                        QVERIFY2(overlap(a, b) > 0.97, qPrintable(pair + u"silhouettes differ"_s));
                        const QImage& plain = images_[size_t(set)][size_t(index)];
                        const QImage& striped = images_[size_t(set)][size_t(index | bit)];
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
