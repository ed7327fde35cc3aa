#include "MessageBox.h"
#include "Modulo1.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    QApplication::setApplicationDisplayName(u"Metamorfine"_s);
    platform::installSystemTranslations();
    if (!Modulo1::Main())
        return 0;
    return QApplication::exec();
}
