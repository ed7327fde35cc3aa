#include "app/Modulo1.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    QApplication::setApplicationDisplayName(u"Metamorfine"_s);
    platform::installSystemTranslations();
    if (!Modulo1::Main())
        return 0;
    const int status = QApplication::exec();
    // The screens outlive the application object; their windows must not.
    for (platform::Screen* screen : platform::Screen::loadedScreens())
        screen->Unload();
    return status;
}
