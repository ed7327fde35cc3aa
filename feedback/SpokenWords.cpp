#include "SpokenWords.h"

#include "MediaLoader.h"
#include "Settings.h"
#include "SharedState.h"
#include "Speech.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;

namespace spoken_words {

void Say(const QString& key) {
    SayOr(key, QString());
}

void SayOr(const QString& key, const QString& text) {
    if (!Modulo1::SuoniAttivati || !settings::current().speech)
        return;
    const QString sentence = Sentence(key);
    if (!sentence.isEmpty() || !text.isEmpty())
        platform::Speak(sentence.isEmpty() ? text : sentence, modLanguageSupport::MLSCurrentLocale());
}

QString Sentence(const QString& key) {
    return key.isEmpty() ? QString() : modLanguageSupport::MLSOurWord(modLanguageSupport::OurWords::Speech, key);
}

void PrepareSoundAndVoice() {
    if (Modulo1::SuoniAttivati)
        platform::prepareMedia(settings::current().speech ? modLanguageSupport::MLSCurrentLocale() : QString());
}

}  // namespace spoken_words
