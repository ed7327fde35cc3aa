#include "Figures.h"

#include "CardShape.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace tools {
namespace {

using resources::picture_code::Attribute;
using resources::picture_code::valueOf;

enum class Shape { Circle, Square, Star, Moon, Heart, Ring, Face, Cube, Cylinder };

struct SetDesign {
    std::array<Shape, 2> shapes;
    // Each pair differs strongly in lightness as well as in hue, so that the
    // two stay apart for every kind of colour blindness.
    std::array<QColor, 2> colours;
};

const std::array<SetDesign, kSetCount> kSets{{
    {{Shape::Circle, Shape::Square}, {QColor(0x1f, 0x5f, 0xd1), QColor(0xff, 0xa7, 0x26)}},  // blue, orange
    {{Shape::Star, Shape::Moon}, {QColor(0x6a, 0x2f, 0xa8), QColor(0xff, 0xd6, 0x00)}},      // purple, yellow
    {{Shape::Heart, Shape::Star}, {QColor(0xd3, 0x2f, 0x2f), QColor(0x81, 0xd4, 0xfa)}},     // red, sky blue
    {{Shape::Ring, Shape::Face}, {QColor(0x4a, 0x55, 0xc0), QColor(0xff, 0xca, 0x28)}},      // indigo, amber
    {{Shape::Cube, Shape::Cylinder}, {QColor(0xb5, 0x17, 0x9e), QColor(0x80, 0xde, 0xea)}},  // magenta, aqua
}};

const QColor kCardBorder(0xcf, 0xcf, 0xcf);
const QColor kInk(0x26, 0x26, 0x26);  // the eyes and mouth of a face

QColor mix(const QColor& colour, const QColor& with, double share) {
    const auto channel = [&](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(colour.red(), with.red()), channel(colour.green(), with.green()),
                  channel(colour.blue(), with.blue()));
}

QColor outlineOf(const QColor& fill) {
    return mix(fill, Qt::black, 0.55);
}

// One filled part of a figure, in the figure's own units.
struct Part {
    QPainterPath path;
    QBrush brush;
};

// A closed outline through `count` points, the point of step i given by `at`.
template <typename PointAt>
QPainterPath closedPath(int count, PointAt at) {
    QPainterPath path(at(0));
    for (int i = 1; i < count; ++i)
        path.lineTo(at(i));
    path.closeSubpath();
    return path;
}

QPainterPath starPath() {
    return closedPath(10, [](int i) {
        const double radius = i % 2 == 0 ? 1.0 : 0.48;
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        return QPointF(radius * std::cos(angle), radius * std::sin(angle));
    });
}

// A crescent: the arc of a disc outside a second, offset disc, closed by the
// arc of the second disc inside the first. Both are drawn as true arcs, so the
// horns stay smooth at any size.
QPainterPath moonPath() {
    constexpr double outerRadius = 1.0, innerRadius = 0.8;
    const QPointF biteCentre(0.52, -0.18);
    const QRectF outer(-outerRadius, -outerRadius, 2 * outerRadius, 2 * outerRadius);
    const QRectF inner(biteCentre.x() - innerRadius, biteCentre.y() - innerRadius, 2 * innerRadius, 2 * innerRadius);
    const double distance = std::hypot(biteCentre.x(), biteCentre.y());
    const auto degrees = [](double radians) { return radians * 180 / std::numbers::pi; };
    // Angles as QPainterPath counts them: anticlockwise on the screen, y down.
    const double towardsBite = degrees(std::atan2(-biteCentre.y(), biteCentre.x()));
    const double outerHalf = degrees(std::acos(
        (distance * distance + outerRadius * outerRadius - innerRadius * innerRadius) / (2 * distance * outerRadius)));
    const double innerHalf = degrees(std::acos(
        (distance * distance + innerRadius * innerRadius - outerRadius * outerRadius) / (2 * distance * innerRadius)));
    QPainterPath path;
    path.arcMoveTo(outer, towardsBite + outerHalf);
    path.arcTo(outer, towardsBite + outerHalf, 360 - 2 * outerHalf);
    path.arcTo(inner, towardsBite + 180 + innerHalf, -2 * innerHalf);
    path.closeSubpath();
    return path;
}

QPainterPath heartPath() {
    constexpr int kSteps = 120;
    return closedPath(kSteps, [](int i) {
        const double t = 2 * std::numbers::pi * i / kSteps;
        const double s = std::sin(t);
        return QPointF(16 * s * s * s,
                       -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t)));
    });
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

std::vector<Part> cubeParts(const QColor& fill) {
    constexpr double depth = 0.38;
    return {
        {polygon({{0, depth}, {1, depth}, {1, 1 + depth}, {0, 1 + depth}}), fill},
        {polygon({{0, depth}, {depth, 0}, {1 + depth, 0}, {1, depth}}), mix(fill, Qt::white, 0.3)},
        {polygon({{1, depth}, {1 + depth, 0}, {1 + depth, 1}, {1, 1 + depth}}), mix(fill, Qt::black, 0.3)},
    };
}

std::vector<Part> cylinderParts(const QColor& fill) {
    constexpr double radiusY = 0.17;
    constexpr double height = 1.2;
    QPainterPath body;
    body.moveTo(0, radiusY);
    body.lineTo(0, height - radiusY);
    body.arcTo(QRectF(0, height - 2 * radiusY, 1, 2 * radiusY), 180, 180);
    body.lineTo(1, radiusY);
    body.closeSubpath();
    QLinearGradient shading(0, 0, 1, 0);
    shading.setColorAt(0, mix(fill, Qt::black, 0.15));
    shading.setColorAt(0.35, mix(fill, Qt::white, 0.25));
    shading.setColorAt(1, mix(fill, Qt::black, 0.35));
    QPainterPath top;
    top.addEllipse(QRectF(0, 0, 1, 2 * radiusY));
    return {{body, QBrush(shading)}, {top, mix(fill, Qt::white, 0.3)}};
}

