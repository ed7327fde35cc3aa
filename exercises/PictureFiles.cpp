#include "PictureFiles.h"

#include "CardShape.h"

#include <QFont>
#include <QPainter>

namespace picture_files {

platform::Picture loadSetPicture(const QString& path) {
    if (std::optional<platform::Picture> picture = platform::LoadPicture(path))
        return *picture;
    return missingPictureCard();
}

platform::Picture missingPictureCard() {
    // The size and card of the picture files, so that the grey card fits in their place.
    constexpr int kSide = tools::kPictureSize;
    QImage card(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    tools::drawCard(painter, kSide, QColor(128, 128, 128), QColor(208, 208, 208));
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
