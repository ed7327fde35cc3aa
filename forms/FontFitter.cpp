#include "FontFitter.h"

#include "Control.h"
#include "Screen.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace forms {

namespace {

// Maps the designed font families onto the families installed here (once).
void installFontSubstitutions() {
    static const bool installed = [] {
        QFont::insertSubstitution(u"Comic Sans MS"_s, u"Comic Neue"_s);
        QFont::insertSubstitution(u"Arial"_s, u"Liberation Sans"_s);
        QFont::insertSubstitution(u"MS Sans Serif"_s, u"Liberation Sans"_s);
        return true;
    }();
    Q_UNUSED(installed);
}

// The designed font, bold; a design font without a family is the screen's.
QFont boldFont(const Font& font, const Font& screenFont) {
    const Font& chosen = font.family ? font : screenFont;
    QFont result;
    if (chosen.family)
        result.setFamily(QString::fromUtf8(chosen.family));
    if (chosen.points > 0)
        result.setPointSizeF(chosen.points);
    result.setBold(true);
    return result;
}

// `font` with its point size times `scale`, never below one point.
QFont scaledFont(const QFont& font, double scale) {
    constexpr double kSmallestPoints = 1.0;
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(std::max(font.pointSizeF() * scale, kSmallestPoints));
    return scaled;
}

// `font`, made smaller where the ink of a label's caption, set at its top,
// would reach below the label: the dots under Arabic letters hang lower than
// any Latin letter does.
QFont fittedToHeight(const QWidget* widget, const QFont& font, const QString& text) {
    if (!qobject_cast<const QLabel*>(widget) || widget->height() <= 0)
        return font;
    QFont fitted = font;
    for (int step = 0; step < 3; ++step) {
        const QFontMetricsF metrics(fitted, widget);
        const double inkBottom = metrics.ascent() + metrics.tightBoundingRect(text).bottom();
        if (inkBottom <= widget->height())
            break;
        fitted = scaledFont(fitted, widget->height() / inkBottom);
    }
    return fitted;
}

// `font`, made smaller where the widget's one-line caption `text` (`caption`
// less the blanks at its ends) would be wider than the room the widget leaves.
QFont fittedToWidth(const QWidget* widget, const QFont& font, const QString& caption, const QString& text) {
    // Most captions fit with room to spare; only a tight one needs the widget's
    // own margins, which take a layout of the whole widget to learn.
    constexpr double kBesidesTextAtMost = 48;  // pixels of margins, a check mark or an option's circle
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    const double picture = button && !button->icon().isNull() ? button->iconSize().width() : 0;
    if (QFontMetricsF(font, widget).horizontalAdvance(text) + kBesidesTextAtMost + picture <= widget->width())
        return font;
    // The margins, check mark or picture that the widget shows beside its caption.
    const double besidesText =
        widget->sizeHint().width() - QFontMetricsF(widget->font(), widget).horizontalAdvance(caption);
    const double room = widget->width() - besidesText;
    QFont fitted = font;
    // Hinting makes the width grow unevenly with the size: a few steps reach one that fits.
    for (int step = 0; step < 3; ++step) {
        const double textWidth = QFontMetricsF(fitted, widget).horizontalAdvance(text);
        if (textWidth <= room || room <= 0)
            break;
        fitted = scaledFont(fitted, room / textWidth);
    }
    return fitted;
}

// `font`, made smaller where the widget's one-line caption, blanks at its ends
// aside, would be wider than the room that the widget leaves for it, or a
// label's would reach below it. The widget shows `caption` already.
QFont fittedFont(const QWidget* widget, const QFont& font, const QString& caption) {
    const QString text = caption.trimmed();
    if (text.isEmpty())
        return font;
    return fittedToHeight(widget, fittedToWidth(widget, font, caption, text), text);
}

// How much the control has grown since the design, as far as it grew both ways.
double fontScale(const Control& control) {
    const ControlDesign& design = control.design();
    if (design.width <= 0 || design.height <= 0)
        return 1.0;
    const double width = control.coordinate(Coordinate::Width).value_or(design.width);
    const double height = control.coordinate(Coordinate::Height).value_or(design.height);
    return std::min(width / design.width, height / design.height);
}

}  // namespace

std::jthread PrepareFonts() {
    return std::jthread([] { QFontDatabase::families(); });
}

void FontFitter::screenLoaded() {
    installFontSubstitutions();
    shown_ = false;
    drawing_ = true;
}

void FontFitter::windowShown() {
    shown_ = true;
}

void FontFitter::showFinished() {
    fitChanged();
}

void FontFitter::screenHidden() {
    shown_ = false;
}

void FontFitter::drawingStopped() {
    drawing_ = false;
}

void FontFitter::drawingRestarted() {
    drawing_ = true;
    fitChanged();
}

void FontFitter::controlPlaced(const Control& control) {
    if (fontsFollowSizes())
        fitIfResized(control);
}

void FontFitter::captionChanged(const Control& control) {
    if (fontsFollowSizes() && control.widget())
        fit(control);
}

void FontFitter::forget(const Control& control) {
    fits_.erase(&control);
}

void FontFitter::fitChanged() {
    if (!fontsFollowSizes())
        return;
    for (const auto& control : screen_.controls())
        fitIfResized(*control);
}

void FontFitter::fitIfResized(const Control& control) {
    const QWidget* widget = control.widget();
    if (!widget)
        return;
    const auto found = fits_.find(&control);
    if (found == fits_.end() || fontScale(control) != found->second.scale || widget->size() != found->second.size)
        fit(control);
}

void FontFitter::fit(const Control& control) {
    QWidget* widget = control.widget();
    auto [entry, added] = fits_.try_emplace(&control);
    Fit& last = entry->second;
    if (added)
        last.designed = boldFont(control.design().font, screen_.design().font);
    last.scale = fontScale(control);
    last.size = widget->size();
    QFont font = scaledFont(last.designed, last.scale);
    if (const std::optional<QString> caption = control.text(TextProperty::Caption))
        font = fittedFont(widget, font, *caption);
    last.fitted = font;
    if (qobject_cast<const QRadioButton*>(widget))
        evenOutOptions(widget->parentWidget());
    else if (font != widget->font())
        widget->setFont(font);
}

// Options side by side in one box are read as one list: they all take the
// smallest of their fitted fonts, so that a long caption does not leave its
// option in smaller letters, with a smaller circle, than the others.
void FontFitter::evenOutOptions(const QWidget* box) {
    std::vector<std::pair<QWidget*, QFont>> options;
    double smallest = 0;
    for (const auto& [control, last] : fits_) {
        QWidget* widget = control->widget();
        if (!widget || widget->parentWidget() != box || !qobject_cast<const QRadioButton*>(widget))
            continue;
        options.emplace_back(widget, last.fitted);
        const double points = last.fitted.pointSizeF();
        smallest = smallest > 0 ? std::min(smallest, points) : points;
    }
    for (auto& [widget, font] : options) {
        if (smallest > 0)
            font.setPointSizeF(smallest);
        if (font != widget->font())
            widget->setFont(font);
    }
}

}  // namespace forms
