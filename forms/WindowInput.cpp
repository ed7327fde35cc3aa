#include "WindowInput.h"

#include "InputDispatcher.h"

#include <QWidget>

namespace forms {

WindowInput::WindowInput(QWidget* window, InputDispatcher& dispatcher, SwitchScan::Namer namer)
    : QObject(window),
      dispatcher_(&dispatcher),
      keys_(window),
      ring_(window, [this] { return dispatcher_ && dispatcher_->keyboardInUse(); }),
      scan_(window, keys_, dispatcher, std::move(namer)) {
    connect(&dispatcher, &InputDispatcher::keyboardInUseChanged, &ring_, &FocusRing::update);
    dispatcher.add(*this);
}

WindowInput::~WindowInput() {
    if (dispatcher_)
        dispatcher_->remove(*this);
}

}  // namespace forms
