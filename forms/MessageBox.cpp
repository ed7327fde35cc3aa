#include "MessageBox.h"

#include "FocusRing.h"
#include "InputDispatcher.h"
#include "Screen.h"
#include "Widgets.h"
#include "WindowInput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTranslator>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace forms {
namespace {

MessageBoxResponder& responder() {
    static MessageBoxResponder answer;
    return answer;
}

MessageBoxVoice& voice() {
    static MessageBoxVoice speaker;
    return speaker;
}

// The box as a child hears it: the message, then its buttons in the order
// the switch scans them, in the words Qt shows on them.
void sayBox(const QString& message, MsgButtons buttons) {
    if (!voice())
        return;
    const auto word = [](QMessageBox::StandardButton button) {
        QMessageBox box;
        return box.addButton(button)->text().remove(u'&');
    };
    const QString choices =
        buttons == MsgButtons::YesNo ? word(QMessageBox::No) % u". " % word(QMessageBox::Yes) : word(QMessageBox::Ok);
    voice()(message.trimmed() % u"\n"_s % choices % u'.');
}

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The style lists its message-box pictures in the order the box lists its icons.
QStyle::StandardPixmap standardPixmap(QMessageBox::Icon icon) {
    static_assert(QStyle::SP_MessageBoxQuestion - QStyle::SP_MessageBoxInformation ==
                  QMessageBox::Question - QMessageBox::Information);
    return QStyle::StandardPixmap(QStyle::SP_MessageBoxInformation + (icon - QMessageBox::Information));
}

QPointer<QTranslator>& installedTranslator() {
    static QPointer<QTranslator> installed;
    return installed;
}

// The buttons' words of a language Qt has no catalogue for, where Qt's
// platform theme asks for them.
class ButtonWords : public QTranslator {
public:
    ButtonWords(const DialogWords& words, QObject* parent) : QTranslator(parent), words_(words) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        if (qstrcmp(source, "&Yes") == 0)
            return words_.yes;
        if (qstrcmp(source, "&No") == 0)
            return words_.no;
        return qstrcmp(source, "OK") == 0 ? words_.ok : QString();
    }

private:
    DialogWords words_;
};

// Replaces the installed translation of Qt's own words (the buttons of a box)
// by the one of `locale`, else by `words`. A locale without either, or with
// an empty one (Qt's English), leaves none: Qt's words are English.
void installTranslator(const QLocale& locale, const DialogWords& words = {}) {
    std::unique_ptr<QTranslator> translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    bool loaded = translator->load(locale, u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded && !(words == DialogWords{})) {
        translator = std::make_unique<ButtonWords>(words, QCoreApplication::instance());
        loaded = true;
    }
    loaded = loaded && QCoreApplication::installTranslator(translator.get());
    delete installedTranslator();
    installedTranslator() = loaded ? translator.release() : nullptr;
}

// The smallest text of the window that the box stands over, in pixels.
int smallestTextPixels(const QWidget* window) {
    int smallest = QFontInfo(QApplication::font()).pixelSize();
    if (!window)
        return smallest;
    int found = 0;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() ||
            (!qobject_cast<const QLabel*>(widget) && !qobject_cast<const QAbstractButton*>(widget)))
            continue;
        const int pixels = QFontInfo(widget->font()).pixelSize();
        found = found ? std::min(found, pixels) : pixels;
    }
    return std::max(smallest, found);
}

}  // namespace

QString withNamesKeptWhole(const QString& message, const QFontMetrics& metrics, int width) {
    // An English quote opens after a blank, so that "l'exercice" opens none.
    static const QRegularExpression kQuotedName(u"«[^»]*»|»[^«]*«|„[^“]*“|\"[^\"]*\"|(?<=\\s)'[^']*'"_s);
    QString shown = message;
    for (const QRegularExpressionMatch& name : kQuotedName.globalMatch(message)) {
        if (metrics.horizontalAdvance(name.captured()) <= width)
            shown.replace(name.capturedStart(), name.capturedLength(), name.captured().replace(u' ', QChar::Nbsp));
    }
    return shown;
}

