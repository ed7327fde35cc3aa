#include "Screen.h"

#include "Accessibility.h"
#include "Colour.h"
#include "InputDispatcher.h"
#include "SvgDrawing.h"
#include "Twips.h"
#include "WindowInput.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace forms {

namespace {

// Never destroyed: a screen still loaded when the program ends (one kept
// statically, such as the start screen of a copy refused at start) leaves the
// list at its own destruction, which may come after the list's.
std::vector<Screen*>& loadedList() {
    static auto* screens = new std::vector<Screen*>;
    return *screens;
}

// The screen that Show made the program's active one.
Screen* activeScreen = nullptr;

}  // namespace

// The top-level window: the menu bar at the top, the client area below it,
// both placed by hand so that their sizes do not depend on a window manager.
class Screen::Window : public QWidget {
public:
    explicit Window(Screen& screen) : screen_(&screen), client_(new QWidget(this)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    // Once detached the window reports nothing to its screen any more.
    void detach() { screen_ = nullptr; }

    QWidget* client() const { return client_; }
    QMenuBar* menuBar = nullptr;
    QRgb background = 0;
    // The icon is drawn once the window has shown its first picture: nobody
    // sees it sooner, and that picture does not wait for it.
    const char* iconAfterFirstPaint = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (screen_)
            screen_->clientResized();
    }
    void closeEvent(QCloseEvent* event) override {
        // The screen may keep its window, or leave it its own way while asked.
        if (screen_ && !screen_->Form_QueryUnload()) {
            event->ignore();
            return;
        }
        event->accept();
        if (screen_)
            screen_->windowClosed();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor::fromRgb(background));
        if (const char* icon = std::exchange(iconAfterFirstPaint, nullptr))
            QTimer::singleShot(0, this, [this, icon] { setWindowIcon(iconFromResource(icon)); });
    }

private:
    Screen* screen_;
    QWidget* client_;
};

Screen::Screen(ScreenDesign design)
    : design_(std::move(design)),
      name_(QString::fromUtf8(design_.name)),
      fonts_(*this),
      caption_(QString::fromUtf8(design_.caption)),
      background_(design_.background) {}

Screen::~Screen() {
    if (!window_)
        return;
    std::erase(loadedList(), this);
    if (activeScreen == this)
        activeScreen = nullptr;
    window_->detach();
    controls_.clear();
    // Widgets cannot be destroyed once the application object is gone; the
    // process is ending then anyway.
    if (!QCoreApplication::instance())
        (void)window_.release();
}

bool Screen::isLoaded() const {
    return window_ != nullptr;
}

void Screen::Load() {
    if (window_)
        return;
    fonts_.screenLoaded();
    caption_ = QString::fromUtf8(design_.caption);
    title_ = QCoreApplication::applicationName();
    background_ = design_.background;

    window_ = std::make_unique<Window>(*this);
    installAccessibleRoles();
    window_->setObjectName(name_);
    window_->setWindowTitle(caption_.isEmpty() ? title_ : caption_);
    window_->background = background_;
    window_->client()->setObjectName(name_ + u".client");
    window_->iconAfterFirstPaint = design_.icon;
    if (std::any_of(design_.controls.begin(), design_.controls.end(),
                    [](const ControlDesign& control) { return isMenuEntry(control.kind); })) {
        window_->menuBar = new QMenuBar(window_.get());
        window_->menuBar->setNativeMenuBar(false);
    }
    loadedList().push_back(this);
    input_ = new WindowInput(window_.get(), InputDispatcher::instance(), [this](const QWidget* choice) {
        for (const auto& control : controls_)
            if (control->widget() == choice)
                return control->fullName();
        return QString();
    });

    for (const ControlDesign& control : design_.controls)
        createControl(control);
    applyTabOrder();

    // The designed client size, before any handler runs: it is not a resize.
    const int clientWidth = qRound(design_.clientWidth / twipsPerPixelX());
    const int clientHeight = qRound(design_.clientHeight / twipsPerPixelY());
    window_->resize(clientWidth, clientHeight);
    layoutWindow();
    window_->resize(clientWidth, clientHeight + window_->height() - window_->client()->height());
    const QSize client = layoutWindow();
    lastClientWidth_ = client.width();
    lastClientHeight_ = client.height();

    ConnectEvents();
    Form_Load();
}

