#include "FormEsercizio.h"

#include "DataFiles.h"
#include "ExerciseLayout.h"
#include "MessageBox.h"
#include "ModuloColoriSuoni.h"
#include "PictureFiles.h"
#include "PuzzleRules.h"
#include "Random.h"
#include "ScreenFrame.h"
#include "SharedState.h"
#include "SpokenWords.h"
#include "modLanguageSupport.h"

#include <QKeySequence>
#include <QShortcut>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPictures = u"Picture1"_s;

}  // namespace

FormEsercizio::FormEsercizio(int number, QString leaveQuestion, QString instruction)
    : platform::Screen(exercise_layout::design(number)),
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
    auto* again = new QShortcut(QKeySequence(Qt::Key_H), window());
    QObject::connect(again, &QShortcut::activated, again, [this] { SayInstruction(); });
}

void FormEsercizio::Form_Load() {
    modLanguageSupport::MLSTranslateForm(*this);
    app::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
}

void FormEsercizio::Form_Activate() {
    app::CoverDisplay(*this);
    Modulo1::ContaEsatti = 0;
    Modulo1::ContaErrati = 0;
    control(u"BottoneAvanti"_s).setVisible(true);
    showCounts(QString::number(Modulo1::ContaEsatti), QString::number(Modulo1::ContaErrati));
    PreparaEsercizio();
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
    const qint16 set = puzzle::drawSet(Modulo1::SerieFigure, platform::Rnd);
    for (int i = 0; i < puzzle::kPicturesPerSet; ++i)
        control(kPictures, i).setPicture(picture_files::loadSetPicture(platform::picturePath(set, i + 1)));
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
    } else {
        Errato();
    }
}

void FormEsercizio::Esatto() {
    control(u"ComandoIconaSi"_s).setVisible(true);
    control(u"ComandoIconaNo"_s).setVisible(false);
    ModuloColoriSuoni::SuonoEsatto();
    Modulo1::ContaEsatti = puzzle::countAfterAnswer(Modulo1::ContaEsatti);
    control(u"EtichettaEsatti"_s).setText(platform::TextProperty::Caption, puzzle::countCaption(Modulo1::ContaEsatti));
    control(u"BottoneAvanti"_s).setEnabled(true);
    setPicturesEnabled(false);
}

void FormEsercizio::Errato() {
    control(u"ComandoIconaSi"_s).setVisible(false);
    control(u"ComandoIconaNo"_s).setVisible(true);
    ModuloColoriSuoni::SuonoErrato();
    Modulo1::ContaErrati = puzzle::countAfterAnswer(Modulo1::ContaErrati);
    control(u"EtichettaErrati"_s).setText(platform::TextProperty::Caption, puzzle::countCaption(Modulo1::ContaErrati));
}

void FormEsercizio::BottoneAvanti_Click() {
    control(u"BottoneAvanti"_s).setEnabled(false);
    control(u"Picture3"_s).setPicture(platform::Picture());
    PreparaEsercizio();
    if (instruction_.isEmpty())
        SayInstruction();
    setPicturesEnabled(true);
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
}