MsgAnswer MsgBox(const QString& message, MsgButtons buttons, MsgIcon icon, const QString& title) {
    sayBox(message, buttons);
    if (responder())
        return responder()(MessageBoxRequest{message, title, buttons, icon});

    const QString shownTitle = title.isNull() ? QGuiApplication::applicationDisplayName() : title;
    QMessageBox box(qtIcon(icon), shownTitle, message, QMessageBox::NoButton);
    box.setObjectName(u"MsgBox"_s);
    // A language file's text is shown as written: no pictures, no links.
    box.setTextFormat(Qt::PlainText);
    box.setAccessibleName(shownTitle);
    QFont font = box.font();
    const std::vector<Screen*> screens = Screen::loadedScreens();
    font.setPixelSize(smallestTextPixels(screens.empty() ? QApplication::activeWindow() : screens.back()->window()));
    box.setFont(font);
    // The icon grows with the text: two and a half lines high, as the style's
    // own icon stands beside its default text. The style's largest picture is
    // stretched where it has none that large. It goes into the box's own icon
    // label (the one that shows a picture), so that the box still says which
    // icon it shows.
    QLabel* iconLabel = nullptr;
    QLabel* textLabel = nullptr;
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull())
            iconLabel = label;
        else if (label->text() == message)
            textLabel = label;
    }
    if (icon != MsgIcon::None && iconLabel) {
        const int side = font.pixelSize() * 5 / 2;
        const QIcon styleIcon = box.style()->standardIcon(standardPixmap(box.icon()), nullptr, &box);
        iconLabel->setPixmap(
            styleIcon.pixmap(QSize(side, side)).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    // The box would wrap its text at a width meant for small text: a question
    // in large letters keeps its lines whole up to half the screen.
    if (textLabel && box.screen()) {
        const QFontMetrics metrics(font);
        int longestLine = 0;
        for (const QString& line : message.split(u'\n'))
            longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
        const int width = std::min(longestLine, box.screen()->geometry().width() / 2);
        textLabel->setMinimumWidth(width);
        textLabel->setText(withNamesKeptWhole(message, metrics, width));
        textLabel->setAccessibleName(message);  // read as written
    }
    QPushButton* yes = nullptr;
    QPushButton* defaultButton = nullptr;
    if (buttons == MsgButtons::YesNo) {
        yes = box.addButton(QMessageBox::Yes);
        defaultButton = box.addButton(QMessageBox::No);
        box.setEscapeButton(defaultButton);
    } else {
        defaultButton = box.addButton(QMessageBox::Ok);
    }
    box.setDefaultButton(defaultButton);
    auto* input = new WindowInput(&box, InputDispatcher::instance());
    // A switch scans the buttons from the default one: "No" before "Yes".
    input->scan().setChoices(yes ? std::vector<QWidget*>{defaultButton, yes} : std::vector<QWidget*>{defaultButton});
    // The arrows go from button to button. The focus ring stands outside the
    // button it surrounds: the box leaves it room at its edges and between the
    // buttons, and the buttons have room around their words for a child to hit.
    const QList<QAbstractButton*> boxButtons = box.buttons();
    input->keys().arrowsBetween({boxButtons.begin(), boxButtons.end()});
    const QScreen* display = box.screen();
    const int ring = FocusRing::ringWidth(display ? display->geometry().height() : 1080);
    box.layout()->setContentsMargins(2 * ring, 2 * ring, 2 * ring, 2 * ring);
    for (QAbstractButton* button : box.buttons()) {
        button->setStyle(captionBesidePictureStyle());
        button->setMinimumSize(button->sizeHint() + QSize(font.pixelSize(), font.pixelSize() / 2));
        if (QLayout* row = button->parentWidget()->layout())
            row->setSpacing(3 * ring);
    }
    // Under Xvfb there is no window manager to stack or activate windows: the
    // box raises and activates itself, and puts the focus on its default
    // button (a focused button takes Enter for itself).
    QTimer::singleShot(0, &box, [&box, defaultButton] {
        box.raise();
        box.activateWindow();
        defaultButton->setFocus(Qt::ActiveWindowFocusReason);
    });
    box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return box.clickedButton() == yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void setMessageBoxResponder(MessageBoxResponder answer) {
    responder() = std::move(answer);
}

void setMessageBoxVoice(MessageBoxVoice speaker) {
    voice() = std::move(speaker);
}

void installSystemTranslations() {
    if (QCoreApplication::instance() && !installedTranslator())
        installTranslator(QLocale::system());
}

void installDialogTranslations(const QString& locale, const DialogWords& words) {
    // Every screen applies its language as it loads: the file is read, and every
    // widget told of a new language, only when the language changes.
    static QString installedLocale;
    static DialogWords installedWords;
    if (locale.isEmpty() || (locale == installedLocale && words == installedWords) || !QCoreApplication::instance())
        return;
    installTranslator(QLocale(locale), words);
    // Every screen and box reads in the language's direction, whatever Qt's
    // catalogue says.
    QGuiApplication::setLayoutDirection(QLocale(locale).textDirection());
    installedLocale = locale;
    installedWords = words;
}

}  // namespace forms
