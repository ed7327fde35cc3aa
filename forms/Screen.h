#pragma once
// A screen (form) of the program. There is one instance per screen for the
// whole run. Loading creates its window and its controls afresh from the
// design and runs Form_Load; unloading destroys the window and the controls
// while the instance, and the variables of a subclass, remain.
//
// Show loads the screen if needed, makes it the program's active screen,
// running Form_Activate, and shows it: a window first shown is activated
// before it reaches the display, so that it appears once, at its final place
// and size. Activation happens only then: the program getting the focus back
// from another application does not activate again.
// Form_Resize runs whenever the client area changes size, whatever the cause.

#include "Control.h"
#include "Design.h"
#include "FontFitter.h"

#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QMenuBar;
class QWidget;

namespace forms {

class KeyboardPlay;
class SwitchScan;
class WindowInput;

enum class WindowState { Normal, Minimised, Maximised };

class Screen {
public:
    explicit Screen(ScreenDesign design);
    virtual ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    const QString& name() const { return name_; }
    const ScreenDesign& design() const { return design_; }

    bool isLoaded() const;
    void Load();  // does nothing when already loaded
    void Show();
    void Unload();  // does nothing when not loaded

    // The screens loaded at present, in the order they were loaded.
    static std::vector<Screen*> loadedScreens();

    // Properties of a loaded screen.
    QString caption() const;
    void setCaption(const QString& caption);
    // The title the window system shows: the caption while there is one,
    // else this title, at first the application's name.
    void setTitle(const QString& title);
    quint32 backColor() const;  // 0x00BBGGRR
    void setBackColor(quint32 bbggrr);
    // The whole window, in twips of the display.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    // The client area below the menu bar, in twips.
    double scaleWidth() const;
    double scaleHeight() const;
    WindowState windowState() const;
    // The display the window is on, in twips.
    double displayWidth() const;
    double displayHeight() const;
    // The window system's full-screen state: no frame, the whole display.
    // Whether the window system, not the program, places the windows and
    // sizes a full-screen one (Wayland).
    static bool compositorPlacesWindows();
    void setFullScreen(bool fullScreen);
    // The keys of the loaded window (KeyboardPlay.h); Enter and Space press
    // the focused control.
    KeyboardPlay& keys() const;
    // The switch scanning of the loaded window (SwitchScan.h), which says a
    // highlighted control by its full name ("Option1(2)").
    SwitchScan& scan() const;
    // Stops (false) and restarts (true) the drawing of the window. While it
    // is stopped, the fonts of the controls wait to follow their sizes.
    void setDrawingEnabled(bool enabled);

    // Every control, nested ones included, in designed order; elements added
    // at run time follow at the end.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // The control of that name (and index, for an element of a control array);
    // nullptr when the loaded screen has none.
    Control* find(const QString& name, int index = -1) const;
    Control& control(const QString& name, int index = -1) const;  // must exist
    Control* find(ControlName name, int index = -1) const { return find(QString::fromLatin1(name.text()), index); }
    Control& control(ControlName name, int index = -1) const {
        return control(QString::fromLatin1(name.text()), index);
    }
    // Creates element `index` of the control array `name` as a copy of its
    // element 0 and returns it (menu items of a menu, at run time).
    Control& loadElement(const QString& name, int index);
    // One handler for every element of a control array, told the index.
    void onArrayClick(ControlName name, const std::function<void(int index)>& handler);

    // Sets, in the current language, what the language file does not hold:
    // the words for assistive technology and texts made at run time; run
    // after every translation of the screen.
    virtual void afterTranslation() {}

    QWidget* window() const;  // nullptr while not loaded
    QWidget* client() const;  // the client area, parent of the screen's controls

protected:
    // Called by Load after the controls exist and before Form_Load, so that
    // the subclass connects its handlers (onClick, onArrayClick).
    virtual void ConnectEvents() {}
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    // Asked when the window system closes the window (Alt+F4, the frame's
    // button): false keeps it.
    virtual bool Form_QueryUnload() { return true; }

private:
    class Window;
    friend class Window;
    friend class Control;
    friend class ControlFactory;
    // Places the menu bar and the client area in the window, then runs
    // Form_Resize when the client area's size differs from the last one handled.
    void clientResized();
    QSize layoutWindow();  // returns the client size in pixels
    void windowClosed();
    QMenuBar* menuBar() const;  // nullptr when the design has no menu entries
    Control& createControl(const ControlDesign& design);
    void applyTabOrder();
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    const ScreenDesign design_;
    const QString name_;
    std::unique_ptr<Window> window_;
    WindowInput* input_ = nullptr;  // owned by the window
    FontFitter fonts_;              // before the controls, which report to it until they are gone
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::pair<QString, std::function<void(int index)>>> arrayClickHandlers_;
    QString caption_;
    QString title_;
    QRgb background_;
    int lastClientWidth_ = -1;  // pixels
    int lastClientHeight_ = -1;
};

}  // namespace forms
