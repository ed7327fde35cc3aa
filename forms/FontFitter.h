#pragma once
// Fits the fonts of one screen's controls to the sizes the child sees.
//
// Every font is the designed one, bold, in the families installed here. It
// grows and shrinks with its control, as far as the control has grown or
// shrunk both ways since the design; a control designed without an extent
// keeps its designed size. A caption too wide for its control gets a smaller
// font that fits it, on one line; the options of one box share the smallest.
//
// The screen is in one of three states:
//   Hidden          loaded but not shown yet, or unloaded. A screen passes
//                   through several sizes before it is first shown: no font is
//                   fitted to any of them.
//   Drawing stopped shown, while a pass over the screen (resizing every
//                   control) has stopped its drawing. Fonts wait for the end
//                   of the pass, which fits each control once, at its last size.
//   Shown           shown and drawing. Fonts follow their controls' sizes.
//
// The rules, in the order a screen meets them:
//   - A control is placed before its widget is shown, so that its first fit
//     is at its designed place and not at a size Qt worked out on its own.
//   - A font is fitted only once the screen is shown: Show ends with every
//     control fitted to its size, after the screen's activation has moved
//     and sized it.
//   - While drawing is stopped nothing is fitted; restarting it fits every
//     control whose size changed meanwhile.
//   - A control's font is fitted again only when its size changes: moving a
//     control leaves its font as it is.
//   - A new caption is fitted at once (while shown and drawing): another
//     caption may need another font to fit.

#include <QFont>
#include <QSize>
#include <thread>
#include <unordered_map>

class QWidget;

namespace forms {

class Control;
class Screen;

// Reads the fonts installed here on a thread of its own: reading them is a
// good part of the time the first screen takes to show, and the screen is
// built meanwhile instead of waiting when it first measures a caption. Call it
// once the application object is made; the thread ends before the returned
// object does, which must be before the application object.
[[nodiscard]] std::jthread PrepareFonts();

class FontFitter {
public:
    explicit FontFitter(const Screen& screen) : screen_(screen) {}

    // From the screen, as its state changes.
    void screenLoaded();  // hidden, drawing; the designed families are mapped onto installed ones
    void windowShown();   // shown: from now on fonts follow sizes
    void showFinished();  // the end of Show: every control not yet fitted to its size is fitted
    void screenHidden();
    void drawingStopped();
    void drawingRestarted();

    // From a control.
    void controlPlaced(const Control& control);  // moved or sized
    void captionChanged(const Control& control);
    void forget(const Control& control);  // the control is going away

private:
    // What a control's font was last fitted to.
    struct Fit {
        QFont designed;
        double scale = -1;
        QSize size;
        QFont fitted;  // before the options of one box are evened out
    };

    bool fontsFollowSizes() const { return shown_ && drawing_; }
    void fitChanged();
    void fitIfResized(const Control& control);
    void fit(const Control& control);
    void evenOutOptions(const QWidget* box);

    const Screen& screen_;
    bool shown_ = false;
    bool drawing_ = true;
    std::unordered_map<const Control*, Fit> fits_;
};

}  // namespace forms
