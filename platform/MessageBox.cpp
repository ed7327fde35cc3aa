#include "MessageBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

MessageBoxResponder& responder() {
    static MessageBoxResponder answer;
    return answer;
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

}  // namespace

MsgAnswer MsgBox(const QString& message, MsgButtons buttons, MsgIcon icon, const QString& title) {
    if (responder())
        return responder()(MessageBoxRequest{message, title, buttons, icon});

    const QString shownTitle = title.isNull() ? QGuiApplication::applicationDisplayName() : title;
    QMessageBox box(qtIcon(icon), shownTitle, message, QMessageBox::NoButton);
    box.setObjectName(u"MsgBox"_s);
    box.setAccessibleName(u"MsgBox"_s);
    box.setAccessibleDescription(message);
    QPushButton* yes = nullptr;
    QPushButton* defaultButton = nullptr;
    if (buttons == MsgButtons::YesNo) {
        yes = box.addButton(QMessageBox::Yes);
        box.setEscapeButton(box.addButton(QMessageBox::No));
        defaultButton = yes;
    } else {
        defaultButton = box.addButton(QMessageBox::Ok);
    }
    box.setDefaultButton(defaultButton);
    // Under Xvfb there is no window manager to stack or activate windows: the
    // box raises and activates itself, and puts the focus on its default
    // button (a focused No button would take Enter for itself).
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

void installSystemTranslations() {
    static QPointer<QTranslator> installed;
    if (installed || !QCoreApplication::instance())
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale::system(), u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        installed = translator;
    else
        delete translator;
}

}  // namespace platform
