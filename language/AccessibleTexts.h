#pragma once
// The words that assistive technology speaks, from the section
// [Accessibility] of the current language file (kept: see MLSOurWord).
//
// Where the file lacks a word, the caller's fallback stands in: a text
// already shown on the screen in the same language. Where there is none, the
// word of the designed language's file does (a file written before these words
// existed still tells a big blue circle from a small one), else the word is
// empty: an empty name is better than an internal one. A missing pattern joins
// its non-empty values with blanks.

#include <QString>
#include <QStringList>

namespace modLanguageSupport {

QString MLSAccessibleText(const QString& key, const QString& fallback = QString());

// The pattern `key` ("picture %1 of %2: %3") filled with `values`.
QString MLSAccessibleFill(const QString& key, const QStringList& values);

// What picture `index` (file index + 1) of set `set` (1 to 5) shows, at a
// level of `attributes` attributes: the phrase "Set<set>.Picture<file>", or
// "Set<set>.Pattern.Picture<file>" where the pattern is among them ("big blue
// striped circle").
QString MLSPictureDescription(int set, int index, int attributes);

}  // namespace modLanguageSupport
