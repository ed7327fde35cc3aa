#pragma once
// The language files: one INI-style file per language (files/DataFiles.h
// says where), a section per screen named by its form name and a section
// "Strings" of numbered texts, and a section "Language" whose key "Locale"
// names the locale the file is for ("it_IT", "en_GB", ...); and the settings
// file, which remembers the chosen language. The texts of the screens and the
// numbered strings are read anew at every lookup; what is ours alone (the
// voice's and the screen reader's words, the locale) is kept between
// translations.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace forms {
class Screen;
}

namespace modLanguageSupport {

// The name of the current language; empty at start.
extern QString MLSCurrentLanguage;

// The text of `key` in `section`, or empty when the section or the key is
// missing; std::nullopt when the file does not exist. Files of up to 64000
// bytes go through the profile reader. Larger ones are scanned line by line
// without regard to sections: the first line that begins with `key` (case
// counts) gives its text after the key and one more character, less the first
// and the last character. At most 511 characters are returned either way.
std::optional<QString> MLSReadIni(const QString& file, const QString& section, const QString& key);

// Writes one key; non-zero on success.
qint32 MLSWriteIni(const QString& file, const QString& section, const QString& key, const QString& value);

// The text of a string number ("0001") in the current language, or empty.
// Fills an empty current language from the settings file first.
QString MLSGetString(const QString& number);

// The language the settings files remember; std::nullopt when none holds a
// choice (missing, unreadable or without the key: all the same).
std::optional<QString> MLSStoredLanguage();
// The locale of the designed texts.
inline constexpr QStringView kDesignedLocale = u"it_IT";
// The language whose file is for the first of `uiLanguages` ("de-DE", "fr")
// that one is for, else the designed one, else empty: the language of a first run.
QString MLSSystemLanguage(const QStringList& uiLanguages = QLocale::system().uiLanguages());
// The remembered language, or at first run the system's.
QString MLSStartLanguage();
// The locale the current language file is for; the designed one when it names none.
QString MLSCurrentLocale();

// The sections of words that are ours alone. Their keys in a file are made
// from a logical key ("Colour", "Command7", "Right") by MLSOurFileKey alone:
// "Say(Colour)" in [Speech], "Name(Right)" in [Accessibility]. The closing
// bracket keeps every key of ours from being the beginning of another key of
// any section, which the line scan of a large file, blind to sections, needs.
// The parent's settings dialog says "Set(Scan)" in [Settings].
// The words of a message box's buttons are "Button(Yes)", "Button(No)" and
// "Button(OK)" in [Dialog], for languages Qt has none for.
enum class OurWords { Speech, Accessibility, Settings, Dialog };
QString MLSOurFileKey(OurWords words, const QString& key);
QString MLSOurSection(OurWords words);

// The word of ours `key` in the file of `language`, or empty. Read once after
// each translation of a screen (every screen load and language change) and
// then kept, so that answering and the next puzzle read no file.
QString MLSOurWord(OurWords words, const QString& key, const QString& language = MLSCurrentLanguage);

// How many times a language or settings file has been read since the start;
// for the benchmarks.
quint64 MLSReadCount();

// Has message boxes speak the current language: Qt's translation of the
// buttons where it has one, else the words of the language file.
void MLSInstallDialogTranslations();

// Applies the current language file to a loaded screen: its window caption
// (only while not empty) and the caption, tooltip text and tag of every
// control for which the file has a text; then forgets the kept words of ours
// and has the screen name its controls for assistive technology anew.
void MLSTranslateForm(forms::Screen& frm);

}  // namespace modLanguageSupport
