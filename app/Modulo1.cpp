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

// Who made the program; there is no web address or e-mail to give.
const QString kCreditBlock = u"Metamorfine"_s % kLineBreak % kSeparator % kLineBreak % u"the Metamorfine developers"_s %
                             kLineBreak % u"No web address, no e-mail"_s;

}  // namespace

void MostraInformazioni() {
    QString about;
    for (const QString& number : {u"9996"_s, u"9997"_s, u"9998"_s, u"9999"_s}) {
        const QString line = modLanguageSupport::MLSGetString(number);
        if (!line.isEmpty())
            about += line % kLineBreak;
    }
    if (!about.isEmpty())
        about = kLineBreak % kSeparator % kLineBreak % about;
    platform::MsgBox(kCreditBlock % about, platform::MsgButtons::Ok, platform::MsgIcon::Information, kTitle);
}

void ConfermaUscita() {
    // A kiosk is left only by the parent's chord.
    if (app::KioskMode())
        return;
    const platform::MsgAnswer answer = platform::MsgBox(
        modLanguageSupport::MLSGetString(u"0003"_s), platform::MsgButtons::YesNo, platform::MsgIcon::Question, kTitle);
    if (answer == platform::MsgAnswer::Yes)
        platform::EndProgram();
}

}  // namespace Modulo1
