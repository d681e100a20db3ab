// The least a Qt Widgets program does to show a window like the settings window: one line of text,
// laid out before the window shows (which loads the font database), and the same title. Its
// start-up time is the floor under the game's, on the same machine and display.
//
// With --maximized it shows instead a bare widget, maximized like the game's main window, that
// paints one fill and then says "painted" on stdout: its peak memory is the floor under the game's.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cstdio>

namespace {

class Fill : public QWidget {
protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter(this).fillRect(rect(), Qt::darkGreen);
        if (!painted_) {
            painted_ = true;
            // Once this paint has reached the screen.
            QTimer::singleShot(0, [] {
                std::puts("painted");
                std::fflush(stdout);
            });
        }
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (QApplication::arguments().contains(QStringLiteral("--maximized"))) {
        Fill window;
        window.showMaximized();
        return QApplication::exec();
    }
    QLabel window(QStringLiteral("Speed: (1 = Insane)"));
    window.setWindowTitle(QStringLiteral("Set Values..."));
    window.adjustSize();
    window.resize(518, 308);
    window.show();
    return QApplication::exec();
}
