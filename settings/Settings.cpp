#include "Settings.h"

#include "FileAccess.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <limits>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace settings {

Q_LOGGING_CATEGORY(lcSettings, "metamorfine.settings", QtCriticalMsg)

namespace {

// The keys of the file.
const QString kScan = key::kScan.toString();
const QString kScanInterval = key::kScanInterval.toString();
const QString kSpeech = key::kSpeech.toString();
const QString kSpeechRate = key::kSpeechRate.toString();
const QString kScreenReader = key::kScreenReader.toString();
const QString kPraise = key::kPraise.toString();
const QString kRememberSound = key::kRememberSound.toString();
const QString kRememberPictureSet = key::kRememberPictureSet.toString();
const QString kSound = key::kSound.toString();
const QString kPictureSet = key::kPictureSet.toString();
const QString kKiosk = key::kKiosk.toString();
const QString kFullScreen = key::kFullScreen.toString();
const QString kLevel = key::kLevel.toString();
const QString kLevelOnMenu = key::kLevelOnMenu.toString();
const QString kReachedLevel = key::kReachedLevel.toString();
// The system file's list of the keys a user's file and the flags cannot change.
const QString kLockedKeys = u"Locked/Keys"_s;

// The flags.
const QString kWindowedFlag = u"windowed"_s;
const QString kFullScreenFlag = u"fullscreen"_s;
const QString kScanFlag = u"scan"_s;
const QString kScanIntervalFlag = u"scan-interval"_s;
const QString kNoSpeechFlag = u"no-speech"_s;
const QString kSpeechRateFlag = u"speech-rate"_s;
const QString kScreenReaderFlag = u"screen-reader"_s;
const QString kNoPraiseFlag = u"no-praise"_s;
const QString kKioskFlag = u"kiosk"_s;
const QString kNoKioskFlag = u"no-kiosk"_s;
const QString kLanguageFlag = u"language"_s;
const QString kExerciseFlag = u"exercise"_s;
const QString kSettingsFlag = u"settings"_s;
const QString kLevelFlag = u"level"_s;

// The words the file and the flags use for the values of a choice.
template <typename Choice, std::size_t Count>
using Words = std::array<std::pair<Choice, const char16_t*>, Count>;
constexpr Words<Scan, 3> kScanWords{{{Scan::Off, u"off"}, {Scan::Auto, u"auto"}, {Scan::Step, u"step"}}};
constexpr Words<ScreenReader, 3> kScreenReaderWords{
    {{ScreenReader::Auto, u"auto"}, {ScreenReader::On, u"on"}, {ScreenReader::Off, u"off"}}};
constexpr Words<Level, 4> kLevelWords{
    {{Level::One, u"1"}, {Level::Two, u"2"}, {Level::Three, u"3"}, {Level::Grows, u"auto"}}};

template <typename Choice, std::size_t Count>
QString wordFor(const Words<Choice, Count>& words, Choice choice) {
    for (const auto& [value, word] : words)
        if (value == choice)
            return QString::fromUtf16(word);
    return QString::fromUtf16(words.front().second);
}

template <typename Choice, std::size_t Count>
std::optional<Choice> choiceFor(const Words<Choice, Count>& words, const QString& text) {
    for (const auto& [value, word] : words)
        if (text == QStringView(word))
            return value;
    return std::nullopt;
}

std::optional<int> intIn(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// The entries of an INI file, "Section/Key" to value. Blanks around names
// and values, blank lines and comments (";" or "#") do not count; a pair of
// enclosing double quotes is removed. The file is parsed here rather than by
// QSettings, which keeps what it read under the file's name and takes a file
// replaced within the same millisecond, at the same size, for the old one.
using Entries = QHash<QString, QString>;

Entries parseEntries(const QByteArray& bytes) {
    Entries entries;
    QString section;
    for (const QByteArray& rawLine : bytes.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.sliced(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || section.isEmpty())
            continue;
        QString text = line.sliced(equals + 1).trimmed();
        if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
            text = text.sliced(1, text.size() - 2);
        entries.insert(section % u'/' % line.first(equals).trimmed(), text);
    }
    return entries;
}

// The value of `key`, or `fallback` when the file lacks it or holds nonsense.
template <typename T, typename Parse>
T value(const Entries& file, const QString& path, const QString& key, T fallback, Parse parse) {
    const auto found = file.constFind(key);
    if (found == file.cend())
        return fallback;
    const auto parsed = parse(*found);
    if (!parsed) {
        qCWarning(lcSettings) << "settings file" << path << ":" << key << "holds" << *found << "- the default is used";
        return fallback;
    }
    return *parsed;
}

struct ParseBool {
    std::optional<bool> operator()(const QString& text) const {
        if (text == u"true"_s)
            return true;
        if (text == u"false"_s)
            return false;
        return std::nullopt;
    }
};

template <int Lowest, int Highest>
struct ParseInt {
    std::optional<int> operator()(const QString& text) const { return intIn(text, Lowest, Highest); }
};

template <typename Choice, std::size_t Count>
struct ParseChoice {
    const Words<Choice, Count>& words;
    std::optional<Choice> operator()(const QString& text) const { return choiceFor(words, text); }
};
template <typename Choice, std::size_t Count>
ParseChoice(const Words<Choice, Count>&) -> ParseChoice<Choice, Count>;

}  // namespace

QString configFolder() {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(folder) ? QDir::cleanPath(folder) : QDir::homePath() % u"/.config"_s;
}

QString filePath() {
    return configFolder() % u"/metamorfine/metamorfine.conf"_s;
}

namespace {

// A settings file is a few hundred bytes; more is junk, not read.
constexpr qint64 kMaxFileSize = 64 * 1024;

// The entries of the file at `path`: none when there is no file, nothing
// when it cannot be read.
std::optional<Entries> readEntries(const QString& path) {
    QFile input;
    switch (settings::openRegularFile(path, kMaxFileSize, input)) {
    case settings::FileOpening::Missing:
        return Entries{};
    case settings::FileOpening::Refused:
        qCWarning(lcSettings) << "settings file" << path << "cannot be read: not a regular file of at most"
                              << kMaxFileSize << "bytes, or no permission";
        return std::nullopt;
    case settings::FileOpening::Opened:
        break;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        qCWarning(lcSettings) << "settings file" << path << "cannot be read:" << input.errorString();
        return std::nullopt;
    }
    return parseEntries(bytes);
}

// `base` with the values `file` holds over it.
Settings fromEntries(const Entries& file, const QString& path, const Settings& base) {
    const Settings& defaults = base;
    return Settings{
        .scan = value(file, path, kScan, defaults.scan, ParseChoice{kScanWords}),
        .scanIntervalMs = value(file, path, kScanInterval, defaults.scanIntervalMs,
                                ParseInt<kMinScanIntervalMs, kMaxScanIntervalMs>{}),
        .speech = value(file, path, kSpeech, defaults.speech, ParseBool{}),
        .speechRate = value(file, path, kSpeechRate, defaults.speechRate, ParseInt<kMinSpeechRate, kMaxSpeechRate>{}),
        .screenReader = value(file, path, kScreenReader, defaults.screenReader, ParseChoice{kScreenReaderWords}),
        .praise = value(file, path, kPraise, defaults.praise, ParseBool{}),
        .rememberSound = value(file, path, kRememberSound, defaults.rememberSound, ParseBool{}),
        .rememberPictureSet = value(file, path, kRememberPictureSet, defaults.rememberPictureSet, ParseBool{}),
        .sound = value(file, path, kSound, defaults.sound, ParseBool{}),
        .pictureSet = value(file, path, kPictureSet, defaults.pictureSet, ParseInt<1, 6>{}),
        .kiosk = value(file, path, kKiosk, defaults.kiosk, ParseBool{}),
        .fullScreen = value(file, path, kFullScreen, defaults.fullScreen, ParseBool{}),
        .level = value(file, path, kLevel, defaults.level, ParseChoice{kLevelWords}),
        .levelOnMenu = value(file, path, kLevelOnMenu, defaults.levelOnMenu, ParseBool{}),
        .reachedLevel = value(file, path, kReachedLevel, defaults.reachedLevel, ParseInt<kMinLevel, kMaxLevel>{}),
    };
}

// Every key with the value `settings` gives it, ordered by key, so that each
// section's keys stand together.
std::map<QString, QString> toEntries(const Settings& settings) {
    const auto word = [](bool on) { return on ? u"true"_s : u"false"_s; };
    return {
        {kScan, wordFor(kScanWords, settings.scan)},
        {kScanInterval, QString::number(settings.scanIntervalMs)},
        {kSpeech, word(settings.speech)},
        {kSpeechRate, QString::number(settings.speechRate)},
        {kScreenReader, wordFor(kScreenReaderWords, settings.screenReader)},
        {kPraise, word(settings.praise)},
        {kRememberSound, word(settings.rememberSound)},
        {kRememberPictureSet, word(settings.rememberPictureSet)},
        {kSound, word(settings.sound)},
        {kPictureSet, QString::number(settings.pictureSet)},
        {kKiosk, word(settings.kiosk)},
        {kFullScreen, word(settings.fullScreen)},
        {kLevel, wordFor(kLevelWords, settings.level)},
        {kLevelOnMenu, word(settings.levelOnMenu)},
        {kReachedLevel, QString::number(settings.reachedLevel)},
    };
}

// The system's files merged, the first folder of $XDG_CONFIG_DIRS winning:
// every entry, and the keys they lock (those of every file).
struct SystemLayer {
    Entries entries;
    QStringList locked;
};

SystemLayer readSystem() {
    SystemLayer layer;
    QStringList files = systemFilePaths();
    std::reverse(files.begin(), files.end());
    for (const QString& file : std::as_const(files)) {
        const Entries entries = readEntries(file).value_or(Entries{});
        for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
            if (entry.key() != kLockedKeys)
                layer.entries.insert(entry.key(), entry.value());
        }
        // "Section/Key" names, parted by commas or blanks.
        static const QRegularExpression parting(u"[,\\s]+"_s);
        for (const QString& key : entries.value(kLockedKeys).split(parting, Qt::SkipEmptyParts))
            if (!layer.locked.contains(key))
                layer.locked.append(key);
    }
    return layer;
}

// What the system files say, over the built-in defaults.
Settings systemDefaults(const SystemLayer& layer) {
    return fromEntries(layer.entries, u"(system)"_s, Settings{});
}

// `entries` without the locked keys, logged when it held them.
Entries unlocked(Entries entries, const QStringList& locked, const QString& path) {
    for (const QString& key : locked)
        if (entries.remove(key) > 0)
            qCInfo(lcSettings) << "settings file" << path << ":" << key << "is locked by the system's settings";
    return entries;
}

}  // namespace

