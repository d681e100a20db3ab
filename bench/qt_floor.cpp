// The least a Qt Widgets program does to show a window like the settings window: one line of text,
// laid out before the window shows (which loads the font database), and the same title. Its
// start-up time is the floor under the game's, on the same machine and display.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Speed: (1 = Insane)"));
    window.setWindowTitle(QStringLiteral("Set Values..."));
    window.adjustSize();
    window.resize(518, 308);
    window.show();
    return QApplication::exec();
}
