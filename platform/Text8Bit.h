#pragma once
// The 8-bit text of language and settings files. Files are read as
// Windows-1252 unless they are valid UTF-8 (with or without a byte-order
// mark), which is read as UTF-8. Text is written as Windows-1252, or as UTF-8
// when Windows-1252 cannot hold it, so that it reads back the same.

#include <QByteArray>
#include <QString>

namespace platform {

QString decodeText(const QByteArray& bytes);
QByteArray encodeText(const QString& text);

}  // namespace platform
