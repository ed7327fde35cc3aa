#pragma once
// Keeps every control of one screen in the proportions of the screen's design.
// The first pass records the client size and every control's position and
// size; each later pass sets every control to the recorded values times the
// ratio of the present client size to the recorded one.
//
// A control's tag says which of its values are adjusted: taken in upper case,
// a tag that begins with "@" adjusts Left, Top, Width and Height for each of
// the letters L, T, W and H it holds; any other tag adjusts all four.
//
// A minimised screen, and a layout recorded on a client area of no width or
// height, are left alone; so is a control that is no longer the one recorded
// (the screen was loaded again since).

#include "Control.h"

#include <QtGlobal>
#include <vector>

namespace forms {
class Screen;
}

class clsResize {
public:
    forms::Screen* SourceForm() const { return SourceForm_; }
    void SourceForm(forms::Screen* New_SourceForm) { SourceForm_ = New_SourceForm; }

    void ReInitialise();
    // Sizes the screen to Percent of the display, centred, then adjusts the controls.
    void SizeFormToScreen(quint8 Percent);
    void ResizeControls();
    // Gives `control` a new place in the recorded client area, which it
    // takes at once and keeps in proportion from then on; a control not
    // recorded takes the place itself.
    void MoveControl(forms::Control& control, double left, double top, double width, double height);

private:
    struct ControlPosition {
        forms::Control* Control;
        qint32 Left;
        qint32 Top;
        qint32 Width;
        qint32 Height;
    };

    void Initialise();
    // Puts a control at its recorded place, in proportion to the present client area.
    void Place(const ControlPosition& recorded) const;

    forms::Screen* SourceForm_ = nullptr;
    qint32 RecordedScaleWidth = 0;
    qint32 RecordedScaleHeight = 0;
    std::vector<ControlPosition> ControlPositions;
    bool FirstTime = true;
};
