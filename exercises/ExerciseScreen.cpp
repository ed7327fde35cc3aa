#include "ExerciseScreen.h"

#include "Accessibility.h"
#include "AccessibleTexts.h"
#include "AnswerEffects.h"
#include "ChangesShown.h"
#include "DataFiles.h"
#include "KeyboardPlay.h"
#include "MessageBox.h"
#include "ModuloColoriSuoni.h"
#include "PictureFiles.h"
#include "PuzzleRecord.h"
#include "Random.h"
#include "ScreenFrame.h"
#include "ScreenReader.h"
#include "Settings.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "SwitchScan.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using namespace exercises::exercise_layout;
using forms::TextProperty;

namespace {

// A box holding a square card, and the card, made square again, centred where
// the proportional resizing stretched the box to another shape.
void hugSquareCard(forms::Control& box, forms::Control& card) {
    using forms::Coordinate;
    const double width = box.coordinate(Coordinate::Width).value_or(0);
    const double height = box.coordinate(Coordinate::Height).value_or(0);
    const double side = std::min(width, height);
    box.setCoordinate(Coordinate::Left, box.coordinate(Coordinate::Left).value_or(0) + (width - side) / 2);
    box.setCoordinate(Coordinate::Top, box.coordinate(Coordinate::Top).value_or(0) + (height - side) / 2);
    for (forms::Control* square : {&box, &card}) {
        square->setCoordinate(Coordinate::Width, side);
        square->setCoordinate(Coordinate::Height, side);
    }
}

}  // namespace

ExerciseScreen::ExerciseScreen(const exercises::exercise_catalogue::Exercise& exercise)
    : forms::Screen(exercises::exercise_layout::design(exercise.form, exercise.layout)),
      exercise_(exercise),
      puzzle_(exercise.rule, media::Rnd) {
    stepShown_.setSingleShot(true);
    QObject::connect(&stepShown_, &QTimer::timeout, &puzzle_, [this] {
        if (isLoaded())
            control(Label3).setText(TextProperty::Caption, title_);
    });
    ListenToPuzzle();
}

// What follows a new puzzle and an answer, in this order. The shared state,
// the level and the record follow the puzzle always; the screen and its
// effects only while it is loaded (leaving an exercise zeroes its counts
// after its window is gone). Each listener takes what it needs from the
// signal or the model, none from what another showed; the one order that
// matters is that the level grows before a right answer is told, with its
// step.
void ExerciseScreen::ListenToPuzzle() {
    using rules::PuzzleModel;
    const auto onScreen = [this](auto listener) {
        return [this, listener](auto... arguments) {
            if (isLoaded())
                listener(arguments...);
        };
    };
    QObject::connect(&puzzle_, &PuzzleModel::puzzleChanged, &puzzle_,
                     [this] { Modulo1::IndiceModello = puzzle_.modelIndex(); });
    // The level grows before a right answer is shown: its step is told with it.
    QObject::connect(&puzzle_, &PuzzleModel::answered, &puzzle_, [this](bool right, int, rules::Counts, int wrong) {
        if (right)
            growth_.solved(wrong, state::shell().player());
    });
    new exercises::puzzle_record::PuzzleRecord(puzzle_, exercise_.number,
                                               []() -> const record::Player& { return state::shell().player(); });
    QObject::connect(&puzzle_, &PuzzleModel::puzzleChanged, &puzzle_, onScreen([this] { ShowPuzzle(); }));
    QObject::connect(&puzzle_, &PuzzleModel::puzzleChanged, &puzzle_, onScreen([this] { ShowRule(); }));
    new exercises::answer_effects::CountsShown(puzzle_, *this);
    // The face first: a right answer takes the focus to Next before it is
    // announced, or a screen reader drops the news.
    QObject::connect(&puzzle_, &PuzzleModel::answered, &puzzle_,
                     onScreen([this](bool right, int, rules::Counts, int) { right ? Esatto() : Errato(); }));
    new exercises::answer_effects::SoundAndPraise(puzzle_, *this, growth_);
    QObject::connect(&puzzle_, &PuzzleModel::answered, &puzzle_,
                     onScreen([this](bool right, int index, rules::Counts, int) {
                         if (right)
                             ShowFound(index);
                     }));
    new exercises::answer_effects::AnswerAnnouncement(puzzle_, *this, growth_);
    QObject::connect(&puzzle_, &PuzzleModel::answered, &puzzle_, onScreen([this](bool right, int, rules::Counts, int) {
        if (right)
            ShowStep();
    }));
}