QStringList systemFilePaths() {
    QString folders = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (folders.isEmpty())
        folders = u"/etc/xdg"_s;
    QStringList files;
    for (const QString& folder : folders.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            files.append(QDir::cleanPath(folder) % u"/metamorfine/metamorfine.conf"_s);
    return files;
}

QStringList lockedKeys() {
    return readSystem().locked;
}

std::optional<Settings> readStored(const QString& path) {
    const std::optional<Entries> own = readEntries(path);
    if (!own)
        return std::nullopt;
    const SystemLayer system = readSystem();
    return fromEntries(unlocked(*own, system.locked, path), path, systemDefaults(system));
}

Settings read(const QString& path) {
    if (std::optional<Settings> stored = readStored(path))
        return *stored;
    return systemDefaults(readSystem());
}

bool write(const Settings& settings, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "no folder for the settings file:" << folder;
        return false;
    }
    // A key the system locks, or sets to the same value, is left to the
    // system's file: a later change there then reaches this user too.
    const SystemLayer system = readSystem();
    const std::map<QString, QString> defaults = toEntries(systemDefaults(system));
    std::map<QString, QString> entries = toEntries(settings);
    std::erase_if(entries, [&](const auto& entry) {
        return system.locked.contains(entry.first) ||
               (system.entries.contains(entry.first) && defaults.at(entry.first) == entry.second);
    });
    QString text;
    QString section;
    for (const auto& [key, entry] : entries) {
        const QString keySection = key.section(u'/', 0, 0);
        if (keySection != section) {
            text += (section.isEmpty() ? u"["_s : u"\n["_s) % keySection % u"]\n"_s;
            section = keySection;
        }
        text += key.section(u'/', 1) % u'=' % entry % u'\n';
    }
    // Readable by its user alone, like the rest of the user's configuration.
    if (!settings::saveWhole(path, text.toUtf8(), true)) {
        qCWarning(lcSettings) << "the settings file cannot be written:" << path;
        return false;
    }
    return true;
}

