#include "FormEsercizio.h"

#include "Accessibility.h"
#include "AccessibleTexts.h"
#include "DataFiles.h"
#include "ExerciseLayout.h"
#include "KeyboardPlay.h"
#include "MessageBox.h"
#include "ModuloColoriSuoni.h"
#include "PictureFiles.h"
#include "PuzzleRules.h"
#include "Random.h"
#include "ScreenFrame.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPictures = u"Picture1"_s;

// The menu's button of each exercise, whose caption names the exercise.
constexpr std::array<const char*, exercise_layout::kScreenCount> kMenuButtons{
    "Command7", "Command1", "Command2", "Command3", "Command4", "Command5", "Command6"};

}  // namespace

FormEsercizio::FormEsercizio(int number, QString leaveQuestion, QString instruction)
    : platform::Screen(exercise_layout::design(number)),
      number_(number),
      leaveQuestion_(std::move(leaveQuestion)),
      instruction_(std::move(instruction)) {}

void FormEsercizio::ConnectEvents() {
    onArrayClick(kPictures, [this](int index) { Picture1_Click(index); });
    control(u"BottoneAvanti"_s).onClick([this] { BottoneAvanti_Click(); });
    control(u"MenuAzzera"_s).onClick([this] { MenuAzzera_Click(); });
    control(u"MenuInformazioni"_s).onClick([] { app::shell().showAbout(); });
    control(u"mnuEsci"_s).onClick([this] { mnuEsci_Click(); });
    // The title and the letters of the change say the instruction again, and so does the key H.
    for (const QString& label : {u"Label3"_s, u"Label4"_s}) {
        if (platform::Control* instruction = find(label))
            instruction->onClick([this] { SayInstruction(); });
    }
    keys().bind(Qt::Key_H, [this] { SayInstruction(); });
}

void FormEsercizio::Form_Load() {
    modLanguageSupport::MLSTranslateForm(*this);
    app::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
    nameForAssistiveTechnology();
    std::vector<QWidget*> pictures;
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        pictures.push_back(control(kPictures, i).widget());
    keys().arrowsBetween(std::move(pictures));
    keys().bind(Qt::Key_Escape, [this] { mnuEsci_Click(); });
}

void FormEsercizio::Form_Activate() {
    app::CoverDisplay(*this);
    Modulo1::ContaEsatti = 0;
    Modulo1::ContaErrati = 0;
    foundIndex_ = -1;
    control(u"BottoneAvanti"_s).setVisible(true);
    showCounts(QString::number(Modulo1::ContaEsatti), QString::number(Modulo1::ContaErrati));
    PreparaEsercizio();
    describePictures();
    focusFirstPicture();
    SayInstruction();
}

void FormEsercizio::Form_Resize() {
    app::ResizeControls(*this);
}

void FormEsercizio::PreparaEsercizio() {
    CaricaFigure();
    MostraModello();
}

void FormEsercizio::CaricaFigure() {
    set_ = puzzle::drawSet(Modulo1::SerieFigure, platform::Rnd);
    QStringList paths;
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        paths.append(platform::picturePath(set_, i + 1));
    const std::vector<platform::Picture> pictures = picture_files::loadSetPictures(paths);
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        control(kPictures, i).setPicture(pictures[i]);
    Modulo1::IndiceModello = puzzle::drawModel(platform::Rnd);
}

void FormEsercizio::MostraModello() {
    control(u"Picture2"_s).setPicture(control(kPictures, Modulo1::IndiceModello).picture());
}

void FormEsercizio::Picture1_Click(int Index) {
    const std::optional<qint16> right = rightIndex();
    if (!right || Index < 0 || Index >= puzzle::kPicturesPerSet)
        return;
    if (Index == *right) {
        Esatto();
        control(u"Picture3"_s).setPicture(control(kPictures, Index).picture());
        foundIndex_ = Index;
        describePictures();
        announceAnswer(control(u"ComandoIconaSi"_s).widget()->accessibleName(),
                       control(u"EtichettaEsatti"_s).widget()->accessibleName());
        control(u"BottoneAvanti"_s).widget()->setFocus(Qt::OtherFocusReason);
    } else {
        Errato();
        announceAnswer(control(u"ComandoIconaNo"_s).widget()->accessibleName(),
                       control(u"EtichettaErrati"_s).widget()->accessibleName());
    }
}

void FormEsercizio::Esatto() {
    control(u"ComandoIconaSi"_s).setVisible(true);
    control(u"ComandoIconaNo"_s).setVisible(false);
    ModuloColoriSuoni::SuonoEsatto();
    Modulo1::ContaEsatti = puzzle::countAfterAnswer(Modulo1::ContaEsatti);
    control(u"EtichettaEsatti"_s).setText(platform::TextProperty::Caption, puzzle::countCaption(Modulo1::ContaEsatti));
    nameForAssistiveTechnology();
    control(u"BottoneAvanti"_s).setEnabled(true);
    setPicturesEnabled(false);
}

void FormEsercizio::Errato() {
    control(u"ComandoIconaSi"_s).setVisible(false);
    control(u"ComandoIconaNo"_s).setVisible(true);
    ModuloColoriSuoni::SuonoErrato();
    Modulo1::ContaErrati = puzzle::countAfterAnswer(Modulo1::ContaErrati);
    control(u"EtichettaErrati"_s).setText(platform::TextProperty::Caption, puzzle::countCaption(Modulo1::ContaErrati));
    nameForAssistiveTechnology();
}

