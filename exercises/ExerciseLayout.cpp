#include "ExerciseLayout.h"

#include "PuzzleRules.h"
#include "Resources.h"

#include <QtGlobal>
#include <array>
#include <string_view>

namespace exercises::exercise_layout {

namespace {

using forms::Align;
using forms::ControlDesign;
using forms::Kind;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kCyan = qRgb(0, 255, 255);
constexpr const char* kArial = "Arial";
constexpr double kBoxSide = 1695;    // the boxes of the model and of the found picture
constexpr double kPictureGap = 105;  // between two pictures to choose from

// How the pictures of a level stand over the pictures' area.
struct PictureGrid {
    int level;
    int columns, rows;
};
constexpr std::array<PictureGrid, 3> kPictureGrids{{{1, 4, 1}, {2, 4, 2}, {3, 8, 2}}};

constexpr const PictureGrid& gridOf(const rules::Level& level) {
    return *std::ranges::find(kPictureGrids, level.number, &PictureGrid::level);
}
static_assert(std::ranges::all_of(rules::kLevels, [](const rules::Level& level) {
    const PictureGrid& grid = gridOf(level);
    return grid.columns * grid.rows == level.shownCount();
}));

// clang-format off
// The controls every exercise screen has, in designed order. Positions that
// differ between the screens are zero here and come from the screen's row.
const std::array<ControlDesign, 20> kCommonControls{{
    {.name = PicturesattiErrati, .kind = Kind::PictureBox, .backColour = kWhite, .border = true},
    {.name = ComandoIconaSi, .kind = Kind::Image, .container = PicturesattiErrati,
     .left = 480, .top = 120, .width = 1095, .height = 975, .picture = resources::kSmilingFace},
    {.name = ComandoIconaNo, .kind = Kind::Image, .container = PicturesattiErrati,
     .left = 480, .top = 120, .width = 1095, .height = 975, .picture = resources::kSadFace,
     .visible = false},
    {.name = Label1, .kind = Kind::Label, .container = PicturesattiErrati,
     .left = 120, .top = 1185, .width = 1215, .height = 375, .caption = "Esatti",
     .font = {kArial, 12}, .align = Align::Centre},
    {.name = Label2, .kind = Kind::Label, .container = PicturesattiErrati,
     .left = 120, .top = 1710, .width = 1215, .height = 495, .caption = "Errati",
     .font = {kArial, 12}, .align = Align::Centre},
    {.name = EtichettaEsatti, .kind = Kind::Label, .container = PicturesattiErrati,
     .left = 1440, .top = 1080, .width = 615, .height = 615, .caption = "0",
     .font = {kArial, 20.25}, .align = Align::Right},
    {.name = EtichettaErrati, .kind = Kind::Label, .container = PicturesattiErrati,
     .left = 1440, .top = 1605, .width = 615, .height = 615, .caption = "0",
     .font = {kArial, 20.25}, .align = Align::Right},
    {.name = Picture4, .kind = Kind::PictureBox, .width = kBoxSide, .height = kBoxSide,
     .backColour = kWhite, .border = true},
    {.name = Picture2, .kind = Kind::Image, .container = Picture4, .width = kBoxSide, .height = kBoxSide},
    {.name = Picture5, .kind = Kind::PictureBox, .width = kBoxSide, .height = kBoxSide,
     .backColour = kWhite, .border = true},
    {.name = Picture3, .kind = Kind::Image, .container = Picture5, .width = kBoxSide, .height = kBoxSide},
    {.name = Label4, .kind = Kind::Label, .font = {kArial, 48}, .align = Align::Centre,
     .backColour = kWhite},
    {.name = BottoneAvanti, .kind = Kind::GraphicalButton, .width = 1575, .height = 975,
     .caption = "avanti", .font = {kArial, 14.25}, .picture = resources::kNextArrow,
     .pointer = resources::kNextPointer, .visible = false, .enabled = false, .tabIndex = kPictureSlots},
    {.name = HearAgain, .kind = Kind::GraphicalButton, .width = 1575, .height = 975,
     .caption = "", .picture = resources::kSpeaker, .tabIndex = kPictureSlots + 1},
    {.name = HomeButton, .kind = Kind::GraphicalButton, .width = 1575, .height = 975,
     .caption = "", .picture = resources::kHome, .tabIndex = kPictureSlots + 2},
    {.name = RuleDrawing, .kind = Kind::Image},
    {.name = Picture1, .kind = Kind::Image, .pointer = resources::kWhiteArrowPointer},
    {.name = MenuAzzera, .kind = Kind::MenuCommand, .caption = "Azzera conteggio        "},
    {.name = MenuInformazioni, .kind = Kind::MenuCommand, .caption = "Informazioni          "},
    {.name = mnuEsci, .kind = Kind::MenuCommand, .caption = "Esci"},
}};

// clang-format on

// The speaker button stands above "avanti", in the column beside the pictures,
// and the way home above it.
constexpr double kButtonAbove = 1200;
constexpr double kGap = 30;

// The drawing of the rule fills the room under the letters of the change,
// between the boxes of the model and of the found picture, standing clear of
// the pictures below so that its own copies of them are not taken for answers.
Rect ruleDrawingPlace(const Placement& row) {
    constexpr double kAbovePictures = 4 * kGap;
    const Rect& label = row.changeLabel;
    const double top = label.top + label.height + kGap;
    const double left = row.modelBox.left + kBoxSide + kGap;
    return {left, top, row.foundBox.left - kGap - left, row.pictures.top - kAbovePictures - top};
}

bool is(const ControlDesign& control, ControlName name) {
    return std::string_view(control.name) == std::string_view(name);
}

void place(ControlDesign& control, Rect rect) {
    control.left = rect.left;
    control.top = rect.top;
    control.width = rect.width;
    control.height = rect.height;
}

void place(ControlDesign& control, Point point) {
    control.left = point.left;
    control.top = point.top;
}

}  // namespace

forms::ScreenDesign design(const char* form, const Placement& row) {
    forms::ScreenDesign screen{
        .name = form,
        .clientWidth = row.clientWidth,
        .clientHeight = row.clientHeight,
        .background = kCyan,
        .icon = resources::kSmilingFace,
    };
    for (ControlDesign control : kCommonControls) {
        if (is(control, PicturesattiErrati)) {
            place(control, row.panel);
        } else if (is(control, Picture4)) {
            place(control, row.modelBox);
        } else if (is(control, Picture5)) {
            place(control, row.foundBox);
        } else if (is(control, Label4)) {
            place(control, row.changeLabel);
            control.caption = row.changeCaption;
        } else if (is(control, BottoneAvanti)) {
            place(control, row.nextButton);
        } else if (is(control, HearAgain)) {
            place(control, Point{row.nextButton.left, row.nextButton.top - kButtonAbove});
        } else if (is(control, HomeButton)) {
            place(control, Point{row.nextButton.left, row.nextButton.top - 2 * kButtonAbove});
        } else if (is(control, RuleDrawing)) {
            place(control, ruleDrawingPlace(row));
        } else if (is(control, Picture1)) {
            const std::vector<Rect> places = picturePlaces(row, rules::defaultLevel());
            for (int i = 0; i < kPictureSlots; ++i) {
                control.index = i;
                control.tabIndex = i;  // the pictures first, then "avanti"
                control.visible = std::size_t(i) < places.size();
                place(control, control.visible ? places[std::size_t(i)] : Rect{0, 0, 0, 0});
                screen.controls.push_back(control);
            }
            continue;
        }
        screen.controls.push_back(control);
        if (is(control, Label4)) {
            ControlDesign title{.name = Label3,
                                .kind = Kind::Label,
                                .caption = row.title,
                                .font = {kArial, 24},
                                .align = Align::Centre};
            place(title, row.titleRect);
            screen.controls.push_back(title);
        }
    }
    return screen;
}

std::vector<Rect> picturePlaces(const Placement& row, const rules::Level& level) {
    const PictureGrid& grid = gridOf(level);
    const Rect& area = row.pictures;
    const double pitch = std::min((area.width + kPictureGap) / grid.columns, (area.height + kPictureGap) / grid.rows);
    const double side = pitch - kPictureGap;
    const double left = area.left + (area.width - (grid.columns * pitch - kPictureGap)) / 2;
    const double top = area.top + (area.height - (grid.rows * pitch - kPictureGap)) / 2;
    std::vector<Rect> places;
    for (int i = 0; i < level.shownCount(); ++i)
        places.push_back({left + (i % grid.columns) * pitch, top + (i / grid.columns) * pitch, side, side});
    return places;
}

}  // namespace exercises::exercise_layout
