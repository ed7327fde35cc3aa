#include "FormMenu.h"

#include "Accessibility.h"
#include "AccessibleTexts.h"
#include "Colour.h"
#include "KeyboardPlay.h"
#include "LanguageMenu.h"
#include "Modulo1.h"
#include "ModuloColoriSuoni.h"
#include "Resources.h"
#include "ScreenFrame.h"
#include "Screens.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QCoreApplication>
#include <QStringBuilder>

using namespace Qt::Literals::StringLiterals;
using platform::Kind;
using platform::TextProperty;

namespace app {

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const platform::Font kButtonFont{"Arial", 18};

// clang-format off
platform::ControlDesign ExerciseButton(const char* name, double left, double top,
                                       const char* caption, const char* rule, int tabIndex) {
    return {.name = name, .kind = Kind::CommandButton,
            .left = left, .top = top, .width = 4095, .height = 615,
            .caption = caption, .font = kButtonFont, .picture = rule,
            .pointer = resources::kWhiteArrowPointer, .tabIndex = tabIndex};
}

platform::ControlDesign PictureSetOption(int index, double left, double top, double width,
                                         const char* caption, bool selected = false) {
    return {.name = "Option1", .kind = Kind::OptionButton, .index = index,
            .container = "Picture1",
            .left = left, .top = top, .width = width, .height = 375,
            .caption = caption, .backColour = kWhite,
            .picture = resources::kPictureSetIcons[std::size_t(index)], .checked = selected,
            .tabIndex = 8 + index};
}

}  // namespace

platform::ScreenDesign FormMenu::Design() {
    return {
        .name = "FormMenu",
        .clientWidth = 8790,
        .clientHeight = 6030,
        .background = qRgb(128, 255, 255),
        .controls = {
            ExerciseButton("Command7", 120, 240, "Cambia colore", resources::kRuleColour, 0),
            ExerciseButton("Command1", 120, 1680, "Cambia forma", resources::kRuleShape, 1),
            ExerciseButton("Command2", 120, 2400, "Non cambia niente", resources::kRuleNone, 2),
            {.name = "BottoneEsci", .kind = Kind::GraphicalButton,
             .left = 4560, .top = 4680, .width = 4095, .height = 975,
             .caption = "Esci", .font = kButtonFont, .picture = resources::kExitSign,
             .pointer = resources::kWhiteArrowPointer, .tabIndex = 3},
            ExerciseButton("Command3", 120, 960, "Cambia dimensione", resources::kRuleSize, 4),
            ExerciseButton("Command4", 120, 3120, "Cambiamento casuale", resources::kRuleRandom, 5),
            {.name = "Check1", .kind = Kind::CheckBox,
             .left = 5160, .top = 4080, .width = 3135, .height = 375,
             .caption = "Suoni attivati", .font = {"Arial", 12},
             .pointer = resources::kTrebleClefPointer, .tabIndex = 6},
            {.name = "Picture1", .kind = Kind::PictureBox,
             .left = 120, .top = 4080, .width = 4095, .height = 1575,
             .backColour = kWhite, .border = true, .tabIndex = 7},
            PictureSetOption(0, 120, 120, 1815, "cerchi e quadrati"),
            PictureSetOption(1, 120, 600, 1815, "stelle e lune"),
            PictureSetOption(2, 120, 1080, 1815, "cuori e stelle"),
            PictureSetOption(3, 2280, 120, 1700, "anelli e facce"),
            PictureSetOption(4, 2280, 600, 1700, "cubi e cilindri"),
            PictureSetOption(5, 2280, 1080, 1700, "tutte le forme", true),
            ExerciseButton("Command5", 4560, 240, "Due metamorfine", resources::kRuleTwo, 14),
            ExerciseButton("Command6", 4560, 960, "Cambia tutto", resources::kRuleAll, 15),
            {.name = "mnuLanguages", .kind = Kind::Menu, .caption = "Lingua",
             .tag = "Multi-Language Support"},
            {.name = "mnuLanguage", .kind = Kind::MenuItem, .index = 0,
             .container = "mnuLanguages", .caption = "mnuLanguage 0",
             .tag = "Multi-Language Support"},
        },
    };
}
// clang-format on

FormMenu::FormMenu() : Screen(Design()) {}