Settings& current() {
    static Settings settings;
    return settings;
}

void addOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kWindowedFlag, u"Start in a window instead of full screen."_s},
        {kFullScreenFlag, u"Start full screen (the default)."_s},
        {kScanFlag,
         u"Switch scanning: off, auto (the highlight moves by itself) or step (Space moves, Enter chooses)."_s,
         u"mode"_s},
        {kScanIntervalFlag, u"Time the automatic scan rests on each choice, 500 to 10000 ms (default 2000)."_s,
         u"ms"_s},
        {kNoSpeechFlag, u"Say nothing aloud."_s},
        {kSpeechRateFlag, u"Pace of the voice, -100 (slowest) to 100 (fastest); 0 is the voice's own."_s, u"rate"_s},
        {kScreenReaderFlag,
         u"Whether a screen reader speaks the focus, so that the program's voice says only instructions and "
         "praise: auto (as the desktop says), on or off."_s,
         u"mode"_s},
        {kNoPraiseFlag, u"No spoken praise after a right answer."_s},
        {kLevelFlag,
         u"Level of the puzzles: 1 (four pictures), 2 (eight, the default), 3 (sixteen) or auto (grows with the "
         "child from the level reached last time)."_s,
         u"level"_s},
        {kKioskFlag,
         u"Kiosk mode: the program offers no way out and refuses to close; only holding Ctrl+Alt+Shift+Q for two "
         "seconds ends it. On X it holds the keyboard and takes back the front and the full screen; on Wayland use "
         "the Metamorfine classroom session. Ctrl+Alt+Del, switching users and the text consoles are the desktop's "
         "to lock."_s},
        {kNoKioskFlag, u"No kiosk mode, whatever the settings say (unless the system's settings lock it)."_s},
        {kLanguageFlag, u"Play in this language (a language file's name, such as English) for this run."_s, u"name"_s},
        {kExerciseFlag,
         u"Start straight in exercise N: 1 change colour, 2 change shape, 3 nothing changes, 4 change size, "
         "5 surprise change, 6 two changes, 7 change everything."_s,
         u"N"_s},
        {kSettingsFlag, u"Open the parent's settings (on the menu: Ctrl+Shift+P) and end when it is closed."_s},
    });
}

