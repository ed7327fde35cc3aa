#include "tools/GifFile.h"

#include <QFile>
#include <QHash>

#include <gif_lib.h>

#include <array>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace tools {
namespace {

constexpr int kMaxColours = 256;

struct IndexedImage {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> pixels;  // one palette index per pixel, row by row
};

// Exact palette; empty when the image has more than 256 colours.
IndexedImage indexExactly(const QImage& image) {
    IndexedImage result;
    QHash<QRgb, GifByteType> indexOf;
    result.pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = row[x] | 0xff000000u;
            auto found = indexOf.constFind(colour);
            if (found == indexOf.cend()) {
                if (indexOf.size() == kMaxColours) return {};
                found = indexOf.insert(colour, GifByteType(indexOf.size()));
                result.palette.push_back({GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                          GifByteType(qBlue(colour))});
            }
            result.pixels.push_back(*found);
        }
    }
    return result;
}

IndexedImage quantise(const QImage& image) {
    const size_t count = size_t(image.width()) * size_t(image.height());
    std::vector<GifByteType> red(count), green(count), blue(count);
    size_t at = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++at) {
            red[at] = GifByteType(qRed(row[x]));
            green[at] = GifByteType(qGreen(row[x]));
            blue[at] = GifByteType(qBlue(row[x]));
        }
    }
    IndexedImage result;
    result.pixels.resize(count);
    result.palette.resize(kMaxColours);
    int paletteSize = kMaxColours;
    if (GifQuantizeBuffer(unsigned(image.width()), unsigned(image.height()), &paletteSize, red.data(),
                          green.data(), blue.data(), result.pixels.data(), result.palette.data()) != GIF_OK)
        return {};
    result.palette.resize(size_t(paletteSize));

    std::vector<std::array<quint64, 4>> sums(result.palette.size(), {0, 0, 0, 0});
    for (size_t i = 0; i < count; ++i) {
        auto& sum = sums[result.pixels[i]];
        sum[0] += red[i];
        sum[1] += green[i];
        sum[2] += blue[i];
        ++sum[3];
    }
    for (size_t i = 0; i < result.palette.size(); ++i) {
        const auto& sum = sums[i];
        if (sum[3] == 0) continue;
        const auto mean = [&](quint64 total) { return GifByteType((total + sum[3] / 2) / sum[3]); };
        result.palette[i] = {mean(sum[0]), mean(sum[1]), mean(sum[2])};
    }
    return result;
}

}  // namespace

bool writeGif(const QImage& source, const QString& path, QString* error) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    IndexedImage indexed = indexExactly(image);
    if (indexed.palette.empty()) indexed = quantise(image);
    if (indexed.palette.empty()) {
        *error = u"the colours of the image could not be quantised"_s;
        return false;
    }
    // A GIF colour table holds a power of two entries.
    int tableSize = 2;
    while (tableSize < int(indexed.palette.size())) tableSize *= 2;
    indexed.palette.resize(size_t(tableSize), GifColorType{255, 255, 255});

    const std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> colourMap(
        GifMakeMapObject(tableSize, indexed.palette.data()), &GifFreeMapObject);
    int gifError = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &gifError);
    if (!gif) {
        *error = QString::fromUtf8(GifErrorString(gifError));
        return false;
    }
    bool written = colourMap
        && EGifPutScreenDesc(gif, image.width(), image.height(), 8, 0, colourMap.get()) == GIF_OK
        && EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; written && y < image.height(); ++y)
        written = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * size_t(image.width()), image.width())
            == GIF_OK;
    if (!written) gifError = gif->Error;
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && written) {
        written = false;
        gifError = closeError;
    }
    if (!written) *error = QString::fromUtf8(GifErrorString(gifError));
    return written;
}

}  // namespace tools
