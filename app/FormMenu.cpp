#include "FormMenu.h"

#include "Accessibility.h"
#include "AccessibleTexts.h"
#include "Colour.h"
#include "ExerciseCatalogue.h"
#include "ExerciseLayout.h"
#include "FormAvvio.h"
#include "KeyboardPlay.h"
#include "Kiosk.h"
#include "LanguageMenu.h"
#include "Modulo1.h"
#include "ModuloColoriSuoni.h"
#include "Players.h"
#include "Resources.h"
#include "ScreenFrame.h"
#include "Screens.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "SwitchScan.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QCoreApplication>
#include <QStringBuilder>

using namespace Qt::Literals::StringLiterals;
using forms::Kind;
using forms::TextProperty;

namespace app {

using namespace form_menu;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const forms::Font kButtonFont{"Arial", 18};

// clang-format off
forms::ControlDesign ExerciseButton(const exercises::exercise_catalogue::Exercise& exercise) {
    return {.name = exercise.menuButton, .kind = Kind::CommandButton,
            .left = exercise.menuPlace.left, .top = exercise.menuPlace.top, .width = 4095, .height = 615,
            .caption = exercise.menuCaption, .font = kButtonFont, .picture = exercise.drawing,
            .pointer = resources::kWhiteArrowPointer, .tabIndex = exercise.menuPlace.tabIndex};
}

forms::ControlDesign PictureSetOption(int index, double left, double top, double width,
                                         const char* caption, bool selected = false) {
    return {.name = Option1, .kind = Kind::OptionButton, .index = index,
            .container = Picture1,
            .left = left, .top = top, .width = width, .height = 375,
            .caption = caption, .backColour = kWhite,
            .picture = resources::kPictureSetIcons[std::size_t(index)], .checked = selected,
            .tabIndex = 8 + index};
}

// Side by side in the right column, 4, 8 and 16 dots from the left: a child
// chooses how many pictures without reading.
forms::ControlDesign LevelChoice(int index) {
    static_assert(resources::kLevelIcons.size() == std::size_t(settings::kMaxLevel));
    return {.name = LevelOption, .kind = Kind::OptionButton, .index = index,
            .container = LevelBox,
            .left = 60 + 1320.0 * index, .top = 120, .width = 1290, .height = 1000,
            .caption = "", .backColour = kWhite,
            .picture = resources::kLevelIcons[std::size_t(index)], .checked = index + 1 == settings::kDefaultLevel,
            .tabIndex = 17 + index};
}

}  // namespace

forms::ScreenDesign FormMenu::Design() {
    forms::ScreenDesign design{
        .name = "FormMenu",
        .clientWidth = 8790,
        .clientHeight = 6030,
        .background = qRgb(128, 255, 255),
        .controls = {
            {.name = BottoneEsci, .kind = Kind::GraphicalButton,
             .left = 4560, .top = 4680, .width = 4095, .height = 975,
             .caption = "Esci", .font = kButtonFont, .picture = resources::kExitSign,
             .pointer = resources::kWhiteArrowPointer, .tabIndex = 3},
            {.name = Check1, .kind = Kind::CheckBox,
             .left = 5160, .top = 4080, .width = 3135, .height = 375,
             .caption = "Suoni attivati", .font = {"Arial", 12},
             .pointer = resources::kTrebleClefPointer, .tabIndex = 6},
            {.name = Picture1, .kind = Kind::PictureBox,
             .left = 120, .top = 4080, .width = 4095, .height = 1575,
             .backColour = kWhite, .border = true, .tabIndex = 7},
            PictureSetOption(0, 120, 120, 1815, "cerchi e quadrati"),
            PictureSetOption(1, 120, 600, 1815, "stelle e lune"),
            PictureSetOption(2, 120, 1080, 1815, "cuori e stelle"),
            PictureSetOption(3, 2280, 120, 1700, "anelli e facce"),
            PictureSetOption(4, 2280, 600, 1700, "cubi e cilindri"),
            PictureSetOption(5, 2280, 1080, 1700, "tutte le forme", true),
            {.name = LevelBox, .kind = Kind::PictureBox,
             .left = 4560, .top = 2160, .width = 4095, .height = 1320,
             .backColour = kWhite, .border = true, .tabIndex = 16},
            LevelChoice(0),
            LevelChoice(1),
            LevelChoice(2),
            {.name = mnuLanguages, .kind = Kind::Menu, .caption = "Lingua",
             .tag = "Multi-Language Support"},
            {.name = mnuLanguage, .kind = Kind::MenuItem, .index = 0,
             .container = mnuLanguages, .caption = "mnuLanguage 0",
             .tag = "Multi-Language Support"},
        },
    };
    // The exercises' buttons first, in the order of the catalogue.
    std::vector<forms::ControlDesign> buttons;
    for (const exercises::exercise_catalogue::Exercise& exercise : exercises::exercise_catalogue::catalogue())
        buttons.push_back(ExerciseButton(exercise));
    design.controls.insert(design.controls.begin(), buttons.begin(), buttons.end());
    return design;
}
// clang-format on