void ExerciseScreen::ConnectEvents() {
    onArrayClick(Picture1, [this](int index) { Picture1_Click(index); });
    control(BottoneAvanti).onClick([this] { BottoneAvanti_Click(); });
    control(MenuAzzera).onClick([this] { MenuAzzera_Click(); });
    control(MenuInformazioni).onClick([] { state::shell().showAbout(); });
    control(mnuEsci).onClick([this] { mnuEsci_Click(); });
    // The speaker button, the title and the letters of the change say the
    // instruction again, and so does the key H.
    control(HearAgain).onClick([this] { SayInstruction(); });
    control(HomeButton).onClick([this] { mnuEsci_Click(); });
    for (const ControlName label : {Label3, Label4}) {
        if (forms::Control* instruction = find(label))
            instruction->onClick([this] { SayInstruction(); });
    }
    keys().bind(Qt::Key_H, [this] { SayInstruction(); });
}

void ExerciseScreen::Form_Load() {
    stepShown_.stop();
    modLanguageSupport::MLSTranslateForm(*this);  // names the controls for assistive technology too
    state::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
    keys().bind(Qt::Key_Escape, [this] { mnuEsci_Click(); });
    laidOut_ = &rules::defaultLevel();
    reachPictures(laidOut_->shownCount());
}

// The arrows move among the pictures shown; switch scanning goes through them
// row by row as they stand, then Next, the button that says the instruction
// again, and last the way home.
void ExerciseScreen::reachPictures(int shown) {
    std::vector<QWidget*> pictures;
    for (int slot = 0; slot < shown; ++slot)
        pictures.push_back(control(Picture1, slot).widget());
    keys().arrowsBetween(pictures);
    pictures.push_back(control(BottoneAvanti).widget());
    pictures.push_back(control(HearAgain).widget());
    pictures.push_back(control(HomeButton).widget());
    scan().setChoices(std::move(pictures));
}

// As many pictures as `level` shows, where it places them; the others hidden.
void ExerciseScreen::layPictures(const rules::Level& level) {
    const std::vector<Rect> places = picturePlaces(exercise_.layout, level);
    for (int slot = 0; slot < kPictureSlots; ++slot) {
        forms::Control& picture = control(Picture1, slot);
        const bool shown = std::size_t(slot) < places.size();
        if (shown) {
            const Rect& place = places[std::size_t(slot)];
            state::MoveControl(*this, picture, place.left, place.top, place.width, place.height);
        }
        picture.setVisible(shown);
    }
    reachPictures(level.shownCount());
    laidOut_ = &level;
}

void ExerciseScreen::Form_Activate() {
    state::CoverDisplay(*this);
    control(BottoneAvanti).setVisible(true);
    opening_ = true;
    Modulo1::setVisitedPuzzle(&puzzle_);
    growth_.start();
    puzzle_.setLevel(settings::puzzleLevel());
    puzzle_.start(Modulo1::SerieFigure);
    opening_ = false;
}

void ExerciseScreen::Form_Resize() {
    state::ResizeControls(*this);
    hugSquareCard(control(Picture4), control(Picture2));
    hugSquareCard(control(Picture5), control(Picture3));
}

// Closing the window is leaving the exercise, asked as the menu command asks;
// the program is ended from the main menu.
bool ExerciseScreen::Form_QueryUnload() {
    mnuEsci_Click();
    return false;
}

void ExerciseScreen::PreparaEsercizio() {
    puzzle_.setLevel(settings::puzzleLevel());
    puzzle_.newPuzzle(Modulo1::SerieFigure);
}

void ExerciseScreen::Picture1_Click(int Index) {
    const std::vector<qint16>& shown = puzzle_.shownPictures();
    if (std::size_t(Index) < shown.size())
        puzzle_.answer(shown[std::size_t(Index)]);
}

void ExerciseScreen::BottoneAvanti_Click() {
    PreparaEsercizio();
}

