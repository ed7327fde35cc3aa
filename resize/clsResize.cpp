#include "clsResize.h"

#include "Screen.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

// Nearest integer, a half to the even neighbour; out-of-range values are
// clamped and a value that is no number gives 0.
qint32 roundToInteger(double value) {
    if (std::isnan(value))
        return 0;
    const double clamped =
        std::clamp(value, double(std::numeric_limits<qint32>::min()), double(std::numeric_limits<qint32>::max()));
    const double below = std::floor(clamped);
    const double fraction = clamped - below;
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0);
    return static_cast<qint32>(up ? below + 1 : below);
}

struct Flags {
    bool left, top, width, height;
};

Flags flagsFromTag(const QString& tag) {
    QString upper = tag.toUpper();
    if (!upper.startsWith(u'@'))
        upper = u"@L,T,W,H"_s;
    return {upper.contains(u'L'), upper.contains(u'T'), upper.contains(u'W'), upper.contains(u'H')};
}

// Restarts the drawing of the window however the pass ends.
class DrawingStopped {
public:
    explicit DrawingStopped(forms::Screen& screen) : screen_(screen) { screen_.setDrawingEnabled(false); }
    ~DrawingStopped() { screen_.setDrawingEnabled(true); }
    DrawingStopped(const DrawingStopped&) = delete;
    DrawingStopped& operator=(const DrawingStopped&) = delete;

private:
    forms::Screen& screen_;
};

}  // namespace

void clsResize::ReInitialise() {
    Initialise();
}

void clsResize::Initialise() {
    if (!SourceForm_ || !SourceForm_->isLoaded())
        return;
    forms::Screen& form = *SourceForm_;
    RecordedScaleWidth = roundToInteger(form.scaleWidth());
    RecordedScaleHeight = roundToInteger(form.scaleHeight());
    ControlPositions.clear();
    ControlPositions.reserve(form.controls().size());
    for (const auto& control : form.controls()) {
        // Menu entries have no position: they keep zeros.
        const auto recorded = [&control](forms::Coordinate coordinate) {
            return roundToInteger(control->coordinate(coordinate).value_or(0));
        };
        ControlPositions.push_back({control.get(), recorded(forms::Coordinate::Left), recorded(forms::Coordinate::Top),
                                    recorded(forms::Coordinate::Width), recorded(forms::Coordinate::Height)});
    }
    FirstTime = false;
}

void clsResize::ResizeControls() {
    if (!SourceForm_ || !SourceForm_->isLoaded())
        return;
    forms::Screen& form = *SourceForm_;
    if (form.controls().empty())
        return;
    if (form.windowState() == forms::WindowState::Minimised)
        return;
    if (FirstTime) {
        Initialise();
        return;
    }
    if (RecordedScaleWidth == 0 || RecordedScaleHeight == 0)
        return;

    const DrawingStopped drawingStopped(form);
    const auto& controls = form.controls();
    for (std::size_t i = 0; i < ControlPositions.size() && i < controls.size(); ++i) {
        // Records are in collection order. A control that is not the one
        // recorded (the screen was loaded again, or another screen assigned)
        // is left alone.
        if (controls[i].get() == ControlPositions[i].Control)
            Place(ControlPositions[i]);
    }
}

void clsResize::Place(const ControlPosition& recorded) const {
    const double verticalRatio = SourceForm_->scaleHeight() / RecordedScaleHeight;
    const double horizontalRatio = SourceForm_->scaleWidth() / RecordedScaleWidth;
    forms::Control& control = *recorded.Control;
    const Flags flags = flagsFromTag(control.text(forms::TextProperty::Tag).value_or(QString()));
    if (flags.left)
        control.setCoordinate(forms::Coordinate::Left, recorded.Left * horizontalRatio);
    if (flags.top)
        control.setCoordinate(forms::Coordinate::Top, recorded.Top * verticalRatio);
    if (flags.width)
        control.setCoordinate(forms::Coordinate::Width, recorded.Width * horizontalRatio);
    if (flags.height)
        control.setCoordinate(forms::Coordinate::Height, recorded.Height * verticalRatio);
}

void clsResize::MoveControl(forms::Control& control, double left, double top, double width, double height) {
    const ControlPosition place{&control, roundToInteger(left), roundToInteger(top), roundToInteger(width),
                                roundToInteger(height)};
    const auto recorded = std::ranges::find(ControlPositions, &control, &ControlPosition::Control);
    if (recorded == ControlPositions.end() || RecordedScaleWidth == 0 || RecordedScaleHeight == 0) {
        control.setCoordinate(forms::Coordinate::Left, left);
        control.setCoordinate(forms::Coordinate::Top, top);
        control.setCoordinate(forms::Coordinate::Width, width);
        control.setCoordinate(forms::Coordinate::Height, height);
        return;
    }
    *recorded = place;
    Place(place);
}

void clsResize::SizeFormToScreen(quint8 Percent) {
    if (!SourceForm_ || !SourceForm_->isLoaded())
        return;
    if (FirstTime)
        Initialise();
    forms::Screen& form = *SourceForm_;
    const double share = Percent / 100.0;
    const double newHeight = std::floor(share * form.displayHeight());
    const double newWidth = std::floor(share * form.displayWidth());
    form.setTop((form.displayHeight() - newHeight) / 2);
    form.setLeft((form.displayWidth() - newWidth) / 2);
    form.setHeight(newHeight);
    form.setWidth(newWidth);
    ResizeControls();
}
