#pragma once
// A parent's settings, kept per user in
// $XDG_CONFIG_HOME/metamorfine/metamorfine.conf (an INI file), over the
// system's defaults in $XDG_CONFIG_DIRS/metamorfine/metamorfine.conf (/etc/xdg
// when unset; the first folder that sets a key wins), and the command-line
// flags that override them for one run. The system's file may lock keys
// ("[Locked]" "Keys=Window/Kiosk Speech/On"): a user's file and the flags
// then cannot change them. The language a user chooses is not among them: it
// stays in LangSetting.ini; the system's file may set it (key::kLanguage).
//
// A missing, unreadable or damaged file, or a value that makes no sense,
// gives the default of what it holds; the child is told nothing, the log
// "metamorfine.settings" says what was wrong.

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

class QCommandLineParser;

namespace settings {

Q_DECLARE_LOGGING_CATEGORY(lcSettings)

// Switch scanning: off, moving by itself (one switch chooses), or moved by
// one switch and chosen by another.
enum class Scan { Off, Auto, Step };

// Whether a screen reader speaks the focus, so that the program's own voice
// keeps to instructions and praise: as AT-SPI says, or decided either way.
enum class ScreenReader { Auto, On, Off };

// The level of the puzzles: 1 shows four pictures, 2 eight (the designed
// game), 3 sixteen.
inline constexpr int kMinLevel = 1;
inline constexpr int kDefaultLevel = 2;
inline constexpr int kMaxLevel = 3;

// The parent's choice of level: a fixed one (its number), or one that grows
// with the child from the level reached in the last run.
enum class Level { One = 1, Two = 2, Three = 3, Grows };

inline constexpr int kMinScanIntervalMs = 500;
inline constexpr int kDefaultScanIntervalMs = 2000;
inline constexpr int kMaxScanIntervalMs = 10000;
// Speech-dispatcher's scale: -100 slowest, 0 the voice's own pace, 100 fastest.
inline constexpr int kMinSpeechRate = -100;
inline constexpr int kMaxSpeechRate = 100;

// The keys of the files, "Section/Key".
namespace key {
inline constexpr QStringView kScan = u"Scan/Mode";
inline constexpr QStringView kScanInterval = u"Scan/IntervalMs";
inline constexpr QStringView kSpeech = u"Speech/On";
inline constexpr QStringView kSpeechRate = u"Speech/Rate";
inline constexpr QStringView kScreenReader = u"Speech/ScreenReader";
inline constexpr QStringView kPraise = u"Praise/On";
inline constexpr QStringView kRememberSound = u"Remember/Sound";
inline constexpr QStringView kRememberPictureSet = u"Remember/PictureSet";
inline constexpr QStringView kSound = u"Remembered/Sound";
inline constexpr QStringView kPictureSet = u"Remembered/PictureSet";
inline constexpr QStringView kKiosk = u"Window/Kiosk";
inline constexpr QStringView kFullScreen = u"Window/FullScreen";
inline constexpr QStringView kLevel = u"Level/Choice";
inline constexpr QStringView kLevelOnMenu = u"Level/OnMenu";
inline constexpr QStringView kReachedLevel = u"Remembered/Level";
// The language of a user who has chosen none (the system's file only).
inline constexpr QStringView kLanguage = u"Language/CurrentLanguage";
}  // namespace key

struct Settings {
    Scan scan = Scan::Off;
    int scanIntervalMs = kDefaultScanIntervalMs;
    bool speech = true;
    int speechRate = 0;
    ScreenReader screenReader = ScreenReader::Auto;
    bool praise = true;
    // Whether the sound switch and the picture set start as they were left;
    // by default every run starts with sounds on and every picture set.
    bool rememberSound = false;
    bool rememberPictureSet = false;
    bool sound = true;   // the sound switch as it was left
    int pictureSet = 6;  // the picture set as it was left, 1 to 6
    bool kiosk = false;
    bool fullScreen = true;
    Level level = Level(kDefaultLevel);
    bool levelOnMenu = true;           // whether the child may choose the level on the menu
    int reachedLevel = kDefaultLevel;  // the level reached growing with the child

    bool operator==(const Settings&) const = default;
};

// This user's folder of configuration: $XDG_CONFIG_HOME when it is an
// absolute path, else ~/.config, as the XDG rules say.
QString configFolder();

// The settings file of this user.
QString filePath();

// The system's files, most important first.
QStringList systemFilePaths();
// The keys the system's files lock.
QStringList lockedKeys();

// The settings of the file over the system's; the system's when there is no
// file. Nothing when the file is there but cannot be read (not a regular
// file, too large, no permission): nothing must then be written back over it.
std::optional<Settings> readStored(const QString& path = filePath());
// The settings of the file over the system's, or the system's.
Settings read(const QString& path = filePath());
// Replaces the file at once, making its folder if needed; false when it could
// not be written (logged). A key the system locks, or sets to the same value,
// is not written.
bool write(const Settings& settings, const QString& path = filePath());

// The settings of this run: the file's, then the flags'.
Settings& current();

// The flags, for --help.
void addOptions(QCommandLineParser& parser);
// `settings` with the flags set in `parser` over it, except on the `locked`
// keys (those a flag would have changed are added to `ignored`); an empty
// error when every flag's value is valid, else the error (and `settings`
// unchanged).
QString applyOptions(const QCommandLineParser& parser, Settings& settings, const QStringList& locked = {},
                     QStringList* ignored = nullptr);
// Whether the parent's settings dialog was asked for (--settings).
bool dialogAsked(const QCommandLineParser& parser);
// The language asked for with --language; empty when none.
QString languageAsked(const QCommandLineParser& parser);
// The exercise asked for with --exercise: nothing when none, 0 when its value
// is no number from 1 (applyOptions refuses it).
std::optional<int> exerciseAsked(const QCommandLineParser& parser);

// Keeps the child's choice of sound and picture set in the settings file for
// the next run, each only when this run remembers it and the file can be read.
void rememberChoices(bool sound, int pictureSet, const QString& path = filePath());

// The level of the next puzzle of a run with `settings`: the fixed level, or
// the one reached growing with the child.
int puzzleLevel(const Settings& settings = current());
// Keeps the level a child has grown to, for the rest of this run and in the
// settings file for the next one; nothing when this run's level is fixed.
void rememberLevel(int reached, const QString& path = filePath());
// The child's choice of level on the menu: this run's fixed level, or, while
// the level grows with the child, the level it grows from (kept as above).
void chooseLevel(int level, const QString& path = filePath());

}  // namespace settings