FormMenu::FormMenu() : Screen(Design()) {}

QStringList FormMenu::SpokenKeys() {
    QStringList keys = exercises::exercise_catalogue::spokenKeys();
    for (std::size_t option = 0; option < resources::kPictureSetIcons.size(); ++option)
        keys.append(QString::fromLatin1(Option1.text()) % u'(' % QString::number(option) % u')');
    for (int level = settings::kMinLevel; level <= settings::kMaxLevel; ++level)
        keys.append(QString::fromLatin1(LevelOption.text()) % u'(' % QString::number(level - 1) % u')');
    // The other choices that switch scanning says as it reaches them.
    namespace ex = exercises::exercise_layout;
    for (const forms::ControlName name :
         {form_avvio::BottoneAvvio, Check1, BottoneEsci, ex::BottoneAvanti, ex::HearAgain, ex::HomeButton})
        keys.append(QString::fromLatin1(name.text()));
    // The question of who is playing, before the menu.
    keys << u"WhoPlays"_s;
    return keys;
}

void FormMenu::ConnectEvents() {
    for (const exercises::exercise_catalogue::Exercise& exercise : exercises::exercise_catalogue::catalogue())
        control(exercise.menuButton).onClick([this, &exercise] { ExerciseButton_Click(exercise); });
    onArrayClick(Option1, [this](int index) { Option1_Click(index); });
    onArrayClick(LevelOption, [this](int index) { LevelOption_Click(index); });
    control(Check1).onClick([this] { Check1_Click(); });
    control(BottoneEsci).onClick([this] { BottoneEsci_Click(); });
    onArrayClick(mnuLanguage, [this](int index) { modLanguageSupport::mnuLanguage_Click(*this, index); });
    // Reaching an exercise button or a picture set says its name, for a child who cannot read yet.
    for (const auto& choice : controls()) {
        if (choice->widget() && (choice->kind() == Kind::CommandButton || choice->kind() == Kind::OptionButton))
            new forms::EntryFilter(choice->widget(),
                                   [name = choice->fullName()] { feedback::spoken_words::SayName(name, QString()); });
    }
}

void FormMenu::afterTranslation() {
    window()->setAccessibleName(modLanguageSupport::MLSAccessibleText(u"Menu"_s));
    control(Picture1).widget()->setAccessibleName(modLanguageSupport::MLSAccessibleText(u"PictureSets"_s));
    control(LevelBox).widget()->setAccessibleName(modLanguageSupport::MLSAccessibleText(u"Levels"_s));
    // The levels show dots alone: their names are the words said for them.
    for (int level = settings::kMinLevel; level <= settings::kMaxLevel; ++level) {
        const forms::Control& option = control(LevelOption, level - 1);
        option.widget()->setAccessibleName(feedback::spoken_words::Sentence(option.fullName()));
    }
}

