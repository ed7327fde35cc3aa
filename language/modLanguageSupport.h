#pragma once
// The language files: one INI-style file per language (files/DataFiles.h
// says where), a section per screen named by its form name and a section
// "Strings" of numbered texts, and a section "Language" whose key "Locale"
// names the locale the file is for ("it", "en", ...); and the settings file,
// which remembers the chosen language. Nothing is cached: every lookup reads
// the file again.

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {
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

// The text of `key` in `section` of the current language file, or empty; the
// lookup of MLSGetString for any section.
QString MLSGetSectionString(const QString& section, const QString& key);

// The language the settings files remember; std::nullopt when none holds a
// choice (missing, unreadable or without the key: all the same).
std::optional<QString> MLSStoredLanguage();
// The locale of the designed texts.
inline constexpr QStringView kDesignedLocale = u"it";
// The language whose file is for the first of `uiLanguages` ("de-DE", "fr")
// that one is for, else the designed one, else empty: the language of a first run.
QString MLSSystemLanguage(const QStringList& uiLanguages = QLocale::system().uiLanguages());
// The remembered language, or at first run the system's.
QString MLSStartLanguage();
// The locale the current language file is for; the designed one when it names none.
QString MLSCurrentLocale();

// Applies the current language file to a loaded screen: its window caption
// (only while not empty) and the caption, tooltip text and tag of every
// control for which the file has a text.
void MLSTranslateForm(platform::Screen& frm);

}  // namespace modLanguageSupport
