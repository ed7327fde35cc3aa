#pragma once
// An exercise screen, configured by its row of the catalogue: the frame the
// exercises share (counts, marks, the Next button, the reset, about and leave
// commands) around the puzzle model, whose changes it shows and says. What
// follows a new puzzle or an answer is the list of listeners in
// ListenToPuzzle(): the screen's own pictures, faces and title, and the
// effect objects of AnswerEffects.h and PuzzleRecord.h.

#include "ExerciseCatalogue.h"
#include "GrowingLevel.h"
#include "PuzzleModel.h"
#include "Screen.h"
#include "Widgets.h"

#include <QString>
#include <QTimer>
#include <vector>

class ExerciseScreen : public forms::Screen {
public:
    explicit ExerciseScreen(const exercises::exercise_catalogue::Exercise& exercise);

    const exercises::exercise_catalogue::Exercise& exercise() const { return exercise_; }
    const rules::PuzzleModel& puzzle() const { return puzzle_; }

    // What a right and a wrong answer show: the face, and after a right one
    // the Next button instead of the pictures (the sound is SoundAndPraise's).
    void Esatto();
    void Errato();

    // The counts back to zero and no face, as for a new child.
    void MenuAzzera_Click();

private:
    void ConnectEvents() override;
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    bool Form_QueryUnload() override;

    void Picture1_Click(int Index);
    void BottoneAvanti_Click();
    void mnuEsci_Click();

    // A new puzzle of the chosen set.
    void PreparaEsercizio();
    void ListenToPuzzle();
    void ShowPuzzle();
    void ShowFound(int index);
    void SayInstruction() const;
    // The drawing of the rule, and its words for assistive technology.
    void ShowRule();
    forms::PictureRow ruleRow() const;
    // A step of the level, in the place of the title for a moment.
    void ShowStep();
    void setPicturesEnabled(bool enabled);
    void layPictures(const rules::Level& level);
    void reachPictures(int shown);
    void focusFirstPicture();

    // What the controls tell assistive technology, in the current language.
    void afterTranslation() override;
    void nameCounts();
    void describePictures();

    const exercises::exercise_catalogue::Exercise& exercise_;
    rules::PuzzleModel puzzle_;
    const rules::Level* laidOut_ = nullptr;    // the level whose pictures stand on the screen
    std::vector<files::Picture> setPictures_;  // the pictures of the puzzle's set and level, by index
    bool opening_ = false;                     // the first puzzle of a visit is being shown
    exercises::growing_level::GrowingLevel growth_;
    QTimer stepShown_;  // how long a step stands in the place of the title
    QString title_;     // the title it stands for
};