void FormMenu::ConnectEvents() {
    control(u"Command7"_s).onClick([this] { Command7_Click(); });
    control(u"Command1"_s).onClick([this] { Command1_Click(); });
    control(u"Command2"_s).onClick([this] { Command2_Click(); });
    control(u"Command3"_s).onClick([this] { Command3_Click(); });
    control(u"Command4"_s).onClick([this] { Command4_Click(); });
    control(u"Command5"_s).onClick([this] { Command5_Click(); });
    control(u"Command6"_s).onClick([this] { Command6_Click(); });
    onArrayClick(u"Option1"_s, [this](int index) { Option1_Click(index); });
    control(u"Check1"_s).onClick([this] { Check1_Click(); });
    control(u"BottoneEsci"_s).onClick([this] { BottoneEsci_Click(); });
    onArrayClick(u"mnuLanguage"_s, [this](int index) { modLanguageSupport::mnuLanguage_Click(*this, index); });
    // Reaching an exercise button or a picture set says its name, for a child who cannot read yet.
    for (const auto& choice : controls()) {
        if (choice->widget() && (choice->kind() == Kind::CommandButton || choice->kind() == Kind::OptionButton))
            new platform::EntryFilter(choice->widget(), [name = choice->fullName()] { spoken_words::Say(name); });
    }
}

void FormMenu::Form_Load() {
    modLanguageSupport::MLSFillMenuLanguages(*this);
    modLanguageSupport::MLSTranslateForm(*this);
    control(u"Check1"_s).setChecked(Modulo1::SuoniAttivati);
    SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
    control(u"Check1"_s).setBackColour(platform::rgbFromBgr(backColor()));
    window()->setAccessibleName(modLanguageSupport::MLSAccessibleText(u"Menu"_s));
    control(u"Picture1"_s).widget()->setAccessibleName(modLanguageSupport::MLSAccessibleText(u"PictureSets"_s));
    std::vector<QWidget*> buttons;
    for (const auto& control : controls())
        if (control->kind() == Kind::CommandButton || control->kind() == Kind::GraphicalButton)
            buttons.push_back(control->widget());
    keys().arrowsBetween(std::move(buttons));
    keys().bind(Qt::Key_Escape, [this] { BottoneEsci_Click(); });
}

void FormMenu::Form_Activate() {
    CoverDisplay(*this);
    if (platform::Control* option = find(u"Option1"_s, Modulo1::SerieFigure - 1))
        option->setChecked(true);
    control(u"Command7"_s).widget()->setFocus(Qt::OtherFocusReason);
}

void FormMenu::Form_Resize() {
    ResizeControls(*this);
}

void FormMenu::OpenExercise(platform::Screen& exercise, const QString& button) {
    // The window system shows the exercise by the name its button gives it here.
    exercise.Load();
    exercise.setTitle(QCoreApplication::applicationName() % u" \u2014 "_s %
                      control(button).text(platform::TextProperty::Caption).value_or(QString()).trimmed());
    exercise.Show();
    Unload();
}

void FormMenu::Command7_Click() {
    OpenExercise(screens::FormEs1(), u"Command7"_s);
}
void FormMenu::Command1_Click() {
    OpenExercise(screens::FormEs2(), u"Command1"_s);
}
void FormMenu::Command2_Click() {
    OpenExercise(screens::FormEs3(), u"Command2"_s);
}
void FormMenu::Command3_Click() {
    OpenExercise(screens::FormEs4(), u"Command3"_s);
}
void FormMenu::Command4_Click() {
    OpenExercise(screens::FormEs5(), u"Command4"_s);
}
void FormMenu::Command5_Click() {
    OpenExercise(screens::FormEs6(), u"Command5"_s);
}
void FormMenu::Command6_Click() {
    OpenExercise(screens::FormEs7(), u"Command6"_s);
}

void FormMenu::Option1_Click(int Index) {
    Modulo1::SerieFigure = qint16(Index + 1);
    platform::announce(window(), control(u"Option1"_s, Index).text(TextProperty::Caption).value_or(QString()));
}

void FormMenu::Check1_Click() {
    Modulo1::SuoniAttivati = control(u"Check1"_s).checked();
}

void FormMenu::BottoneEsci_Click() {
    Modulo1::ConfermaUscita();
}

}  // namespace app
