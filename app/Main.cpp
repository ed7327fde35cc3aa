#include "DestroyedWindows.h"
#include "ExerciseCatalogue.h"
#include "FontFitter.h"
#include "InputDispatcher.h"
#include "Kiosk.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "Process.h"
#include "Random.h"
#include "Resources.h"
#include "Screen.h"
#include "Screens.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "SvgDrawing.h"
#include "modLanguageSupport.h"

#include <QGuiApplication>
#include <future>

using namespace Qt::Literals::StringLiterals;

namespace Modulo1 {

bool Main() {
    const std::jthread fonts = forms::PrepareFonts();
    // The single-copy guard waits for the disk: it is taken on a thread of its
    // own while the start screen loads, and the screen shows only once it is held.
    std::future<bool> guard = std::async(std::launch::async, media::AcquireSingleInstance);
    // As designed every run starts with every picture set and the sounds on,
    // unless a parent asked to keep them from the last run.
    const settings::Settings& chosen = settings::current();
    SerieFigure = chosen.rememberPictureSet ? qint16(chosen.pictureSet) : qint16(6);
    media::Randomize();
    SuoniAttivati = chosen.rememberSound ? chosen.sound : true;
    app::StartKiosk();
    app::EndWhenScreensAreDestroyed();
    // Switch scanning, the voice and the screen reader as the parent chose
    // them; the scan says each highlighted choice, as hovering over the menu does.
    app::TakeSettings(chosen);
    forms::InputDispatcher::instance().setScanAnnouncer(feedback::spoken_words::SayName);
    // Every box is said with its buttons as it opens, for a child who cannot read.
    forms::setMessageBoxVoice(feedback::spoken_words::SayText);
    state::shell().showMenu = [] { app::screens::FormMenu().Show(); };
    state::shell().showAbout = MostraInformazioni;
    app::screens::FormAvvio().Load();
    if (!guard.get()) {
        SetProgramIcon();
        forms::MsgBox(modLanguageSupport::MLSGetString(u"0001"_s), forms::MsgButtons::Ok, forms::MsgIcon::Critical,
                      modLanguageSupport::MLSGetString(u"0002"_s));
        return false;
    }
    app::screens::FormAvvio().Show();
    return true;
}

Start& RunStart() {
    static Start start;
    return start;
}

int ExerciseCount() {
    return int(exercises::exercise_catalogue::catalogue().size());
}

QString StartLanguage() {
    const QString& asked = RunStart().language;
    return asked.isEmpty() ? modLanguageSupport::MLSStartLanguage() : asked;
}

void SetProgramIcon() {
    QGuiApplication::setWindowIcon(forms::iconFromResource(resources::kStartIcon));
}

}  // namespace Modulo1
