// The floor of our stack: a Qt Widgets window as large as the display that
// shows one line of text, as every screen of a program does (text is what
// makes Qt load its font database).
#include <QApplication>
#include <QLabel>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Metamorfine"));
    window.setAlignment(Qt::AlignCenter);
    window.setGeometry(QApplication::primaryScreen()->geometry());
    window.show();
    return QApplication::exec();
}
