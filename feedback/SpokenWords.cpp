#include "SpokenWords.h"

#include "SharedState.h"
#include "Speech.h"
#include "modLanguageSupport.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace spoken_words {

namespace {

const std::array<QString, 3> kChangeNames{QString::fromLatin1(kColour), QString::fromLatin1(kSize),
                                          QString::fromLatin1(kShape)};

bool isChange(qint16 change) {
    return change >= 1 && change <= qint16(kChangeNames.size());
}

}  // namespace

QString singleChangeKey(qint16 kind) {
    if (isChange(kind))
        return kChangeNames[std::size_t(kind - 1)];
    return kind == 4 ? QString::fromLatin1(kSame) : QString();
}

QString twoChangesKey(qint16 first, qint16 second) {
    if (!isChange(first) || !isChange(second))
        return {};
    return kChangeNames[std::size_t(first - 1)] + kChangeNames[std::size_t(second - 1)];
}

QStringList allKeys() {
    QStringList keys{QString::fromLatin1(kColour), QString::fromLatin1(kSize), QString::fromLatin1(kShape),
                     QString::fromLatin1(kSame), QString::fromLatin1(kEverything)};
    for (qint16 first = 1; first <= 3; ++first) {
        for (qint16 second = 1; second <= 3; ++second)
            keys << twoChangesKey(first, second);
    }
    for (int button = 1; button <= 7; ++button)
        keys << u"Command"_s + QString::number(button);
    for (int option = 0; option < 6; ++option)
        keys << u"Option1(%1)"_s.arg(option);
    return keys;
}

void Say(const QString& key) {
    if (!Modulo1::SuoniAttivati || key.isEmpty())
        return;
    const QString sentence = modLanguageSupport::MLSGetSectionString(u"Speech"_s, key);
    if (!sentence.isEmpty())
        platform::Speak(sentence, modLanguageSupport::MLSCurrentLocale());
}

void PrepareVoice() {
    if (Modulo1::SuoniAttivati)
        platform::PrepareSpeech(modLanguageSupport::MLSCurrentLocale());
}

}  // namespace spoken_words