void Screen::Show() {
    Load();
    if (!window_)
        return;
    const bool firstShown = !window_->isVisible();
    const auto activate = [this] {
        if (activeScreen != this) {
            activeScreen = this;
            Form_Activate();
        }
    };
    if (firstShown)
        activate();
    if (!window_)  // the activation unloaded the screen
        return;
    window_->show();
    fonts_.windowShown();
    window_->activateWindow();
    if (!firstShown)
        activate();
    fonts_.showFinished();
}

void Screen::Unload() {
    if (!window_)
        return;
    std::erase(loadedList(), this);
    if (activeScreen == this)
        activeScreen = nullptr;
    // A handler of this very window may be running: the window goes once the
    // event loop is back, but from now on it reports nothing and holds no control.
    Window* window = window_.release();
    input_ = nullptr;
    window->detach();
    window->setObjectName(QString());
    window->setAccessibleName(QString());
    window->hide();
    fonts_.screenHidden();
    controls_.clear();
    arrayClickHandlers_.clear();
    lastClientWidth_ = -1;
    lastClientHeight_ = -1;
    window->deleteLater();
}

KeyboardPlay& Screen::keys() const {
    return input_->keys();
}

SwitchScan& Screen::scan() const {
    return input_->scan();
}

std::vector<Screen*> Screen::loadedScreens() {
    return loadedList();
}

QString Screen::caption() const {
    return caption_;
}

void Screen::setCaption(const QString& caption) {
    caption_ = caption;
    if (window_)
        window_->setWindowTitle(caption.isEmpty() ? title_ : caption);
}

void Screen::setTitle(const QString& title) {
    title_ = title;
    setCaption(caption_);
}

bool Screen::compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QStringView(u"wayland"));
}

void Screen::setFullScreen(bool fullScreen) {
    if (!window_)
        return;
    // What a window manager gives a full-screen window, for X displays without
    // one. It comes first: a window manager takes a new geometry of a
    // full-screen window as the end of its full-screen state. A Wayland
    // compositor sizes a full-screen window itself, and gives it back the
    // size it had before when it leaves that state: it keeps its own.
    if (fullScreen && window_->screen() && !compositorPlacesWindows())
        window_->setGeometry(window_->screen()->geometry());
    const Qt::WindowStates state = window_->windowState();
    window_->setWindowState(fullScreen ? state | Qt::WindowFullScreen : state & ~Qt::WindowFullScreen);
    clientResized();
}

quint32 Screen::backColor() const {
    return bgrFromRgb(background_);
}

void Screen::setBackColor(quint32 bbggrr) {
    background_ = rgbFromBgr(bbggrr);
    if (window_) {
        window_->background = background_;
        window_->update();
    }
}

double Screen::twipsPerPixelX() const {
    return forms::twipsPerPixelX(window_.get());
}

double Screen::twipsPerPixelY() const {
    return forms::twipsPerPixelY(window_.get());
}

double Screen::left() const {
    return window_ ? window_->frameGeometry().x() * twipsPerPixelX() : 0;
}

double Screen::top() const {
    return window_ ? window_->frameGeometry().y() * twipsPerPixelY() : 0;
}

double Screen::width() const {
    return window_ ? window_->frameGeometry().width() * twipsPerPixelX() : 0;
}

double Screen::height() const {
    return window_ ? window_->frameGeometry().height() * twipsPerPixelY() : 0;
}

void Screen::setLeft(double twips) {
    if (window_)
        window_->move(qRound(twips / twipsPerPixelX()), window_->frameGeometry().y());
}

void Screen::setTop(double twips) {
    if (window_)
        window_->move(window_->frameGeometry().x(), qRound(twips / twipsPerPixelY()));
}

void Screen::setWidth(double twips) {
    if (!window_)
        return;
    const int frame = window_->frameGeometry().width() - window_->width();
    window_->resize(std::max(qRound(twips / twipsPerPixelX()) - frame, 1), window_->height());
    clientResized();
}

void Screen::setHeight(double twips) {
    if (!window_)
        return;
    const int frame = window_->frameGeometry().height() - window_->height();
    window_->resize(window_->width(), std::max(qRound(twips / twipsPerPixelY()) - frame, 1));
    clientResized();
}

double Screen::scaleWidth() const {
    return window_ ? window_->client()->width() * twipsPerPixelX() : 0;
}

double Screen::scaleHeight() const {
    return window_ ? window_->client()->height() * twipsPerPixelY() : 0;
}

