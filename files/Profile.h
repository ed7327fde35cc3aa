#pragma once
// Reading and writing one key of an INI-style settings file, as Windows'
// profile functions do on every point our files can meet.
//
// Reading: section and key names match without regard to case, blanks around
// key and value are ignored, a pair of enclosing double or single quotes is
// removed, at most 511 characters are returned; only the first section of a
// name is searched; a missing file, section or key gives `fallback`. Lines
// may end in CR LF, LF or CR. Text is 8-bit or UTF-8 (see Text8Bit.h), or
// UTF-16 with a byte-order mark; only the start of a file carries a mark.
// Writing creates the file, the section or the key when missing and replaces
// the value otherwise, in the first section of the name; every other line is
// kept byte for byte, the rewritten one keeps its ending and a new one takes
// the ending of the line before it (a new file gets CR LF). The file is
// replaced atomically, so a crash or a full disk never leaves it truncated.
// A UTF-16 file stays UTF-16 with its mark; a text Windows-1252 cannot hold
// turns an 8-bit file into UTF-8.
//
// Where we differ from Windows, and why:
// - Valid UTF-8 is read as UTF-8 (Windows: the ANSI code page), so that files
//   saved by today's editors read right.
// - A value with blanks at its ends, or with enclosing quotes of its own, is
//   written in quotes (Windows writes it bare and reads it back changed).
// - Line breaks in a section, key or value, a "]" in a section, an empty key
//   or one holding "=" or starting with "[" are refused (Windows writes lines
//   that read back as something else).
// - A rewritten key keeps the caller's spelling (Windows keeps the file's).
// - A new key goes after the section's last non-blank line, comments
//   included (Windows: after its last entry); only the look differs.
// - An unpaired surrogate of a UTF-16 file reads as U+FFFD and an odd last
//   byte is dropped; a write stores the text so read.
// - Files over 1 GiB, or on /proc and the like, read as missing; files over
//   16 MiB are not rewritten (a settings file is a few lines).
// - A rewritten last line that has no line ending keeps having none
//   (Windows ends it with CR LF).
// - A file that is only a byte-order mark is an empty file of that encoding:
//   a write keeps the mark and puts the new section right after it (Windows
//   first ends a line after the mark).
// - A line that begins with ";" is an entry like any other: the key ";key"
//   finds ";key=value" (Windows takes the line for a comment and gives the
//   fallback).
// - The fallback is given as it is (Windows removes its trailing blanks).
// - Of a line over 64 KiB only the first 64 KiB are read: a value that
//   begins beyond (after 64 KiB of blanks) reads as empty (Windows reads the
//   whole line). Language files that large go to the line scan instead.

#include <QString>

namespace files {

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

}  // namespace files
