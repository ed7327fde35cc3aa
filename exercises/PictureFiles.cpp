#include "PictureFiles.h"

#include "CardShape.h"

#include <QFont>
#include <QPainter>
#include <QtConcurrent/QtConcurrentMap>

namespace picture_files {

std::vector<platform::Picture> loadSetPictures(const QStringList& paths) {
    const QList<std::optional<platform::Picture>> decoded =
        QtConcurrent::blockingMapped(paths, [](const QString& path) { return platform::LoadPicture(path); });
    // The grey card is drawn here, on the screen's thread, where its font is at home.
    std::vector<platform::Picture> pictures;
    pictures.reserve(decoded.size());
    for (const std::optional<platform::Picture>& picture : decoded)
        pictures.push_back(picture ? *picture : missingPictureCard());
    return pictures;
}

platform::Picture missingPictureCard() {
    // The size and card of the picture files, so that the grey card fits in their place.
    constexpr int kSide = picture_sets::kPictureSize;
    QImage card(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    picture_sets::drawCard(painter, kSide, QColor(128, 128, 128), QColor(208, 208, 208));
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