void ExerciseScreen::MenuAzzera_Click() {
    puzzle_.resetCounts();
}

void ExerciseScreen::mnuEsci_Click() {
    const forms::MsgAnswer answer =
        forms::MsgBox(modLanguageSupport::MLSGetString(QString::fromLatin1(exercise_.leaveQuestion)),
                      forms::MsgButtons::YesNo, forms::MsgIcon::Question, u"Metamorfine"_s);
    if (answer != forms::MsgAnswer::Yes)
        return;
    state::shell().showMenu();
    Unload();
    puzzle_.resetCounts();
}

// The pictures the puzzle shows, laid out for its level, with its model, open
// to answers; an exercise that draws its change names it in Label4 and says it.
void ExerciseScreen::ShowPuzzle() {
    const rules::Level& level = puzzle_.puzzleLevel();
    if (&level != laidOut_)
        layPictures(level);
    QStringList paths;
    for (int i = 0; i < level.pictures(); ++i)
        paths.append(files::picturePath(puzzle_.set(), i + 1));
    setPictures_ = exercises::picture_files::loadSetPictures(paths);
    const std::vector<qint16>& shown = puzzle_.shownPictures();
    for (std::size_t slot = 0; slot < shown.size(); ++slot)
        control(Picture1, int(slot)).setPicture(setPictures_[std::size_t(shown[slot])]);
    control(Picture2).setPicture(setPictures_[std::size_t(puzzle_.modelIndex())]);
    control(Picture3).setPicture(files::Picture());
    const QStringList changes = puzzle_.drawnChangeStrings();
    if (!changes.isEmpty()) {
        QStringList names;
        for (const QString& number : changes)
            names.append(modLanguageSupport::MLSGetString(number));
        control(Label4).setText(TextProperty::Caption, names.join(u' '));
    }
    setPicturesEnabled(true);
    describePictures();
    focusFirstPicture();
    control(BottoneAvanti).setEnabled(false);
    if (opening_ || !changes.isEmpty())
        SayInstruction();
}

void ExerciseScreen::Esatto() {
    control(ComandoIconaSi).setVisible(true);
    control(ComandoIconaNo).setVisible(false);
    // The focus goes to Next before the pictures are disabled, not through each
    // of them: a screen reader drops the answer's news in such a flood of moves.
    control(BottoneAvanti).setEnabled(true);
    control(BottoneAvanti).widget()->setFocus(Qt::OtherFocusReason);
    setPicturesEnabled(false);
}

void ExerciseScreen::Errato() {
    control(ComandoIconaSi).setVisible(false);
    control(ComandoIconaNo).setVisible(true);
}

void ExerciseScreen::ShowStep() {
    constexpr std::chrono::seconds kStepShownFor{5};
    if (growth_.stepKey().isEmpty())
        return;
    if (!stepShown_.isActive())
        title_ = control(Label3).text(TextProperty::Caption).value_or(QString());
    control(Label3).setText(TextProperty::Caption, feedback::spoken_words::Sentence(growth_.stepKey()));
    stepShown_.start(kStepShownFor);
}

void ExerciseScreen::ShowFound(int index) {
    control(Picture3).setPicture(setPictures_[std::size_t(index)]);
    describePictures();
}

void ExerciseScreen::setPicturesEnabled(bool enabled) {
    for (int slot = 0; slot < kPictureSlots; ++slot)
        control(Picture1, slot).setEnabled(enabled);
}

// A screen reader, when one runs, says it too: its user may have the
// program's own voice off.
void ExerciseScreen::SayInstruction() const {
    feedback::spoken_words::Say(puzzle_.instructionKey());
    if (forms::screenReaderSpeaks())
        forms::announce(window(), feedback::spoken_words::Sentence(puzzle_.instructionKey()));
}

// Every puzzle of a drawn change shows and announces the change drawn; the
// window's description is the instruction, Label4's name the change in words.
// A screen reader reads the window's description only when the window opens,
// so the announcement carries the instruction of every new puzzle as well.
void ExerciseScreen::ShowRule() {
    if (auto* view = dynamic_cast<forms::ImageView*>(control(RuleDrawing).widget()))
        view->setRow(ruleRow());
    const QString change = exercises::changes_shown::sentence(puzzle_);
    const QString instruction = feedback::spoken_words::Sentence(puzzle_.instructionKey());
    control(Label4).widget()->setAccessibleName(change);
    window()->setAccessibleDescription(instruction);
    if (!puzzle_.drawnChangeStrings().isEmpty())
        forms::announce(window(), change % u". " % instruction);
}

