#pragma once
// Modal message boxes. Their buttons speak the language of Qt's own
// translations installed last: the system's at start-up, then the chosen
// language's. Their text is as large as the smallest text of the window
// they stand over, and never smaller than Qt's default.

#include <QFontMetrics>
#include <QString>
#include <functional>

namespace forms {

enum class MsgIcon { None, Critical, Question, Information };
// Yes and No: No is the default button, so that a stray Enter changes nothing.
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    QString message;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

// Shows the box and returns the button pressed. A null title gives the box
// the application's title.
MsgAnswer MsgBox(const QString& message, MsgButtons buttons, MsgIcon icon, const QString& title = QString());

// While a responder is set no dialog opens: every box is passed to it as it
// was asked for (a null title stays null) and its answer is returned. Tests
// answer message boxes this way; an empty function restores the real dialogs.
// A real box is a window whose object name is "MsgBox" and whose accessible
// name is its title, with the keyboard focus on its default button.
using MessageBoxResponder = std::function<MsgAnswer(const MessageBoxRequest&)>;
void setMessageBoxResponder(MessageBoxResponder responder);

// The message as the box shows it in lines of `width` pixels of `metrics`:
// a name in quotes ('…', «…», »…«, „…“, "…") that fits on one line has its
// blanks made non-breaking, so that the lines break between its words only
// when it cannot stand whole on one.
QString withNamesKeptWhole(const QString& message, const QFontMetrics& metrics, int width);

// Says every box, its message and then its buttons, as it opens; an empty
// function says nothing.
using MessageBoxVoice = std::function<void(const QString& spoken)>;
void setMessageBoxVoice(MessageBoxVoice voice);

// The words of a box's buttons, where Qt has none for a language.
struct DialogWords {
    QString yes;
    QString no;
    QString ok;
    bool operator==(const DialogWords&) const = default;
};

// Loads Qt's translations of its own dialogs for the system locale.
void installSystemTranslations();
// Loads them for `locale` ("it_IT", "de_DE"...) instead; for a locale that Qt
// has no words for, the buttons take `words` (each one given), else Qt's
// English, as they do for a locale with empty ones (English). The program's
// layout takes the locale's direction (right to left for Arabic). An empty
// locale changes nothing.
void installDialogTranslations(const QString& locale, const DialogWords& words = {});

}  // namespace forms
