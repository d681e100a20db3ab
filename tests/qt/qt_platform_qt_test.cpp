#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <tuple>

#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace orvex {
namespace {

class QtPlatformTest : public ::testing::Test {
protected:
    void key(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers = {},
             bool autoRepeat = false, quint32 scanCode = 0) {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, QString(), autoRepeat);
        QCoreApplication::sendEvent(&window, &event);
    }
    bool isDown(int virtualKey) { return platform.GetAsyncKeyState(virtualKey) < 0; }

    GameState state;
    WindowWithPlatform<QtPlatform> window{state};
    Platform& platform = window.platform();
};

// Each steering key reads down under the code the game asks about, with or without Shift;
// auto-repeats change nothing, and losing the focus releases every key. A key with a Latin letter
// counts by its letter, any other by its place (its xkb key code; W's place is 25).
TEST_F(QtPlatformTest, AKeyReadsDownFromItsPressToItsRelease) {
    const std::tuple<int, quint32, int> rows[] = {
        {Qt::Key_Left, 0, VK_LEFT}, {Qt::Key_Up, 0, VK_UP}, {Qt::Key_Right, 0, VK_RIGHT},
        {Qt::Key_Down, 0, VK_DOWN}, {Qt::Key_A, 0, VK_A},   {Qt::Key_W, 0, VK_W},
        {u'Ц', 25, VK_W},           {Qt::Key_Z, 25, 'Z'}};
    for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        for (const auto& [qtKey, scanCode, virtualKey] : rows) {
            key(QEvent::KeyPress, qtKey, modifiers, false, scanCode);
            key(QEvent::KeyRelease, qtKey, modifiers, true, scanCode);
            EXPECT_TRUE(isDown(virtualKey)) << virtualKey << " pressed, then a repeated release";
            key(QEvent::KeyRelease, qtKey, modifiers, false, scanCode);
            key(QEvent::KeyPress, qtKey, modifiers, true, scanCode);
            EXPECT_FALSE(isDown(virtualKey)) << virtualKey << " released, then a repeated press";
        }
    }

    key(QEvent::KeyPress, Qt::Key_Up);
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(isDown(VK_UP));
    key(QEvent::KeyPress, Qt::Key_D);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(isDown(VK_D));
    // The X server's own focus-out event comes at once, where Qt reports the focus loss late.
    key(QEvent::KeyPress, Qt::Key_S);
    std::uint8_t focusOut[32] = {10};
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", focusOut,
                                                            &result);
    EXPECT_FALSE(isDown(VK_S));
}

// A box as narrow as a bare score still leaves its title room between a title bar's buttons.
TEST_F(QtPlatformTest, MessageBoxIsPlainTitledOverTheWindowAndCopiesItsText) {
    QTimer::singleShot(0, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "ORVEX");
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
        EXPECT_GE(box->width(), 3 * title.horizontalAdvance("ORVEX"));
        box->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "3");
        box->button(QMessageBox::Ok)->click();
    });
    platform.messageBox("3");
}

}  // namespace
}  // namespace orvex
