// The least a Qt Widgets program does to show a window titled like the settings window: its
// start-up time is the floor under the game's own, on the same machine and display.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Set Values..."));
    window.resize(518, 308);
    window.show();
    return QApplication::exec();
}
