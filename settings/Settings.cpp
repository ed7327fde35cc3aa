#include "Settings.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <array>
#include <cstdio>
#include <optional>

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

// The value of `key`, or `fallback` when the file lacks it or holds nonsense.
// The file is read from a copy: the log names the parent's file, `path`.
template <typename T, typename Parse>
T value(const QSettings& file, const QString& path, const QString& key, T fallback, Parse parse) {
    if (!file.contains(key))
        return fallback;
    const auto parsed = parse(file.value(key).toString());
    if (!parsed) {
        qCWarning(lcSettings) << "settings file" << path << ":" << key << "holds" << file.value(key).toString()
                              << "- the default is used";
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

QString filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) % u"/metamorfine/metamorfine.conf"_s;
}

// A settings file is a few hundred bytes; more is junk, read no further.
constexpr qint64 kMaxFileSize = 64 * 1024;

Settings read(const QString& path) {
    const Settings defaults;
    if (!QFileInfo::exists(path))
        return defaults;
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings) << "settings file" << path << "cannot be read:" << probe.errorString();
        return defaults;
    }
    // QSettings keeps what it has read of a file under the file's name and
    // takes a file of the same size and time as unchanged, so a file replaced
    // twice within a millisecond could read as before: a private copy under a
    // name of its own is always read afresh.
    QTemporaryFile copy;
    if (!copy.open() || copy.write(probe.read(kMaxFileSize)) < 0 || !copy.flush()) {
        qCWarning(lcSettings) << "settings file" << path << "cannot be copied to be read:" << copy.errorString();
        return defaults;
    }
    copy.close();
    const QSettings file(copy.fileName(), QSettings::IniFormat);
    if (file.status() != QSettings::NoError) {
        qCWarning(lcSettings) << "settings file" << path << "is damaged: the defaults are used";
        return defaults;
    }
    return {
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

bool write(const Settings& settings, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCWarning(lcSettings) << "no folder for the settings file:" << folder;
        return false;
    }
    // A new file beside the old one, renamed over it once complete: a crash
    // or a full disk leaves the old file whole.
    QTemporaryFile temporary(folder % u"/metamorfine.conf.XXXXXX"_s);
    if (!temporary.open()) {
        qCWarning(lcSettings) << "the settings file cannot be written in" << folder << ":" << temporary.errorString();
        return false;
    }
    temporary.close();
    {
        QSettings file(temporary.fileName(), QSettings::IniFormat);
        file.setValue(kScan, wordFor(kScanWords, settings.scan));
        file.setValue(kScanInterval, settings.scanIntervalMs);
        file.setValue(kSpeech, settings.speech);
        file.setValue(kSpeechRate, settings.speechRate);
        file.setValue(kScreenReader, wordFor(kScreenReaderWords, settings.screenReader));
        file.setValue(kPraise, settings.praise);
        file.setValue(kRememberSound, settings.rememberSound);
        file.setValue(kRememberPictureSet, settings.rememberPictureSet);
        file.setValue(kSound, settings.sound);
        file.setValue(kPictureSet, settings.pictureSet);
        file.setValue(kKiosk, settings.kiosk);
        file.setValue(kFullScreen, settings.fullScreen);
        file.setValue(kLevel, wordFor(kLevelWords, settings.level));
        file.setValue(kLevelOnMenu, settings.levelOnMenu);
        file.setValue(kReachedLevel, settings.reachedLevel);
        file.sync();
        if (file.status() != QSettings::NoError) {
            qCWarning(lcSettings) << "the settings file cannot be written:" << path;
            return false;
        }
    }
    // Readable by its user alone, like the rest of the user's configuration.
    temporary.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        qCWarning(lcSettings) << "the settings file cannot be replaced:" << path;
        return false;
    }
    temporary.setAutoRemove(false);
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
    Settings file = read(path);
    if (current().rememberSound)
        file.sound = sound;
    if (current().rememberPictureSet)
        file.pictureSet = pictureSet;
    write(file, path);
}

int puzzleLevel(const Settings& settings) {
    return settings.level == Level::Grows ? settings.reachedLevel : int(settings.level);
}

void rememberLevel(int reached, const QString& path) {
    Q_ASSERT(reached >= kMinLevel && reached <= kMaxLevel);
    if (current().level != Level::Grows)
        return;
    current().reachedLevel = reached;
    Settings file = read(path);
    file.reachedLevel = reached;
    write(file, path);
}

void chooseLevel(int level, const QString& path) {
    Q_ASSERT(level >= kMinLevel && level <= kMaxLevel);
    if (current().level == Level::Grows)
        rememberLevel(level, path);
    else
        current().level = Level(level);
}

}  // namespace settings
