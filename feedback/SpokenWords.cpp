#include "SpokenWords.h"

#include "MediaLoader.h"
#include "ModuloColoriSuoni.h"
#include "ScreenReader.h"
#include "Settings.h"
#include "Speech.h"
#include "modLanguageSupport.h"

using namespace Qt::Literals::StringLiterals;

namespace feedback::spoken_words {

void Say(const QString& key) {
    SayText(Sentence(key));
}

void SayText(const QString& text) {
    if (ModuloColoriSuoni::SoundsOn() && settings::current().speech && !text.isEmpty())
        media::Speak(text, modLanguageSupport::MLSCurrentLocale());
}

void SayName(const QString& key, const QString& text) {
    if (!settings::current().speech || forms::screenReaderSpeaks())
        return;
    const QString sentence = Sentence(key);
    if (!sentence.isEmpty() || !text.isEmpty())
        media::Speak(sentence.isEmpty() ? text : sentence, modLanguageSupport::MLSCurrentLocale(),
                     media::Utterance::Name);
}

QString Sentence(const QString& key) {
    return key.isEmpty() ? QString() : modLanguageSupport::MLSOurWord(modLanguageSupport::OurWords::Speech, key);
}

void PrepareSoundAndVoice() {
    if (ModuloColoriSuoni::SoundsOn())
        media::prepareMedia(settings::current().speech ? modLanguageSupport::MLSCurrentLocale() : QString());
}

}  // namespace feedback::spoken_words