QString applyOptions(const QCommandLineParser& parser, Settings& settings, const QStringList& locked,
                     QStringList* ignored) {
    Settings changed = settings;
    if (parser.isSet(kKioskFlag) && parser.isSet(kNoKioskFlag))
        return u"--kiosk and --no-kiosk exclude each other"_s;
    if (parser.isSet(kNoKioskFlag))
        changed.kiosk = false;
    if (parser.isSet(kWindowedFlag) && parser.isSet(kFullScreenFlag))
        return u"--windowed and --fullscreen exclude each other"_s;
    if (parser.isSet(kWindowedFlag))
        changed.fullScreen = false;
    if (parser.isSet(kFullScreenFlag))
        changed.fullScreen = true;
    if (parser.isSet(kScanFlag)) {
        const std::optional<Scan> scan = choiceFor(kScanWords, parser.value(kScanFlag));
        if (!scan)
            return u"--scan takes off, auto or step"_s;
        changed.scan = *scan;
    }
    if (parser.isSet(kScanIntervalFlag)) {
        const std::optional<int> interval =
            intIn(parser.value(kScanIntervalFlag), kMinScanIntervalMs, kMaxScanIntervalMs);
        if (!interval)
            return u"--scan-interval takes milliseconds from 500 to 10000"_s;
        changed.scanIntervalMs = *interval;
    }
    if (parser.isSet(kNoSpeechFlag))
        changed.speech = false;
    if (parser.isSet(kSpeechRateFlag)) {
        const std::optional<int> rate = intIn(parser.value(kSpeechRateFlag), kMinSpeechRate, kMaxSpeechRate);
        if (!rate)
            return u"--speech-rate takes a number from -100 to 100"_s;
        changed.speechRate = *rate;
    }
    if (parser.isSet(kScreenReaderFlag)) {
        const std::optional<ScreenReader> reader = choiceFor(kScreenReaderWords, parser.value(kScreenReaderFlag));
        if (!reader)
            return u"--screen-reader takes auto, on or off"_s;
        changed.screenReader = *reader;
    }
    if (parser.isSet(kNoPraiseFlag))
        changed.praise = false;
    if (parser.isSet(kKioskFlag))
        changed.kiosk = true;
    if (parser.isSet(kLevelFlag)) {
        const std::optional<Level> level = choiceFor(kLevelWords, parser.value(kLevelFlag));
        if (!level)
            return u"--level takes 1, 2, 3 or auto"_s;
        changed.level = *level;
    }
    if (parser.isSet(kExerciseFlag) && exerciseAsked(parser) == 0)
        return u"--exercise takes the number of an exercise"_s;
    // A key the system locks keeps its value whatever a flag says.
    std::map<QString, QString> wanted = toEntries(changed);
    const std::map<QString, QString> kept = toEntries(settings);
    for (const QString& key : locked) {
        const auto found = wanted.find(key);
        if (found == wanted.end() || found->second == kept.at(key))
            continue;
        found->second = kept.at(key);
        if (ignored)
            ignored->append(key);
    }
    settings = fromEntries(Entries(wanted.begin(), wanted.end()), u"(flags)"_s, Settings{});
    return {};
}

