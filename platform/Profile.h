#pragma once
// Reading and writing one key of an INI-style settings file.
//
// Reading: section and key names match without regard to case, blanks around
// key and value are ignored, enclosing double quotes are removed, at most 511
// characters are returned; a missing file, section or key gives `fallback`.
// Lines may end in CR LF, LF or CR; a huge file or line is read in pieces.
// Writing creates the file, the section or the key when missing and replaces
// the value otherwise; every other line is kept as it was, byte for byte (a new
// file gets CR LF), and the file is replaced atomically, so a crash or a full
// disk never leaves it truncated. A value that reading would change (blanks at
// its ends, enclosing quotes) is written in quotes. Text is 8-bit (see
// Text8Bit.h): a text Windows-1252 cannot hold turns the file into UTF-8.

#include <QString>

namespace platform {

inline constexpr int kProfileValueMax = 511;

// `value` cut to its first kProfileValueMax characters, never inside a
// surrogate pair.
QString limitedValue(QStringView value);

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& fallback,
                                const QString& file);

// Returns false when the file could not be written (unwritable folder, a file
// over 16 MiB, a line break in the section, key or value, a key holding "=");
// the old file is then whole.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace platform
