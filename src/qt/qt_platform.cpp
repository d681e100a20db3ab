#include "qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpacerItem>
#include <QTime>
#include <cstdio>
#include <cstdlib>

#include <QWidget>

#include "core/board.h"
#include "qt/game_clock.h"

namespace orvex {

namespace {

constexpr float kTwipsPerPixel = 15;

QRect ToQRect(const PixelRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

QColor ToQColor(Rgb colour) {
    return {colour.red, colour.green, colour.blue};
}

// Qt copies a box's text with Ctrl+C only on Windows; players elsewhere expect it too.
void AddCopyShortcut(QMessageBox& box) {
    auto* copy = new QShortcut(QKeySequence::Copy, &box);
    QObject::connect(copy, &QShortcut::activated, &box,
                     [&box] { QGuiApplication::clipboard()->setText(box.text()); });
}

// Desktops centre a box's title between the title bar's buttons, but size the box by its contents
// alone: a box as narrow as a short score shows no title at all. So it keeps room for the title
// with up to three buttons, each two lines wide, at either end.
void KeepRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    const int buttons = 2 * 3 * 2 * title.height();
    const int width = title.horizontalAdvance(box.windowTitle()) + buttons;
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QtPlatform::QtPlatform(BoardView& view)
    : view_(view), sound_(QCoreApplication::applicationDirPath().toStdString() + "/eat.wav") {}

QtPlatform::~QtPlatform() = default;

std::int16_t QtPlatform::GetAsyncKeyState(int virtualKey) {
    return keys_.isDown(virtualKey) ? kKeyIsDown : std::int16_t{0};
}

void QtPlatform::PlaySoundA(const std::string& path) {
    // The game plays no sound but the one it made ready.
    if (path == sound_.file()) {
        sound_.play();
    }
}

void QtPlatform::BitBlt(const PixelRect& target, TileKind tile) {
    view_.fillCell(ToQRect(target), ToQColor(TileColour(tile)));
}

void QtPlatform::refresh(const PixelRect& changed) {
    view_.repaintPicture(ToQRect(changed));
}

void QtPlatform::refreshWindow() {
    view_.widget().repaint();
}

// The board is scaled to the screen its window is on, which need not be the primary one.
ScreenSize QtPlatform::screenSize() {
    const QScreen* screen = view_.widget().screen();
    const QSize pixels = screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
    return ScreenSize{
        .widthTwips = static_cast<float>(pixels.width()) * kTwipsPerPixel,
        .heightTwips = static_cast<float>(pixels.height()) * kTwipsPerPixel,
        .twipsPerPixelX = kTwipsPerPixel,
        .twipsPerPixelY = kTwipsPerPixel,
    };
}

std::string QtPlatform::programFolder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

float QtPlatform::timeOfDay() {
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0F;
}

void QtPlatform::seedRandom(float seed) {
    random_.seed(seed);
}

double QtPlatform::nextRandom() {
    return random_.next();
}

void QtPlatform::setTimerInterval(int milliseconds) {
    view_.Timer1().setInterval(milliseconds);
}

void QtPlatform::messageBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ORVEX"), QString::fromStdString(text),
                    QMessageBox::Ok, &view_.widget());
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    // Some styles put a theme icon on the OK button; the box is plain.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    AddCopyShortcut(box);
    KeepRoomForTitle(box);
    box.exec();
}

void QtPlatform::endProgram() {
    // At once, without the libraries' exit-time destructors: they would tear down the sound
    // server's connection under the feet of its own thread, which now and then aborts the process.
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace orvex
