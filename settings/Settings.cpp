#include "Settings.h"

#include "FileAccess.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <array>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace settings {

Q_LOGGING_CATEGORY(lcSettings, "metamorfine.settings", QtCriticalMsg)

namespace {

// The keys of the file.
const QString kScan = u"Scan/Mode"_s;
const QString kScanInterval = u"Scan/IntervalMs"_s;
const QString kSpeech = u"Speech/On"_s;
const QString kSpeechRate = u"Speech/Rate"_s;
const QString kScreenReader = u"Speech/ScreenReader"_s;
const QString kPraise = u"Praise/On"_s;
const QString kRememberSound = u"Remember/Sound"_s;
const QString kRememberPictureSet = u"Remember/PictureSet"_s;
const QString kSound = u"Remembered/Sound"_s;
const QString kPictureSet = u"Remembered/PictureSet"_s;
const QString kKiosk = u"Window/Kiosk"_s;
const QString kFullScreen = u"Window/FullScreen"_s;
const QString kLevel = u"Level/Choice"_s;
const QString kLevelOnMenu = u"Level/OnMenu"_s;
const QString kReachedLevel = u"Remembered/Level"_s;

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

// A settings file is a few hundred bytes; more is junk, not read.
constexpr qint64 kMaxFileSize = 64 * 1024;

std::optional<Settings> readStored(const QString& path) {
    const Settings defaults;
    QFile input;
    switch (platform::openRegularFile(path, kMaxFileSize, input)) {
    case platform::FileOpening::Missing:
        return defaults;
    case platform::FileOpening::Refused:
        qCWarning(lcSettings) << "settings file" << path << "cannot be read: not a regular file of at most"
                              << kMaxFileSize << "bytes, or no permission";
        return std::nullopt;
    case platform::FileOpening::Opened:
        break;
    }
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) {
        qCWarning(lcSettings) << "settings file" << path << "cannot be read:" << input.errorString();
        return std::nullopt;
    }
    const Entries file = parseEntries(bytes);
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

Settings read(const QString& path) {
    return readStored(path).value_or(Settings{});
}

bool write(const Settings& settings, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "no folder for the settings file:" << folder;
        return false;
    }
    const auto word = [](bool on) { return on ? u"true"_s : u"false"_s; };
    // Ordered by key, so that each section's keys stand together.
    const std::map<QString, QString> entries{
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
    if (!platform::saveWhole(path, text.toUtf8(), true)) {
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
         u"Kiosk mode: no way out for a child; only holding Ctrl+Alt+Shift+Q for two seconds ends the program."_s},
        {kSettingsFlag, u"Open the parent's settings (on the menu: Ctrl+Shift+P) and end when it is closed."_s},
    });
}

QString applyOptions(const QCommandLineParser& parser, Settings& settings) {
    Settings changed = settings;
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
    settings = changed;
    return {};
}

bool dialogAsked(const QCommandLineParser& parser) {
    return parser.isSet(kSettingsFlag);
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
