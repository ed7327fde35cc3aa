#pragma once
// The frame that the seven exercise screens share: counts, marks, the Next
// button, the reset, about and leave commands, and the common puzzle set-up.
// An exercise adds how a puzzle is built, where it differs, and its answer
// rule: the index of the right picture.

#include "Screen.h"

#include <QString>
#include <QtGlobal>
#include <optional>

class FormEsercizio : public platform::Screen {
public:
    void Esatto();
    void Errato();

protected:
    // FormEs<number>, whose leave question is the text of `leaveQuestion` and
    // whose spoken instruction is `instruction`. An exercise that names a change
    // drawn with every puzzle passes no instruction: it gives instructionKey()
    // and says it again at every new puzzle.
    FormEsercizio(int number, QString leaveQuestion, QString instruction = QString());

    // Builds a new puzzle; the common version chooses the set, loads its eight
    // pictures, draws the model and shows it.
    virtual void PreparaEsercizio();
    // The index of the right picture of the current puzzle; nothing while
    // there is no puzzle to answer.
    virtual std::optional<qint16> rightIndex() const = 0;
    // The key of the spoken instruction of the current puzzle.
    virtual QString instructionKey() const { return instruction_; }

    // The steps of the common set-up, for exercises that draw more around them.
    void CaricaFigure();   // the set (when it is drawn), the eight pictures, IndiceModello
    void MostraModello();  // Picture2 takes the picture of Picture1(IndiceModello)

private:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;

    void Picture1_Click(int Index);
    void BottoneAvanti_Click();
    void MenuAzzera_Click();
    void mnuEsci_Click();
    void setPicturesEnabled(bool enabled);
    void showCounts(const QString& right, const QString& wrong);
    void SayInstruction() const;
    void focusFirstPicture();

    // What the controls tell assistive technology, in the current language.
    void nameForAssistiveTechnology();
    void describePictures();
    QString countName(const QString& label, const QString& countLabel) const;
    void announceAnswer(const QString& faceName, const QString& countName);

    const int number_;
    const QString leaveQuestion_;
    const QString instruction_;
    qint16 set_ = 1;       // the set of the current puzzle
    int foundIndex_ = -1;  // the picture shown as found; -1: none
};
