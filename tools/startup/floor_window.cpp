// The floor of our stack: a Qt Widgets window as large as the display, with
// nothing in it.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setGeometry(QApplication::primaryScreen()->geometry());
    window.show();
    return QApplication::exec();
}
