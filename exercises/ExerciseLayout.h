#pragma once
// The designed layout of the exercise screens: the controls they all have,
// named here, placed by the positions of each screen's row of the catalogue.

#include "Design.h"
#include "PuzzleRules.h"

#include <algorithm>
#include <ranges>
#include <vector>

namespace exercises::exercise_layout {

using forms::ControlName;

// The controls of an exercise screen.
inline constexpr ControlName PicturesattiErrati{"PicturesattiErrati"};  // the panel of the marks and counts
inline constexpr ControlName ComandoIconaSi{"ComandoIconaSi"};          // smiling face
inline constexpr ControlName ComandoIconaNo{"ComandoIconaNo"};          // sad face
inline constexpr ControlName Label1{"Label1"};                          // "Esatti"
inline constexpr ControlName Label2{"Label2"};                          // "Errati"
inline constexpr ControlName EtichettaEsatti{"EtichettaEsatti"};
inline constexpr ControlName EtichettaErrati{"EtichettaErrati"};
inline constexpr ControlName Picture4{"Picture4"};  // the box of the model
inline constexpr ControlName Picture2{"Picture2"};  // the model
inline constexpr ControlName Picture5{"Picture5"};  // the box of the found picture
inline constexpr ControlName Picture3{"Picture3"};  // the found picture
inline constexpr ControlName Label4{"Label4"};      // the letters of the change
inline constexpr ControlName Label3{"Label3"};      // the title
inline constexpr ControlName BottoneAvanti{"BottoneAvanti"};
inline constexpr ControlName RuleDrawing{"RuleDrawing"};  // the drawing of the change, under Label4
inline constexpr ControlName HearAgain{"HearAgain"};      // says the instruction again
inline constexpr ControlName HomeButton{"HomeButton"};    // asks whether to leave, as mnuEsci does
inline constexpr ControlName Picture1{"Picture1"};        // the pictures shown, a control array
inline constexpr ControlName MenuAzzera{"MenuAzzera"};
inline constexpr ControlName MenuInformazioni{"MenuInformazioni"};
inline constexpr ControlName mnuEsci{"mnuEsci"};

struct Rect {
    double left, top, width, height;
};
struct Point {
    double left, top;
};

// Where the controls of one exercise screen stand, in twips.
struct Placement {
    double clientWidth, clientHeight;
    Rect panel;                 // PicturesattiErrati
    Point modelBox;             // Picture4
    Point foundBox;             // Picture5
    Rect changeLabel;           // Label4
    Point nextButton;           // BottoneAvanti
    Rect pictures;              // the area of the pictures to choose from
    const char* changeCaption;  // Label4 as designed
    const char* title;          // Label3
    Rect titleRect;
};

// The most pictures a level shows: the screen has a Picture1 control for each.
inline constexpr int kPictureSlots = std::ranges::max(
    rules::kLevels | std::views::transform([](const rules::Level& level) { return level.shownCount(); }));

// The design of the exercise screen `form` placed by `placement`, its
// pictures as the default level shows them.
forms::ScreenDesign design(const char* form, const Placement& placement);

// Where the pictures a puzzle of `level` shows stand, in their order, in
// twips: row by row over the pictures' area, as large as the level's grid lets
// them be.
std::vector<Rect> picturePlaces(const Placement& placement, const rules::Level& level);

}  // namespace exercises::exercise_layout
