#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace orvex {
namespace {

class QtPlatformTest : public ::testing::Test {
protected:
    GameState state;
    Form1 window{state};
    Platform& platform = window.platform();

    void key(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers = {},
             bool autoRepeat = false) {
        QKeyEvent event(type, qtKey, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(&window, &event);
    }
    bool isDown(int virtualKey) { return platform.GetAsyncKeyState(virtualKey) < 0; }
};

// Each steering key reads down under the code the game asks about, with or without Shift;
// auto-repeats change nothing, and losing the focus releases every key.
TEST_F(QtPlatformTest, AKeyReadsDownFromItsPressToItsRelease) {
    const struct {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        int virtualKey;
    } keys[] = {{Qt::Key_Left, {}, VK_LEFT},   {Qt::Key_Up, {}, VK_UP},
                {Qt::Key_Right, {}, VK_RIGHT}, {Qt::Key_Down, {}, VK_DOWN},
                {Qt::Key_A, {}, VK_A},         {Qt::Key_D, Qt::ShiftModifier, VK_D},
                {Qt::Key_S, {}, VK_S},         {Qt::Key_W, Qt::ShiftModifier, VK_W}};
    for (const auto& k : keys) {
        key(QEvent::KeyPress, k.qtKey, k.modifiers);
        EXPECT_TRUE(isDown(k.virtualKey)) << k.virtualKey;
        key(QEvent::KeyRelease, k.qtKey, k.modifiers);
        EXPECT_FALSE(isDown(k.virtualKey)) << k.virtualKey;
    }

    key(QEvent::KeyPress, Qt::Key_Left);
    key(QEvent::KeyRelease, Qt::Key_Left, {}, true);
    EXPECT_TRUE(isDown(37)) << "an auto-repeated release";
    key(QEvent::KeyRelease, Qt::Key_Left);
    key(QEvent::KeyPress, Qt::Key_Left, {}, true);
    EXPECT_FALSE(isDown(37)) << "an auto-repeated press";

    key(QEvent::KeyPress, Qt::Key_Up);
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(isDown(38));
    key(QEvent::KeyPress, Qt::Key_D);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(isDown(68));
}

TEST_F(QtPlatformTest, MessageBoxIsPlainTitledAndCopiesItsText) {
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "ORVEX");
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_TRUE(box->buttons().front()->icon().isNull());
        QGuiApplication::clipboard()->clear();
        box->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "Player 1 got 3 points!!");
        box->button(QMessageBox::Ok)->click();
    });
    platform.messageBox("Player 1 got 3 points!!");
}

// The screen's size and the missing sound file are played on a real display with the program.
TEST_F(QtPlatformTest, ProgramFolderAndTimeOfDay) {
    const std::string folder = platform.programFolder();
    EXPECT_FALSE(folder.ends_with('/'));
    EXPECT_TRUE(QDir(QString::fromStdString(folder)).exists());
    const float now = platform.timeOfDay();
    EXPECT_TRUE(now >= 0.0F && now < 86400.0F) << now;
}

}  // namespace
}  // namespace orvex