void FormEsercizio::BottoneAvanti_Click() {
    control(u"BottoneAvanti"_s).setEnabled(false);
    control(u"Picture3"_s).setPicture(platform::Picture());
    foundIndex_ = -1;
    PreparaEsercizio();
    if (instruction_.isEmpty())
        SayInstruction();
    setPicturesEnabled(true);
    describePictures();
    focusFirstPicture();
}

void FormEsercizio::MenuAzzera_Click() {
    showCounts(u"0"_s, u"0"_s);
    Modulo1::ContaEsatti = 0;
    Modulo1::ContaErrati = 0;
}

void FormEsercizio::mnuEsci_Click() {
    const platform::MsgAnswer answer =
        platform::MsgBox(modLanguageSupport::MLSGetString(leaveQuestion_), platform::MsgButtons::YesNo,
                         platform::MsgIcon::Question, u"Metamorfine"_s);
    if (answer != platform::MsgAnswer::Yes)
        return;
    app::shell().showMenu();
    Unload();
    Modulo1::ContaEsatti = 0;
    Modulo1::ContaErrati = 0;
}

void FormEsercizio::setPicturesEnabled(bool enabled) {
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        control(kPictures, i).setEnabled(enabled);
}

void FormEsercizio::SayInstruction() const {
    spoken_words::Say(instructionKey());
}

void FormEsercizio::showCounts(const QString& right, const QString& wrong) {
    control(u"EtichettaEsatti"_s).setText(platform::TextProperty::Caption, right);
    control(u"EtichettaErrati"_s).setText(platform::TextProperty::Caption, wrong);
    nameForAssistiveTechnology();
}

void FormEsercizio::focusFirstPicture() {
    control(kPictures, 0).widget()->setFocus(Qt::OtherFocusReason);
}

void FormEsercizio::nameForAssistiveTechnology() {
    using modLanguageSupport::MLSAccessibleText;
    const auto caption = [this](const QString& name) {
        return control(name).text(platform::TextProperty::Caption).value_or(QString());
    };
    // FormEs5 to FormEs7 have no title: the menu's button names them all alike.
    const QString menuButton = QString::fromLatin1(kMenuButtons[std::size_t(number_ - 1)]);
    const platform::Control* title = find(u"Label3"_s);
    window()->setAccessibleName(
        modLanguageSupport::MLSReadIni(platform::languageFilePath(modLanguageSupport::MLSCurrentLanguage),
                                       u"FormMenu"_s, menuButton + u".Caption")
            .value_or(QString())
            .trimmed());
    if (window()->accessibleName().isEmpty() && title)
        window()->setAccessibleName(title->text(platform::TextProperty::Caption).value_or(QString()));
    control(u"ComandoIconaSi"_s).widget()->setAccessibleName(MLSAccessibleText(u"Right"_s, caption(u"Label1"_s)));
    control(u"ComandoIconaNo"_s).widget()->setAccessibleName(MLSAccessibleText(u"Wrong"_s, caption(u"Label2"_s)));
    control(u"EtichettaEsatti"_s).widget()->setAccessibleName(countName(u"Label1"_s, u"EtichettaEsatti"_s));
    control(u"EtichettaErrati"_s).widget()->setAccessibleName(countName(u"Label2"_s, u"EtichettaErrati"_s));
    control(u"PicturesattiErrati"_s).widget()->setAccessibleName(MLSAccessibleText(u"Score"_s));
    control(u"Picture4"_s).widget()->setAccessibleName(MLSAccessibleText(u"Model"_s));
    control(u"Picture5"_s).widget()->setAccessibleName(MLSAccessibleText(u"Found"_s));
}

QString FormEsercizio::countName(const QString& label, const QString& countLabel) const {
    return modLanguageSupport::MLSAccessibleFill(
        u"Labelled"_s, {control(label).text(platform::TextProperty::Caption).value_or(QString()),
                        control(countLabel).text(platform::TextProperty::Caption).value_or(QString()).trimmed()});
}

void FormEsercizio::describePictures() {
    using modLanguageSupport::MLSAccessibleFill;
    using modLanguageSupport::MLSAccessibleText;
    const auto described = [](const QString& word, const QString& description) {
        return MLSAccessibleFill(u"Labelled"_s, {word, description});
    };
    QString model;
    QString found = MLSAccessibleText(u"Empty"_s);
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i) {
        const QString description = modLanguageSupport::MLSPictureDescription(set_, i);
        control(kPictures, i)
            .widget()
            ->setAccessibleName(MLSAccessibleFill(
                u"Picture"_s, {QString::number(i + 1), QString::number(puzzle::kPicturesPerSet), description}));
        if (i == Modulo1::IndiceModello)
            model = description;
        if (i == foundIndex_)
            found = description;
    }
    const QString modelName = described(MLSAccessibleText(u"Model"_s), model);
    control(u"Picture2"_s).widget()->setAccessibleName(modelName);
    control(u"Picture3"_s).widget()->setAccessibleName(described(MLSAccessibleText(u"Found"_s), found));
    // A screen reader tells a picture's description after its name: whoever
    // cannot see the model hears it on every picture the focus reaches.
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        control(kPictures, i).widget()->setAccessibleDescription(modelName);
}

void FormEsercizio::announceAnswer(const QString& faceName, const QString& countName) {
    platform::announce(window(), faceName + u", " + countName);
}
