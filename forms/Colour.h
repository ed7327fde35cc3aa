#pragma once
// Colours of the program's own routines are 32-bit 0x00BBGGRR values (red in
// the lowest byte); Qt works in QRgb (0xAARRGGBB).

#include <QRgb>
#include <QtGlobal>

namespace forms {

constexpr QRgb rgbFromBgr(quint32 bbggrr) {
    return qRgb(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}
constexpr quint32 bgrFromRgb(QRgb rgb) {
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

}  // namespace forms