std::vector<Part> partsOf(Shape shape, const QColor& fill) {
    QPainterPath path;
    switch (shape) {
    case Shape::Circle:
    case Shape::Face:
        path.addEllipse(QPointF(0, 0), 1.0, 1.0);
        break;
    case Shape::Square:
        path.addRoundedRect(QRectF(-1, -1, 2, 2), 0.06, 0.06);
        break;
    case Shape::Star:
        path = starPath();
        break;
    case Shape::Moon:
        path = moonPath();
        break;
    case Shape::Heart:
        path = heartPath();
        break;
    case Shape::Ring:
        path.setFillRule(Qt::OddEvenFill);
        path.addEllipse(QPointF(0, 0), 1.0, 1.0);
        path.addEllipse(QPointF(0, 0), 0.56, 0.56);
        break;
    case Shape::Cube:
        return cubeParts(fill);
    case Shape::Cylinder:
        return cylinderParts(fill);
    }
    return {{path, fill}};
}

// Figures whose outline fills their box look bigger than round ones of the
// same extent; they are drawn a little smaller so both read as one size.
double extentShare(Shape shape) {
    switch (shape) {
    case Shape::Square:
        return 0.86;
    case Shape::Cube:
        return 0.92;
    case Shape::Heart:
        return 0.95;
    default:
        return 1.0;
    }
}

// Maps the figure's own units so that its bounding box is centred on
// `centre` and its larger side is `extent` pixels.
QTransform fitting(const std::vector<Part>& parts, QPointF centre, double extent) {
    QRectF bounds;
    for (const Part& part : parts)
        bounds |= part.path.boundingRect();
    const double scale = extent / std::max(bounds.width(), bounds.height());
    return QTransform::fromTranslate(centre.x(), centre.y())
        .scale(scale, scale)
        .translate(-bounds.center().x(), -bounds.center().y());
}

void drawFaceFeatures(QPainter& painter, const QTransform& toPixels, double penWidth) {
    painter.setTransform(toPixels);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawEllipse(QPointF(-0.34, -0.24), 0.11, 0.16);
    painter.drawEllipse(QPointF(0.34, -0.24), 0.11, 0.16);
    QPainterPath smile;
    const QRectF smileCircle(-0.56, -0.56, 1.12, 1.12);
    smile.arcMoveTo(smileCircle, 205);
    smile.arcTo(smileCircle, 205, 130);
    painter.resetTransform();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kInk, penWidth * 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(toPixels.map(smile));
}

// Bold diagonal stripes in a darker tone of the fill, clipped to the figure:
// about four across it at either size, so that a small striped figure on a
// small card still reads as striped, and covering well under half of it, so
// that the figure keeps its colour. The outlines are drawn again over their
// edges.
void drawStripes(QPainter& painter, const std::vector<Part>& parts, const QTransform& toPixels, const QColor& fill,
                 double extent) {
    QPainterPath figure;
    for (const Part& part : parts)
        figure = figure.united(toPixels.map(part.path));
    const QRectF box = figure.boundingRect();
    const double period = extent / 4;  // from one stripe to the next, across them
    painter.save();
    painter.setClipPath(figure);
    painter.setPen(QPen(outlineOf(fill), period * 0.42, Qt::SolidLine, Qt::FlatCap));
    // Lines of x + y = constant, one through the middle of the figure.
    const QPointF middle = box.center();
    const double step = period * std::numbers::sqrt2, half = box.width() + box.height();
    for (int k = -int(std::ceil(half / step)); k <= int(std::ceil(half / step)); ++k)
        painter.drawLine(middle + QPointF(k * step - half, half), middle + QPointF(k * step + half, -half));
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    for (const Part& part : parts)
        painter.drawPath(toPixels.map(part.path));
}

}  // namespace

QImage drawPicture(int set, int index) {
    const SetDesign& design = kSets.at(size_t(set - 1));
    const Shape shape = design.shapes.at(size_t(valueOf(index, Attribute::Shape)));
    const QColor fill = design.colours.at(size_t(valueOf(index, Attribute::Colour)));
    const bool big = valueOf(index, Attribute::Size) == 0;

    QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawCard(painter, kPictureSize, kCardBorder, Qt::white);

    const double extent = kPictureSize * (big ? kBigExtent : kSmallExtent) * extentShare(shape);
    const double penWidth = std::max(kPictureSize * 0.012, extent * 0.025);
    const QPointF centre(kPictureSize / 2.0, kPictureSize / 2.0);
    const std::vector<Part> parts = partsOf(shape, fill);
    const QTransform toPixels = fitting(parts, centre, extent);
    // The outline is drawn in pixels, so that it keeps its width whatever
    // the scale of the figure's units.
    painter.setPen(QPen(outlineOf(fill), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const Part& part : parts) {
        QBrush brush = part.brush;
        brush.setTransform(toPixels);
        painter.setBrush(brush);
        painter.drawPath(toPixels.map(part.path));
    }
    if (valueOf(index, Attribute::Pattern) == 1)
        drawStripes(painter, parts, toPixels, fill, extent);
    if (shape == Shape::Face)
        drawFaceFeatures(painter, toPixels, penWidth);
    return image;
}

}  // namespace tools
