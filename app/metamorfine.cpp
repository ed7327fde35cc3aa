#include "MessageBox.h"
#include "Modulo1.h"
#include "ScreenFrame.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    // No display name: the window titles are the program's own ("Metamorfine",
    // "Metamorfine — <exercise>"), and untitled boxes fall back to the name.
    QCommandLineParser options;
    const QCommandLineOption windowed(u"windowed"_s, u"Start in a window instead of full screen."_s);
    options.addOption(windowed);
    options.addHelpOption();
    options.process(application);
    app::ChooseWindowed(options.isSet(windowed));
    platform::installSystemTranslations();
    if (!Modulo1::Main())
        return 0;
    return QApplication::exec();
}
