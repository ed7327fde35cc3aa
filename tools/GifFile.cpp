#include "GifFile.h"

#include <QFile>
#include <QHash>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gif_lib.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace tools {
namespace {

constexpr int kMaxColours = 256;
// Every transparent pixel has this key; the keys of opaque pixels carry alpha 0xff.
constexpr QRgb kTransparentKey = 0;
// The colour shown for the transparent entry by a viewer that ignores transparency.
constexpr GifColorType kTransparentColour{255, 255, 255};

struct IndexedImage {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> pixels;  // one palette index per pixel, row by row
    int transparentIndex = NO_TRANSPARENT_COLOR;
};

std::vector<QRgb> pixelKeys(const QImage& image) {
    std::vector<QRgb> keys;
    keys.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            keys.push_back(qAlpha(row[x]) >= 128 ? row[x] | 0xff000000u : kTransparentKey);
    }
    return keys;
}

GifColorType gifColour(QRgb colour) {
    return {GifByteType(qRed(colour)), GifByteType(qGreen(colour)), GifByteType(qBlue(colour))};
}

// Exact palette; empty when the image has more than 256 colours.
IndexedImage indexExactly(const std::vector<QRgb>& keys) {
    IndexedImage result;
    QHash<QRgb, GifByteType> indexOf;
    result.pixels.reserve(keys.size());
    for (const QRgb key : keys) {
        auto found = indexOf.constFind(key);
        if (found == indexOf.cend()) {
            if (indexOf.size() == kMaxColours)
                return {};
            found = indexOf.insert(key, GifByteType(indexOf.size()));
            if (key == kTransparentKey) {
                result.transparentIndex = *found;
                result.palette.push_back(kTransparentColour);
            } else {
                result.palette.push_back(gifColour(key));
            }
        }
        result.pixels.push_back(*found);
    }
    return result;
}

// Quantises the opaque pixels to the entries left beside the transparent one.
IndexedImage quantise(const std::vector<QRgb>& keys) {
    std::vector<GifByteType> red, green, blue;
    for (const QRgb key : keys) {
        if (key == kTransparentKey)
            continue;
        red.push_back(GifByteType(qRed(key)));
        green.push_back(GifByteType(qGreen(key)));
        blue.push_back(GifByteType(qBlue(key)));
    }
    const size_t opaqueCount = red.size();
    const bool hasTransparent = opaqueCount < keys.size();
    std::vector<GifByteType> opaqueIndex(opaqueCount);
    IndexedImage result;
    result.palette.resize(kMaxColours);
    int paletteSize = kMaxColours - (hasTransparent ? 1 : 0);
    if (GifQuantizeBuffer(unsigned(opaqueCount), 1, &paletteSize, red.data(), green.data(), blue.data(),
                          opaqueIndex.data(), result.palette.data()) != GIF_OK)
        return {};
    result.palette.resize(size_t(paletteSize));

    std::vector<std::array<quint64, 4>> sums(result.palette.size(), {0, 0, 0, 0});
    for (size_t i = 0; i < opaqueCount; ++i) {
        auto& sum = sums[opaqueIndex[i]];
        sum[0] += red[i];
        sum[1] += green[i];
        sum[2] += blue[i];
        ++sum[3];
    }
    for (size_t i = 0; i < result.palette.size(); ++i) {
        const auto& sum = sums[i];
        if (sum[3] == 0)
            continue;
        const auto mean = [&](quint64 total) { return GifByteType((total + sum[3] / 2) / sum[3]); };
        result.palette[i] = {mean(sum[0]), mean(sum[1]), mean(sum[2])};
    }
    if (hasTransparent) {
        result.transparentIndex = paletteSize;
        result.palette.push_back(kTransparentColour);
    }
    result.pixels.reserve(keys.size());
    size_t nextOpaque = 0;
    for (const QRgb key : keys)
        result.pixels.push_back(key == kTransparentKey ? GifByteType(result.transparentIndex)
                                                       : opaqueIndex[nextOpaque++]);
    return result;
}

bool putTransparency(GifFileType* gif, int transparentIndex) {
    if (transparentIndex == NO_TRANSPARENT_COLOR)
        return true;
    const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK;
}

}  // namespace

bool writeGif(const QImage& source, const QString& path, QString* error) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const std::vector<QRgb> keys = pixelKeys(image);
    IndexedImage indexed = indexExactly(keys);
    if (indexed.palette.empty())
        indexed = quantise(keys);
    if (indexed.palette.empty()) {
        *error = u"the colours of the image could not be quantised"_s;
        return false;
    }
    // A GIF colour table holds a power of two entries.
    int tableSize = 2;
    while (tableSize < int(indexed.palette.size()))
        tableSize *= 2;
    indexed.palette.resize(size_t(tableSize), kTransparentColour);

    const std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> colourMap(
        GifMakeMapObject(tableSize, indexed.palette.data()), &GifFreeMapObject);
    // giflib would create the file readable by its owner only; the pictures
    // are data every user of the program reads, whatever the umask.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::fchmod(fd, 0644) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    int gifError = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &gifError);
    if (!gif) {
        ::close(fd);
        *error = QString::fromUtf8(GifErrorString(gifError));
        return false;
    }
    EGifSetGifVersion(gif, indexed.transparentIndex != NO_TRANSPARENT_COLOR);
    bool written = colourMap &&
                   EGifPutScreenDesc(gif, image.width(), image.height(), 8, 0, colourMap.get()) == GIF_OK &&
                   putTransparency(gif, indexed.transparentIndex) &&
                   EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; written && y < image.height(); ++y)
        written = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * size_t(image.width()), image.width()) == GIF_OK;
    if (!written)
        gifError = gif->Error;
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && written) {
        written = false;
        gifError = closeError;
    }
    if (!written)
        *error = QString::fromUtf8(GifErrorString(gifError));
    return written;
}

}  // namespace tools
