#include "exercises/PictureFiles.h"

#include <QFont>
#include <QPainter>

namespace picture_files {

platform::Picture loadSetPicture(const QString& path) {
    if (std::optional<platform::Picture> picture = platform::LoadPicture(path))
        return *picture;
    return missingPictureCard();
}

platform::Picture missingPictureCard() {
    constexpr int kSide = 256;
    QImage card(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 128, 128), 6));
    painter.setBrush(QColor(208, 208, 208));
    painter.drawRoundedRect(QRectF(8, 8, kSide - 16, kSide - 16), 24, 24);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(kSide / 2);
    painter.setFont(font);
    painter.setPen(QColor(96, 96, 96));
    painter.drawText(card.rect(), Qt::AlignCenter, QStringLiteral("?"));
    painter.end();
    return platform::Picture(card);
}

}  // namespace picture_files