void FormMenu::Form_Load() {
    modLanguageSupport::MLSFillMenuLanguages(*this);
    modLanguageSupport::MLSTranslateForm(*this);
    control(Check1).setChecked(Modulo1::SuoniAttivati);
    state::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
    control(Check1).setBackColour(forms::rgbFromBgr(backColor()));
    control(LevelBox).setVisible(settings::current().levelOnMenu);
    // The arrows go between every choice as they stand, the picture sets
    // among them: Enter or Space chooses a set.
    std::vector<QWidget*> choices;
    for (const auto& control : controls())
        if (control->kind() == Kind::CommandButton || control->kind() == Kind::GraphicalButton ||
            control->kind() == Kind::CheckBox || control->kind() == Kind::OptionButton)
            choices.push_back(control->widget());
    keys().arrowsBetween(std::move(choices));
    scan().setChoices(ScanOrder());
    // A kiosk offers no way out, and keeps the language its parent chose in
    // the settings; a language the system locks is chosen by nobody.
    if (KioskMode() || settings::lockedKeys().contains(settings::key::kLanguage)) {
        for (const auto& item : controls())
            if (item->name() == QLatin1StringView(mnuLanguage.text()))
                item->setEnabled(false);
    }
    if (KioskMode()) {
        control(BottoneEsci).setVisible(false);
        return;
    }
    keys().bind(Qt::Key_Escape, [this] { BottoneEsci_Click(); });
    // A chord a child does not press by chance.
    keys().bind(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_P, [this] { OpenSettings(window()); });
}

// The exercises column by column as they stand, the picture sets, the levels,
// the sound switch, Esci.
std::vector<QWidget*> FormMenu::ScanOrder() const {
    std::vector<const exercises::exercise_catalogue::Exercise*> exercises;
    for (const exercises::exercise_catalogue::Exercise& exercise : exercises::exercise_catalogue::catalogue())
        exercises.push_back(&exercise);
    std::sort(exercises.begin(), exercises.end(), [](const auto* first, const auto* second) {
        return std::pair(first->menuPlace.left, first->menuPlace.top) <
               std::pair(second->menuPlace.left, second->menuPlace.top);
    });
    std::vector<QWidget*> order;
    for (const exercises::exercise_catalogue::Exercise* exercise : exercises)
        order.push_back(control(exercise->menuButton).widget());
    for (std::size_t option = 0; option < resources::kPictureSetIcons.size(); ++option)
        order.push_back(control(Option1, int(option)).widget());
    for (int level = settings::kMinLevel; level <= settings::kMaxLevel; ++level)
        order.push_back(control(LevelOption, level - 1).widget());
    order.push_back(control(Check1).widget());
    order.push_back(control(BottoneEsci).widget());
    return order;
}

void FormMenu::Form_Activate() {
    state::CoverDisplay(*this);
    if (forms::Control* option = find(Option1, Modulo1::SerieFigure - 1))
        option->setChecked(true);
    control(LevelOption, settings::puzzleLevel() - 1).setChecked(true);
    control(exercises::exercise_catalogue::exercise(1).menuButton).widget()->setFocus(Qt::OtherFocusReason);
}

void FormMenu::Form_Resize() {
    state::ResizeControls(*this);
}

void OpenExercise(int number) {
    forms::Screen& screen = app::screens::exercise(number);
    // The window system shows the exercise by its name.
    screen.Load();
    screen.setTitle(QCoreApplication::applicationName() % u" \u2014 "_s %
                    exercises::exercise_catalogue::exerciseName(exercises::exercise_catalogue::exercise(number)));
    screen.Show();
}

void FormMenu::ExerciseButton_Click(const exercises::exercise_catalogue::Exercise& exercise) {
    OpenExercise(exercise.number);
    Unload();
}

void FormMenu::Option1_Click(int Index) {
    Modulo1::SerieFigure = qint16(Index + 1);
    settings::rememberChoices(Modulo1::SuoniAttivati, Modulo1::SerieFigure);
    forms::announce(window(), control(Option1, Index).text(TextProperty::Caption).value_or(QString()));
}

void FormMenu::LevelOption_Click(int Index) {
    chooseLevel(Index + 1);
    forms::announce(window(), control(LevelOption, Index).widget()->accessibleName());
}

void FormMenu::Check1_Click() {
    Modulo1::SuoniAttivati = control(Check1).checked();
    settings::rememberChoices(Modulo1::SuoniAttivati, Modulo1::SerieFigure);
}

void FormMenu::BottoneEsci_Click() {
    Modulo1::ConfermaUscita();
}

}  // namespace app