WindowState Screen::windowState() const {
    if (!window_)
        return WindowState::Normal;
    const Qt::WindowStates state = window_->windowState();
    if (state & Qt::WindowMinimized)
        return WindowState::Minimised;
    if (state & Qt::WindowMaximized)
        return WindowState::Maximised;
    return WindowState::Normal;
}

double Screen::displayWidth() const {
    const QScreen* screen = window_ ? window_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixelX() : 0;
}

double Screen::displayHeight() const {
    const QScreen* screen = window_ ? window_->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * twipsPerPixelY() : 0;
}

void Screen::setDrawingEnabled(bool enabled) {
    if (enabled)
        fonts_.drawingRestarted();
    else
        fonts_.drawingStopped();
    if (window_)
        window_->setUpdatesEnabled(enabled);
}

Control* Screen::find(const QString& name, int index) const {
    for (const auto& control : controls_) {
        if (control->index_ == index && control->name_.compare(name, Qt::CaseInsensitive) == 0)
            return control.get();
    }
    return nullptr;
}

Control& Screen::control(const QString& name, int index) const {
    Control* found = find(name, index);
    if (!found)
        qFatal("Screen %s has no control %s(%d)", qUtf8Printable(name_), qUtf8Printable(name), index);
    return *found;
}

Control& Screen::loadElement(const QString& name, int index) {
    if (Control* existing = find(name, index))
        return *existing;
    const Control& first = control(name, 0);
    ControlDesign design = first.design();
    design.index = index;
    Control& element = createControl(design);
    for (const auto& [arrayName, handler] : arrayClickHandlers_) {
        if (arrayName.compare(name, Qt::CaseInsensitive) == 0)
            element.onClick([handler = handler, index] { handler(index); });
    }
    applyTabOrder();
    if (element.action())
        clientResized();  // the menu bar may have grown a row
    return element;
}

void Screen::onArrayClick(ControlName arrayName, const std::function<void(int index)>& handler) {
    const QString name = QString::fromLatin1(arrayName.text());
    arrayClickHandlers_.emplace_back(name, handler);
    for (const auto& control : controls_) {
        if (control->index_ >= 0 && control->name_.compare(name, Qt::CaseInsensitive) == 0)
            control->onClick([handler, index = control->index_] { handler(index); });
    }
}

QWidget* Screen::window() const {
    return window_.get();
}

QWidget* Screen::client() const {
    return window_ ? window_->client() : nullptr;
}

QMenuBar* Screen::menuBar() const {
    return window_ ? window_->menuBar : nullptr;
}

Control& Screen::createControl(const ControlDesign& design) {
    controls_.push_back(std::make_unique<Control>(*this, design, design.index));
    return *controls_.back();
}

void Screen::applyTabOrder() {
    std::vector<Control*> inOrder;
    for (const auto& control : controls_) {
        if (!control->widget())
            continue;
        if (control->design().tabIndex < 0)
            control->widget()->setFocusPolicy(Qt::NoFocus);
        else
            inOrder.push_back(control.get());
    }
    std::stable_sort(inOrder.begin(), inOrder.end(),
                     [](const Control* a, const Control* b) { return a->design().tabIndex < b->design().tabIndex; });
    for (std::size_t i = 1; i < inOrder.size(); ++i)
        QWidget::setTabOrder(inOrder[i - 1]->widget(), inOrder[i]->widget());
}

QSize Screen::layoutWindow() {
    const int width = window_->width();
    int menuHeight = 0;
    if (QMenuBar* bar = window_->menuBar) {
        bar->ensurePolished();  // its height depends on the style's font and margins
        menuHeight = std::max(bar->heightForWidth(width), 0);
        bar->setGeometry(0, 0, width, menuHeight);
    }
    const QSize client(width, std::max(window_->height() - menuHeight, 0));
    window_->client()->setGeometry(QRect(QPoint(0, menuHeight), client));
    return client;
}

void Screen::clientResized() {
    if (!window_)
        return;
    const QSize client = layoutWindow();
    if (client.width() == lastClientWidth_ && client.height() == lastClientHeight_)
        return;
    lastClientWidth_ = client.width();
    lastClientHeight_ = client.height();
    Form_Resize();
}

void Screen::windowClosed() {
    Unload();
    if (loadedList().empty())
        QCoreApplication::quit();
}

}  // namespace forms
