#include "PictureFiles.h"

#include "CardShape.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QtConcurrent/QtConcurrentMap>

namespace exercises::picture_files {

namespace {

// A file's bytes as last read, and what they decoded to. At most the forty
// pictures of the sets are kept: 40 MiB when every set has been shown.
struct DecodedFile {
    QByteArray bytes;
    std::optional<files::Picture> picture;
};

QHash<QString, DecodedFile>& decodedFiles() {
    static QHash<QString, DecodedFile> files;
    return files;
}

}  // namespace

std::vector<files::Picture> loadSetPictures(const QStringList& paths) {
    QHash<QString, DecodedFile>& decoded = decodedFiles();
    struct NewFile {
        QString path;
        QByteArray bytes;
    };
    QList<NewFile> changed;
    for (const QString& path : paths) {
        std::optional<QByteArray> bytes = files::ReadPictureFile(path);
        if (!bytes)
            decoded.remove(path);
        else if (const auto known = decoded.constFind(path); known == decoded.cend() || known->bytes != *bytes)
            changed.append({path, std::move(*bytes)});
    }
    const QList<std::optional<files::Picture>> pictures = QtConcurrent::blockingMapped(
        changed, [](const NewFile& file) { return files::DecodePicture(file.bytes, file.path); });
    for (qsizetype i = 0; i < changed.size(); ++i)
        decoded.insert(changed[i].path, {changed[i].bytes, pictures[i]});
    // The grey card is drawn here, on the screen's thread, where its font is at home.
    std::vector<files::Picture> set;
    set.reserve(std::size_t(paths.size()));
    for (const QString& path : paths) {
        const auto file = decoded.constFind(path);
        set.push_back(file != decoded.cend() && file->picture ? *file->picture : missingPictureCard());
    }
    return set;
}

files::Picture missingPictureCard() {
    // The size and card of the picture files, so that the grey card fits in their place.
    constexpr int kSide = resources::picture_sets::kPictureSize;
    QImage card(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    resources::picture_sets::drawCard(painter, kSide, QColor(128, 128, 128), QColor(208, 208, 208));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(kSide / 2);
    painter.setFont(font);
    painter.setPen(QColor(96, 96, 96));
    painter.drawText(card.rect(), Qt::AlignCenter, QStringLiteral("?"));
    painter.end();
    return files::Picture(card);
}

}  // namespace exercises::picture_files
