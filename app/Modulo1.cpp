#include "Modulo1.h"

#include "Kiosk.h"
#include "MessageBox.h"
#include "Process.h"
#include "modLanguageSupport.h"

#include <QString>

using namespace Qt::Literals::StringLiterals;

namespace Modulo1 {

namespace {

const QString kTitle = u"Metamorfine"_s;
const QString kLineBreak = u"\r\n"_s;
const QString kSeparator = QString(23, u'-');

// The program and its version, then who made it and how to reach them
// (there is no web address or e-mail to give), in the language's words.
QString CreditBlock() {
    QString credits = kTitle % u" ("_s % Versione() % u')' % kLineBreak % kSeparator;
    for (const QString& number : {u"9994"_s, u"9995"_s}) {
        const QString line = modLanguageSupport::MLSGetString(number);
        if (!line.isEmpty())
            credits += kLineBreak % line;
    }
    return credits;
}

}  // namespace

QString Versione() {
    const QString version = QStringLiteral(MF_VERSION);
    const QString words = modLanguageSupport::MLSGetString(u"9993"_s);
    return words.contains(u"%1"_s) ? words.arg(version) : version;
}

void MostraInformazioni() {
    QString about;
    for (const QString& number : {u"9996"_s, u"9997"_s, u"9998"_s, u"9999"_s}) {
        const QString line = modLanguageSupport::MLSGetString(number);
        if (!line.isEmpty())
            about += line % kLineBreak;
    }
    if (!about.isEmpty())
        about = kLineBreak % kSeparator % kLineBreak % about;
    forms::MsgBox(CreditBlock() % about, forms::MsgButtons::Ok, forms::MsgIcon::Information, kTitle);
}

void ConfermaUscita() {
    // A kiosk is left only by the parent's chord.
    if (app::KioskMode())
        return;
    const forms::MsgAnswer answer = forms::MsgBox(modLanguageSupport::MLSGetString(u"0003"_s), forms::MsgButtons::YesNo,
                                                  forms::MsgIcon::Question, kTitle);
    if (answer == forms::MsgAnswer::Yes)
        media::EndProgram();
}

}  // namespace Modulo1