bool dialogAsked(const QCommandLineParser& parser) {
    return parser.isSet(kSettingsFlag);
}

QString languageAsked(const QCommandLineParser& parser) {
    return parser.value(kLanguageFlag);
}

std::optional<int> exerciseAsked(const QCommandLineParser& parser) {
    if (!parser.isSet(kExerciseFlag))
        return std::nullopt;
    return intIn(parser.value(kExerciseFlag), 1, std::numeric_limits<int>::max()).value_or(0);
}

void rememberChoices(bool sound, int pictureSet, const QString& path) {
    if (!current().rememberSound && !current().rememberPictureSet)
        return;
    std::optional<Settings> file = readStored(path);
    if (!file)
        return;
    if (current().rememberSound)
        file->sound = sound;
    if (current().rememberPictureSet)
        file->pictureSet = pictureSet;
    write(*file, path);
}

int puzzleLevel(const Settings& settings) {
    return settings.level == Level::Grows ? settings.reachedLevel : int(settings.level);
}

void rememberLevel(int reached, const QString& path) {
    Q_ASSERT(reached >= kMinLevel && reached <= kMaxLevel);
    if (current().level != Level::Grows)
        return;
    current().reachedLevel = reached;
    std::optional<Settings> file = readStored(path);
    if (!file)
        return;
    file->reachedLevel = reached;
    write(*file, path);
}

void chooseLevel(int level, const QString& path) {
    Q_ASSERT(level >= kMinLevel && level <= kMaxLevel);
    if (current().level == Level::Grows)
        rememberLevel(level, path);
    else
        current().level = Level(level);
}

}  // namespace settings