// The drawing of the change on the pictures of this puzzle, as loaded.
forms::PictureRow ExerciseScreen::ruleRow() const {
    const exercises::changes_shown::Drawing drawing = exercises::changes_shown::drawing(puzzle_);
    const auto image = [this](qint16 index) { return setPictures_[std::size_t(index)].image(); };
    forms::PictureRow row{.first = image(drawing.model), .next = {}};
    for (const exercises::changes_shown::Step& step : drawing.steps)
        row.next.push_back({step.changes ? forms::Sign::Arrow : forms::Sign::Equals, image(step.picture)});
    return row;
}

void ExerciseScreen::focusFirstPicture() {
    control(Picture1, 0).widget()->setFocus(Qt::OtherFocusReason);
}

void ExerciseScreen::afterTranslation() {
    using modLanguageSupport::MLSAccessibleText;
    const auto caption = [this](ControlName name) {
        return control(name).text(TextProperty::Caption).value_or(QString());
    };
    window()->setAccessibleName(exercises::exercise_catalogue::exerciseName(exercise_));
    control(ComandoIconaSi).widget()->setAccessibleName(exercises::answer_effects::faceName(true, caption(Label1)));
    control(ComandoIconaNo).widget()->setAccessibleName(exercises::answer_effects::faceName(false, caption(Label2)));
    nameCounts();
    control(PicturesattiErrati).widget()->setAccessibleName(MLSAccessibleText(u"Score"_s));
    control(Picture4).widget()->setAccessibleName(MLSAccessibleText(u"Model"_s));
    control(Picture5).widget()->setAccessibleName(MLSAccessibleText(u"Found"_s));
    control(HearAgain).widget()->setAccessibleName(MLSAccessibleText(u"HearAgain"_s));
    control(HomeButton).widget()->setAccessibleName(MLSAccessibleText(u"HomeButton"_s));
}

// The counts as they stand, in the words of the language just chosen.
void ExerciseScreen::nameCounts() {
    const auto caption = [this](ControlName name) {
        return control(name).text(TextProperty::Caption).value_or(QString());
    };
    for (const auto& [label, count] : {std::pair(Label1, EtichettaEsatti), std::pair(Label2, EtichettaErrati)})
        control(count).widget()->setAccessibleName(
            exercises::answer_effects::countName(caption(label), caption(count)));
}

void ExerciseScreen::describePictures() {
    using modLanguageSupport::MLSAccessibleFill;
    using modLanguageSupport::MLSAccessibleText;
    const auto described = [](const QString& word, const QString& description) {
        return MLSAccessibleFill(u"Labelled"_s, {word, description});
    };
    const auto description = [this](int index) {
        return modLanguageSupport::MLSPictureDescription(puzzle_.set(), index, puzzle_.puzzleLevel().attributes);
    };
    const QString modelName = described(MLSAccessibleText(u"Model"_s), description(puzzle_.modelIndex()));
    control(Picture2).widget()->setAccessibleName(modelName);
    control(Picture3).widget()->setAccessibleName(
        described(MLSAccessibleText(u"Found"_s),
                  puzzle_.solved() ? description(puzzle_.foundIndex()) : MLSAccessibleText(u"Empty"_s)));
    const std::vector<qint16>& shown = puzzle_.shownPictures();
    for (std::size_t slot = 0; slot < shown.size(); ++slot) {
        const QString figure = description(shown[slot]);
        QWidget* picture = control(Picture1, int(slot)).widget();
        picture->setAccessibleName(
            MLSAccessibleFill(u"Picture"_s, {QString::number(slot + 1), QString::number(shown.size()), figure}));
        // A switch rests on a picture for as long as its name takes: the
        // figure alone, since no two pictures of a set share it.
        picture->setProperty(forms::kSpokenName, figure);
        // A screen reader tells a picture's description after its name: whoever
        // cannot see the model hears it on every picture the focus reaches.
        picture->setAccessibleDescription(modelName);
    }
}
