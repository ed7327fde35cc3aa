#pragma once
// The designed layout of a screen: a plain table of its controls, one row a
// control, in the order the designer placed them (which is also the order of
// the screen's control collection). Positions and sizes are in twips relative
// to the inside of the container; colours are RGB as the designer chose them.

#include <QRgb>
#include <vector>

namespace forms {

enum class Kind {
    Label,
    CommandButton,
    GraphicalButton,  // command button with a picture above its caption
    CheckBox,
    OptionButton,  // option buttons inside one picture box form one group
    PictureBox,    // container with a background of its own
    Image,         // shows a picture, drawn as large as fits without distortion
    MenuCommand,   // menu-bar entry without sub-items
    Menu,          // menu-bar entry that opens a menu of MenuItem rows
    MenuItem,
};

// Menu entries have no widget and no position: they are actions of the menu bar.
inline bool isMenuEntry(Kind kind) {
    return kind == Kind::MenuCommand || kind == Kind::Menu || kind == Kind::MenuItem;
}

enum class Align { Left, Centre, Right };

// The name of a control, as the layout table of its screen declares it. Code
// reaches a control through the constant declared beside the table, never
// through a string, so that a misspelt name does not compile.
class ControlName {
public:
    explicit constexpr ControlName(const char* name) : name_(name) {}
    constexpr operator const char*() const { return name_; }
    constexpr const char* text() const { return name_; }

private:
    const char* name_;
};

// Every font of the program is bold.
struct Font {
    const char* family = nullptr;  // nullptr: the screen's own font
    double points = 0;
};

// A mouse pointer drawn from a picture of the resources, with its hot spot in
// the pixels of a 32 x 32 pointer.
struct Pointer {
    const char* resource = nullptr;  // nullptr: the system's arrow
    int hotX = 0;
    int hotY = 0;
};

inline constexpr QRgb kNoColour = 0;  // a real colour always has its alpha set

struct ControlDesign {
    const char* name;
    Kind kind;
    int index = -1;                                   // >= 0: element `index` of the control array `name`
    const char* container = nullptr;                  // picture box or menu it lies in; nullptr: the screen
    double left = 0, top = 0, width = 0, height = 0;  // twips
    const char* caption = nullptr;                    // UTF-8; nullptr for kinds without a caption
    Font font = {};
    Align align = Align::Left;
    QRgb foreColour = kNoColour;    // kNoColour: the window-text colour
    QRgb backColour = kNoColour;    // kNoColour: transparent (labels) or the kind's default
    bool border = false;            // picture boxes: standard single border
    const char* picture = nullptr;  // resource of the picture it shows; a plain button: beside the caption
    Pointer pointer = {};
    bool visible = true;
    bool enabled = true;
    bool checked = false;       // check boxes, option buttons and menu items
    int tabIndex = -1;          // keyboard order; -1: takes no focus
    const char* tag = nullptr;  // UTF-8 tag text the control starts with
};

struct ScreenDesign {
    const char* name;    // the form name, also its section in the language files
    double clientWidth;  // design client area in twips
    double clientHeight;
    QRgb background;
    const char* icon = nullptr;  // resource of the window icon
    Font font = {"MS Sans Serif", 8.25};
    const char* caption = "";  // window caption; the screens carry none of their own
    std::vector<ControlDesign> controls = {};
};

}  // namespace forms
