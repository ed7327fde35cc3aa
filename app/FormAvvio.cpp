#include "FormAvvio.h"

#include "DataFiles.h"
#include "FormMenu.h"
#include "Modulo1.h"
#include "ModuloColoriSuoni.h"
#include "Players.h"
#include "Process.h"
#include "Resources.h"
#include "ScreenFrame.h"
#include "ScreenReader.h"
#include "Screens.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

using namespace Qt::Literals::StringLiterals;
using forms::Align;
using forms::Kind;

namespace app {

using namespace form_avvio;

namespace {

// Finishes the start once the start screen has been painted, so that its
// first picture waits for neither: the program's icon, then sound and voice,
// readied on a thread of their own, so nothing on the screen waits, and that
// early, so that the first sentence is not late however soon the child opens
// an exercise.
class FinishStartAfterFirstPaint : public QObject {
public:
    explicit FinishStartAfterFirstPaint(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            // After the paint event has been handled and flushed to the display.
            QTimer::singleShot(0, [] {
                Modulo1::SetProgramIcon();
                feedback::spoken_words::PrepareSoundAndVoice();
                forms::followScreenReader();
                // Asked to start in an exercise: the start screen gives way to it at once.
                if (int& exercise = Modulo1::RunStart().exercise; exercise > 0) {
                    OpenExercise(std::exchange(exercise, 0));
                    app::screens::FormAvvio().Unload();
                }
            });
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

// clang-format off
forms::ScreenDesign FormAvvio::Design() {
    return {
        .name = "FormAvvio",
        .clientWidth = 8205,
        .clientHeight = 6420,
        .background = qRgb(255, 255, 255),
        .icon = resources::kStartIcon,
        .controls = {
            {.name = Label2, .kind = Kind::Label, .index = 0,
             .left = 720, .top = 1920, .width = 6855, .height = 1335,
             .caption = "Metamorfine", .font = {"Comic Sans MS", 48}, .align = Align::Centre,
             .tabIndex = 0},
            {.name = Label2, .kind = Kind::Label, .index = 1,
             .left = 1800, .top = 360, .width = 4935, .height = 855,
             .caption = "Esercitazioni matematiche", .font = {"Comic Sans MS", 18},
             .align = Align::Centre, .tabIndex = 1},
            {.name = Label2, .kind = Kind::Label, .index = 2,
             .left = 120, .top = 4800, .width = 2415, .height = 495,
             .caption = "31 agosto 2003", .font = {"Comic Sans MS", 13.5}, .align = Align::Centre,
             .tabIndex = 3},
            {.name = BottoneAvvio, .kind = Kind::GraphicalButton,
             .left = 2520, .top = 4440, .width = 3735, .height = 1395,
             .caption = "Avvio", .font = {"Comic Sans MS", 18},
             .picture = resources::kStartIcon, .pointer = resources::kStartPointer,
             .tabIndex = 2},
        },
    };
}
// clang-format on

FormAvvio::FormAvvio() : Screen(Design()) {}

void FormAvvio::ConnectEvents() {
    control(BottoneAvvio).onClick([this] { BottoneAvvio_Click(); });
}

void FormAvvio::Form_Load() {
    modLanguageSupport::MLSCurrentLanguage = Modulo1::StartLanguage();
    modLanguageSupport::MLSTranslateForm(*this);
    state::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
}

// The version line, and the program's name, as the screen shows it, for
// assistive technology; also after a language chosen while the screen is there.
void FormAvvio::afterTranslation() {
    control(Label2, 2).setText(forms::TextProperty::Caption, Modulo1::Versione());
    window()->setAccessibleName(control(Label2, 0).text(forms::TextProperty::Caption).value_or(QString()));
}

void FormAvvio::Form_Activate() {
    // Whoever reaches the start screen is a new child.
    app::screens::ResetCounts();
    state::CoverDisplay(*this);
    control(BottoneAvvio).widget()->setFocus(Qt::OtherFocusReason);
    new FinishStartAfterFirstPaint(*window());
}

void FormAvvio::Form_Resize() {
    state::ResizeControls(*this);
}

// With children, who is playing comes first.
void FormAvvio::BottoneAvvio_Click() {
    Players* playing = players();
    if (playing && !playing->reload().empty())
        app::screens::FormChiGioca().Show();
    else {
        if (playing)
            playing->chooseNobody();
        app::screens::FormMenu().Show();
    }
    Unload();
}

}  // namespace app
