#include "SwitchScan.h"

#include "InputDispatcher.h"
#include "KeyboardPlay.h"
#include "Speech.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace forms {

SwitchScan::SwitchScan(QWidget* window, KeyboardPlay& keys, InputDispatcher& dispatcher, Namer namer)
    : window_(window), keys_(keys), dispatcher_(dispatcher), namer_(std::move(namer)) {
    setMode(dispatcher_.scanMode());
}

void SwitchScan::setMode(settings::Scan mode) {
    if (mode == mode_)
        return;
    if (mode_ != settings::Scan::Off)
        giveKeysBack();
    mode_ = mode;
    if (mode_ != settings::Scan::Off)
        takeKeys();
}

void SwitchScan::takeKeys() {
    dispatcher_.setKeyboardInUse(true);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusMoved(now); });
    const auto bindAll = [this](std::initializer_list<Qt::Key> switches, const std::function<void()>& action) {
        for (const Qt::Key key : switches)
            keys_.bind(key, action);
    };
    if (mode_ == settings::Scan::Step) {
        bindAll({Qt::Key_Space, Qt::Key_Tab}, [this] { next(); });
        bindAll({Qt::Key_Return, Qt::Key_Enter}, [this] { choose(); });
        return;
    }
    bindAll({Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}, [this] { choose(); });
    // A click anywhere in the window is the switch. The choice is made after
    // the click has been delivered: it may unload the window the click is in.
    keys_.takeClicks([this](const QEvent& button) {
        if (!mayMove())
            return false;
        if (button.type() == QEvent::MouseButtonPress)
            QMetaObject::invokeMethod(
                this, [this] { choose(); }, Qt::QueuedConnection);
        return true;
    });
    timer_ = dispatcher_.makeScanTimer();
    restart();
}

void SwitchScan::giveKeysBack() {
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter})
        keys_.restore(key);
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    keys_.takeClicks({});
    timer_.reset();
    moves_ = 0;
    resting_ = false;
}

void SwitchScan::setChoices(std::vector<QWidget*> inOrder) {
    choices_.assign(inOrder.begin(), inOrder.end());
}

std::vector<QWidget*> SwitchScan::reachableChoices() const {
    std::vector<QWidget*> reachable;
    if (!window_)
        return reachable;
    const auto usable = [this](const QWidget* widget) {
        return widget && widget->isEnabled() && widget->isVisibleTo(window_);
    };
    if (!choices_.empty()) {
        for (const QPointer<QWidget>& choice : choices_)
            if (usable(choice))
                reachable.push_back(choice);
        return reachable;
    }
    for (QWidget* widget = window_->nextInFocusChain(); widget && widget != window_;
         widget = widget->nextInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && usable(widget))
            reachable.push_back(widget);
    return reachable;
}

QWidget* SwitchScan::highlighted() const {
    return window_ ? window_->focusWidget() : nullptr;
}

void SwitchScan::next() {
    const std::vector<QWidget*> reachable = reachableChoices();
    if (reachable.empty())
        return;
    const auto current = std::find(reachable.begin(), reachable.end(), highlighted());
    auto following = current == reachable.end() ? reachable.begin() : std::next(current);
    if (following == reachable.end())
        following = reachable.begin();
    ++moves_;
    QWidget* choice = *following;
    moving_ = true;
    choice->setFocus(Qt::TabFocusReason);
    moving_ = false;
    dispatcher_.setKeyboardInUse(true);
    // Three whole rounds from where the scan started, then on to the first choice.
    const auto wholeRounds = qsizetype(switch_scan::kRoundsBeforeRest) * qsizetype(reachable.size());
    if (mode_ == settings::Scan::Auto && following == reachable.begin() && moves_ >= wholeRounds) {
        resting_ = true;
        timer_->stop();
    }
    announce(choice);
    moveAfterSilence();
}

void SwitchScan::choose() {
    dispatcher_.setKeyboardInUse(true);
    const std::vector<QWidget*> reachable = reachableChoices();
    QWidget* choice = highlighted();
    if (std::find(reachable.begin(), reachable.end(), choice) == reachable.end()) {
        // Nothing is highlighted yet: the scan starts at the first choice.
        next();
        return;
    }
    if (resting_) {
        // A child coming back does not know where the highlight rests.
        restart();
        announce(choice);
        return;
    }
    restart();
    keys_.press(choice);  // may unload the screen, and this scan with it
}

void SwitchScan::restart() {
    moves_ = 0;
    resting_ = false;
    moveAfterSilence();
}

void SwitchScan::moveAfterSilence() {
    if (!timer_ || resting_)
        return;
    timer_->stop();
    media::WhenSilent(this, [this] {
        // The scan may have been turned off or to steps meanwhile.
        if (timer_ && !resting_)
            timer_->start(dispatcher_.scanIntervalMs(), [this] { tick(); });
    });
}

void SwitchScan::tick() {
    if (!mayMove())
        return;
    // Something the choice set off is still being said (a question, praise).
    if (media::Speaking()) {
        moveAfterSilence();
        return;
    }
    next();
}

bool SwitchScan::mayMove() const {
    if (!window_ || !window_->isVisible())
        return false;
    const QWidget* modal = QApplication::activeModalWidget();
    return !modal || modal == window_;
}

void SwitchScan::focusMoved(QWidget* now) {
    if (moving_ || !now || !window_ || now->window() != window_)
        return;
    // Moved by the window itself (a new puzzle, a right answer): the scan goes
    // on from there, for whole rounds again.
    restart();
    announce(now);
}

void SwitchScan::announce(const QWidget* choice) const {
    const QString key = namer_ ? namer_(choice) : QString();
    // A button without a name of its own is told by its caption, less the
    // mark of its shortcut letter ("&Yes").
    const QString spoken = choice->property(kSpokenName).toString();
    const QString accessibleName = !spoken.isEmpty() ? spoken
                                   : !choice->accessibleName().isEmpty()
                                       ? choice->accessibleName()
                                       : choice->property("text").toString().remove(u'&');
    if (!key.isEmpty() || !accessibleName.isEmpty())
        dispatcher_.announce(key, accessibleName);
}

}  // namespace forms
