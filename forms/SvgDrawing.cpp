#include "SvgDrawing.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>

namespace forms {

namespace {

constexpr int kPointerSize = 32;

// The drawings are built into the program and never change: each is read once
// a run, however often and at however many sizes it is drawn. The readers
// belong to the application object.
QSvgRenderer& svgReader(const QString& resource) {
    static QHash<QString, QPointer<QSvgRenderer>> readers;
    QPointer<QSvgRenderer>& reader = readers[resource];
    if (!reader)
        reader = new QSvgRenderer(resource, QCoreApplication::instance());
    return *reader;
}

}  // namespace

QRect fittedRect(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.topLeft() + QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
            fitted};
}

QPixmap renderSvg(const QString& resource, const QSize& size, qreal devicePixelRatio) {
    QSvgRenderer& renderer = svgReader(resource);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, fittedRect(renderer.defaultSize(), QRect(QPoint(), pixels)));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon iconFromResource(const char* resource) {
    if (!resource)
        return {};
    // Each screen's window asks again whenever it is loaded: render once a run.
    static QHash<QString, QIcon> rendered;
    const QString name = QString::fromUtf8(resource);
    if (const auto found = rendered.constFind(name); found != rendered.constEnd())
        return *found;
    QIcon& icon = rendered[name];
    for (const int side : {16, 32, 48}) {
        const QPixmap pixmap = renderSvg(name, QSize(side, side));
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

QCursor cursorFromPointer(const Pointer& pointer) {
    if (!pointer.resource)
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap = renderSvg(QString::fromUtf8(pointer.resource), QSize(kPointerSize, kPointerSize));
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(pixmap, pointer.hotX, pointer.hotY);
}

}  // namespace forms
