#pragma once
// Whether the captions of a language fit their controls at 1024 × 600, the
// smallest display the program is made for: every screen is shown offscreen
// in English and in the language, and each caption is measured in the font
// the screen gives it.

#include <QStringList>

// Call before the application object is made: the offscreen display of that size.
void prepareCaptionFit();

// The faults, one line each ("[FormMenu] Command2.Caption: ..."); `language` and
// `english` are the UTF-8 texts.
QStringList captionsThatDoNotFit(const QString& language, const QString& english);
