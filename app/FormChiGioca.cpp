#include "FormChiGioca.h"

#include "KeyboardPlay.h"
#include "Kiosk.h"
#include "ModuloColoriSuoni.h"
#include "Players.h"
#include "ScreenFrame.h"
#include "Screens.h"
#include "SpokenWords.h"
#include "SwitchScan.h"
#include "Widgets.h"
#include "modLanguageSupport.h"

#include <QToolButton>
#include <QWidget>
#include <cmath>

using namespace Qt::Literals::StringLiterals;
using forms::Kind;

namespace app {

using namespace form_chi_gioca;

namespace {

constexpr double kWidth = 8790;
constexpr double kHeight = 6030;
constexpr double kTop = 1080;  // under the question
constexpr double kMargin = 120;

}  // namespace

forms::ScreenDesign FormChiGioca::Design() {
    forms::ScreenDesign design{
        .name = "FormChiGioca",
        .clientWidth = kWidth,
        .clientHeight = kHeight,
        .background = qRgb(128, 255, 255),
        .controls = {{.name = Label1,
                      .kind = Kind::Label,
                      .left = kMargin,
                      .top = 120,
                      .width = kWidth - 2 * kMargin,
                      .height = 855,
                      .caption = "Chi gioca?",
                      .font = {"Comic Sans MS", 24},
                      .align = forms::Align::Centre,
                      .tabIndex = 0}},
    };
    for (int index = 0; index < kMaxChildren; ++index)
        design.controls.push_back({.name = ChildButton,
                                   .kind = Kind::GraphicalButton,
                                   .index = index,
                                   .left = kMargin,
                                   .top = kTop,
                                   .width = 1000,
                                   .height = 1000,
                                   .caption = "",
                                   .font = {"Comic Sans MS", 14},
                                   .tabIndex = 1 + index});
    return design;
}

FormChiGioca::FormChiGioca() : Screen(Design()) {}

void FormChiGioca::ConnectEvents() {
    onArrayClick(ChildButton, [this](int index) { ChildButton_Click(index); });
    for (int index = 0; index < kMaxChildren; ++index) {
        QWidget* button = control(ChildButton, index).widget();
        new forms::EntryFilter(button,
                               [button] { feedback::spoken_words::SayName(QString(), button->accessibleName()); });
    }
}

void FormChiGioca::Form_Load() {
    modLanguageSupport::MLSTranslateForm(*this);
    state::SetUpResizing(*this);
    setBackColor(ModuloColoriSuoni::PreparaColori());
    layButtons();
}

// As many buttons as children, in rows as even as they come, as big as the
// screen lets them be; the others hidden.
void FormChiGioca::layButtons() {
    const std::vector<record::Child> none;
    const std::vector<record::Child>& children = players() ? players()->children() : none;
    const int count = std::min<int>(int(children.size()), kMaxChildren);
    const double room = kHeight - kTop - kMargin;
    int columns = 1;
    while (columns * int(std::ceil(room / ((kWidth - kMargin) / columns))) < count)
        ++columns;
    const double side = std::min((kWidth - kMargin) / columns, room / std::ceil(double(count) / columns));
    std::vector<QWidget*> shown;
    for (int index = 0; index < kMaxChildren; ++index) {
        forms::Control& button = control(ChildButton, index);
        const bool used = index < count;
        button.setVisible(used);
        if (!used)
            continue;
        const record::Child& child = children[std::size_t(index)];
        state::MoveControl(*this, button, kMargin + side * (index % columns), kTop + side * (index / columns),
                           side - kMargin, side - kMargin);
        button.setText(forms::TextProperty::Caption, child.name);
        button.setPicture(files::Picture(childPicture(child.picture)));
        button.widget()->setAccessibleName(child.name);
        // Designed without words, the button would show the picture alone.
        if (auto* tool = qobject_cast<QToolButton*>(button.widget()))
            tool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        shown.push_back(button.widget());
    }
    keys().arrowsBetween(shown);
    scan().setChoices(std::move(shown));
}

void FormChiGioca::afterTranslation() {
    window()->setAccessibleName(control(Label1).text(forms::TextProperty::Caption).value_or(QString()));
}

void FormChiGioca::Form_Activate() {
    state::CoverDisplay(*this);
    if (players() && !players()->children().empty())
        control(ChildButton, 0).widget()->setFocus(Qt::OtherFocusReason);
    feedback::spoken_words::SayName(u"WhoPlays"_s,
                                    control(Label1).text(forms::TextProperty::Caption).value_or(QString()));
}

void FormChiGioca::Form_Resize() {
    state::ResizeControls(*this);
}

void FormChiGioca::ChildButton_Click(int index) {
    if (!players() || std::size_t(index) >= players()->children().size())
        return;
    players()->choose(players()->children()[std::size_t(index)]);
    app::screens::FormMenu().Show();
    Unload();
}

}  // namespace app
