// Message boxes answered from the keyboard, their text shown as written,
// names kept whole, and the language of their buttons.

#include "FocusRing.h"
#include "InputDispatcher.h"
#include "MessageBox.h"
#include "WindowInput.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::Literals::StringLiterals;
using forms::MsgAnswer;
using forms::MsgButtons;
using forms::MsgIcon;

class TestMessageBox : public QObject {
    Q_OBJECT

    // What the last box showed: its name, title, icon, whether the default
    // button had the focus and whether a ring surrounded it.
    QString seenBox_;
    static QString describe(const QString& title, QMessageBox::Icon icon, bool ringShown) {
        return u"MsgBox|"_s % title % u"|icon "_s % QString::number(icon) % u"|default focused|ring "_s %
               (ringShown ? u"shown"_s : u"hidden"_s);
    }

    // Answers the next real message box by pressing `keys` on whatever has
    // the keyboard focus, once the box is shown and active, after noting what
    // it showed and letting `look` see it. Once a key has been used, a focus
    // ring surrounds the focused button.
    void pressOnNextBox(const QList<Qt::Key>& keys, const std::function<void(const QMessageBox&)>& look = {}) {
        seenBox_.clear();
        QTimer::singleShot(10, this, [=, this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || QApplication::activeWindow() != box || !QApplication::focusWidget())
                return pressOnNextBox(keys, look);  // not up yet: look again
            if (look)
                look(*box);
            QWidget* focused = QApplication::focusWidget();
            const auto* ring = box->findChild<QWidget*>(QString::fromLatin1(forms::kFocusRingName));
            const bool ringAround =
                ring && ring->isVisible() &&
                ring->geometry().contains(QRect(focused->mapTo(box, QPoint()), focused->size()).adjusted(-4, -4, 4, 4));
            seenBox_ = box->objectName() % u'|' % box->windowTitle() % u"|icon "_s % QString::number(box->icon()) %
                       (focused == box->defaultButton() ? u"|default focused"_s : u"|other focused"_s) % u"|ring "_s %
                       (ringAround ? u"shown"_s : u"hidden"_s);
            for (const Qt::Key key : keys)
                QTest::keyClick(QApplication::focusWidget(), key);
            if (box->isVisible())
                box->done(0);
        });
    }

private Q_SLOTS:
    void initTestCase() { QGuiApplication::setApplicationDisplayName(u"Metamorfine test"_s); }

    void realBoxIsFocusedAndAnsweredFromKeyboard() {
        // A screen of the program is active when a box comes; the box takes
        // the keyboard from it.
        QWidget screen;
        screen.setFocusPolicy(Qt::StrongFocus);
        new forms::WindowInput(&screen, forms::InputDispatcher::instance());
        screen.show();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        // A language file's text is shown as written, not as rich text: no
        // picture is loaded and no link can be clicked; the text and the icon
        // still grow with the box's letters.
        const QString message = u"<img src=\"/etc/x.png\"> <a href=\"file:///\">Uscire?</a>"_s;
        bool plain = false, sized = false;
        const auto look = [&](const QMessageBox& box) {
            const int letters = box.font().pixelSize();
            for (const QLabel* label : box.findChildren<QLabel*>()) {
                if (label->text() == message)
                    plain = label->textFormat() == Qt::PlainText && label->minimumWidth() > 0;
                else if (!label->pixmap().isNull())
                    sized = label->pixmap().height() == letters * 5 / 2;
            }
        };
        // No is the default: a stray Enter, like Escape, keeps things as they are; Yes takes a move to it.
        const struct {
            QList<Qt::Key> keys;
            MsgAnswer answer;
            bool ringShown;
        } rows[] = {{{Qt::Key_Return}, MsgAnswer::No, false},
                    {{Qt::Key_Escape}, MsgAnswer::No, true},
                    {{Qt::Key_Left, Qt::Key_Return}, MsgAnswer::Yes, true},
                    {{Qt::Key_Left, Qt::Key_Right, Qt::Key_Return}, MsgAnswer::No, true}};
        for (const auto& row : rows) {
            pressOnNextBox(row.keys, look);
            QCOMPARE(forms::MsgBox(message, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s), row.answer);
            QCOMPARE(seenBox_, describe(u"Metamorfine"_s, QMessageBox::Question, row.ringShown));
        }
        QVERIFY(plain);
        QVERIFY(sized);
        QTest::mouseClick(&screen, Qt::LeftButton);
        pressOnNextBox({Qt::Key_Return});
        QCOMPARE(forms::MsgBox(u"Gi\u00E0 aperto"_s, MsgButtons::Ok, MsgIcon::Critical), MsgAnswer::Ok);
        QCOMPARE(seenBox_, describe(u"Metamorfine test"_s, QMessageBox::Critical, false));
    }

    // A quoted name that fits a line keeps its words together; one wider than
    // a line, and the words outside quotes, may break; an apostrophe is no quote.
    void namesStayWholeWhenTheyFit() {
        const QFontMetrics metrics(QApplication::font());
        // The expected text, its no-break spaces written as '~'.
        const auto kept = [](QString text) { return text.replace(u'~', QChar::Nbsp); };
        const QString french = u"Veux-tu quitter l'exercice « Rien ne change » ?"_s;
        const int width = metrics.horizontalAdvance(u"« Rien ne change »"_s);
        QCOMPARE(forms::withNamesKeptWhole(french, metrics, width),
                 kept(u"Veux-tu quitter l'exercice «~Rien~ne~change~» ?"_s));
        QCOMPARE(forms::withNamesKeptWhole(french, metrics, width - 1), french);
        for (const QString& shown :
             {u"Leave the exercise 'Two~changes'?"_s, u"Die Übung »Zwei~Verwandlungen« verlassen?"_s,
              u"L'esercizio «Non~cambia» e «Due~metamorfine»"_s, u"l'exercice d'hier"_s})
            QCOMPARE(forms::withNamesKeptWhole(QString(shown).replace(u'~', u' '), metrics, 10000), kept(shown));
    }

    // A language Qt has no words for gives its own to the buttons; one it has
    // words for keeps Qt's, however the language is switched.
    void buttonsTakeTheLanguageFilesWordsWhereQtHasNone() {
        // The buttons' words once the dialogs speak the language of `locale`, with the file's `words`.
        const auto texts = [](const QString& locale, const forms::DialogWords& words = {}) {
            forms::installDialogTranslations(locale, words);
            QMessageBox box(QMessageBox::Question, u"t"_s, u"m"_s,
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
            return QStringList{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                               box.button(QMessageBox::Ok)->text()};
        };
        const forms::DialogWords greek{u"Ναι"_s, u"Όχι"_s, u"Εντάξει"_s};
        const QStringList greekTexts{greek.yes, greek.no, greek.ok};
        QCOMPARE(texts(u"el_GR"_s, greek), greekTexts);
        const QStringList german = texts(u"de_DE"_s, greek);
        QVERIFY2(german != greekTexts && german != QStringList({u"&Yes"_s, u"&No"_s, u"OK"_s}),
                 qPrintable(german.join(u' ')));
        QCOMPARE(texts(u"el_GR"_s, greek), greekTexts);
        QCOMPARE(texts(u"en_GB"_s), QStringList({u"&Yes"_s, u"&No"_s, u"OK"_s}));
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_message_box.moc"
