#include "AnswerEffects.h"

#include "Accessibility.h"
#include "AccessibleTexts.h"
#include "ExerciseCatalogue.h"
#include "ExerciseLayout.h"
#include "ModuloColoriSuoni.h"
#include "Settings.h"
#include "SpokenWords.h"

#include <QStringBuilder>
#include <QWidget>
#include <tuple>

using namespace Qt::Literals::StringLiterals;
using namespace exercises::exercise_layout;
using forms::TextProperty;

namespace exercises::answer_effects {

QString countCaption(qint16 count) {
    return count == 0 ? u"0"_s : rules::countCaption(count);
}

QString countName(const QString& label, const QString& countCaption) {
    return modLanguageSupport::MLSAccessibleFill(u"Labelled"_s, {label, countCaption.trimmed()});
}

QString faceName(bool right, const QString& label) {
    return modLanguageSupport::MLSAccessibleText(right ? u"Right"_s : u"Wrong"_s, label);
}

namespace {

QString caption(const forms::Screen& screen, ControlName name) {
    return screen.control(name).text(TextProperty::Caption).value_or(QString());
}

}  // namespace

SoundAndPraise::SoundAndPraise(rules::PuzzleModel& model, const forms::Screen& screen,
                               const exercises::growing_level::GrowingLevel& growth)
    : QObject(&model), model_(model), screen_(screen), growth_(growth) {
    using rules::PuzzleModel;
    afterSound_.setSingleShot(true);
    connect(&afterSound_, &QTimer::timeout, this, [this] {
        if (screen_.isLoaded())
            for (const QString& key : std::as_const(afterSoundKeys_))
                feedback::spoken_words::Say(key);
    });
    connect(&model, &PuzzleModel::puzzleChanged, &afterSound_, &QTimer::stop);
    connect(&model, &PuzzleModel::answered, this, [this](bool right, int, rules::Counts, int wrongInPuzzle) {
        if (screen_.isLoaded())
            answered(right, wrongInPuzzle);
    });
}

// With the sounds off an answer is silent: no sound, and no words after it.
void SoundAndPraise::answered(bool right, int wrongInPuzzle) {
    constexpr int kWrongBeforeHelp = 2;
    if (!ModuloColoriSuoni::SoundsOn())
        return;
    const std::chrono::milliseconds sound = right ? ModuloColoriSuoni::SuonoEsatto() : ModuloColoriSuoni::SuonoErrato();
    afterSoundKeys_.clear();
    if (right) {
        if (settings::current().praise) {
            const QStringList praises = exercises::exercise_catalogue::praiseKeys();
            afterSoundKeys_.append(praises[praises_++ % praises.size()]);
        }
        if (!growth_.stepKey().isEmpty())
            afterSoundKeys_.append(growth_.stepKey());
    } else if (wrongInPuzzle % kWrongBeforeHelp == 0)
        afterSoundKeys_.append(model_.instructionKey());
    if (!afterSoundKeys_.isEmpty())
        afterSound_.start(sound);
}

CountsShown::CountsShown(rules::PuzzleModel& model, forms::Screen& screen) : QObject(&model), screen_(screen) {
    connect(&model, &rules::PuzzleModel::countsChanged, this, [this](rules::Counts counts) {
        if (screen_.isLoaded())
            show(counts);
    });
}

void CountsShown::show(rules::Counts counts) {
    for (const auto& [label, shown, count] :
         {std::tuple(Label1, EtichettaEsatti, counts.right), std::tuple(Label2, EtichettaErrati, counts.wrong)}) {
        forms::Control& control = screen_.control(shown);
        control.setText(TextProperty::Caption, countCaption(count));
        control.widget()->setAccessibleName(countName(caption(screen_, label), countCaption(count)));
    }
    if (counts.right == 0 && counts.wrong == 0) {
        screen_.control(ComandoIconaSi).setVisible(false);
        screen_.control(ComandoIconaNo).setVisible(false);
    }
}

AnswerAnnouncement::AnswerAnnouncement(rules::PuzzleModel& model, const forms::Screen& screen,
                                       const exercises::growing_level::GrowingLevel& growth)
    : QObject(&model), screen_(screen), growth_(growth) {
    connect(&model, &rules::PuzzleModel::answered, this, [this](bool right, int, rules::Counts counts) {
        if (screen_.isLoaded())
            answered(right, counts);
    });
}

void AnswerAnnouncement::answered(bool right, rules::Counts counts) {
    const QString label = caption(screen_, right ? Label1 : Label2);
    QString answer =
        faceName(right, label) % u", " % countName(label, countCaption(right ? counts.right : counts.wrong));
    if (right && !growth_.stepKey().isEmpty())
        answer += u". " % feedback::spoken_words::Sentence(growth_.stepKey());
    forms::announce(screen_.window(), answer);
}

}  // namespace exercises::answer_effects
