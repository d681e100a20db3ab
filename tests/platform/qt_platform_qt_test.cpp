#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "board/main_window.h"
#include "platform/qt_platform.h"

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

TEST_F(QtPlatformTest, AKeyReadsDownFromItsPressToItsRelease) {
    struct Mapping {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        int virtualKey;
    };
    for (const Mapping m : {Mapping{Qt::Key_Left, {}, 37},
                            {Qt::Key_Up, {}, 38},
                            {Qt::Key_Right, {}, 39},
                            {Qt::Key_Down, {}, 40},
                            {Qt::Key_A, {}, 65},
                            {Qt::Key_D, Qt::ShiftModifier, 68},
                            {Qt::Key_S, {}, 83},
                            {Qt::Key_W, Qt::ShiftModifier, 87}}) {
        key(QEvent::KeyPress, m.qtKey, m.modifiers);
        EXPECT_TRUE(isDown(m.virtualKey)) << m.virtualKey;
        key(QEvent::KeyRelease, m.qtKey, m.modifiers);
        EXPECT_FALSE(isDown(m.virtualKey)) << m.virtualKey;
    }
}

TEST_F(QtPlatformTest, AutoRepeatChangesNoKey) {
    key(QEvent::KeyPress, Qt::Key_Left);
    key(QEvent::KeyRelease, Qt::Key_Left, {}, true);
    EXPECT_TRUE(isDown(37));
    key(QEvent::KeyRelease, Qt::Key_Left);
    key(QEvent::KeyPress, Qt::Key_Left, {}, true);
    EXPECT_FALSE(isDown(37));
}

TEST_F(QtPlatformTest, LosingTheFocusReleasesEveryKey) {
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

TEST_F(QtPlatformTest, ScreenFolderAndTimeOfDay) {
    const ScreenSize screen = platform.screenSize();
    const QSize pixels = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(screen.widthTwips, pixels.width() * 15.0F);
    EXPECT_EQ(screen.heightTwips, pixels.height() * 15.0F);
    EXPECT_EQ(screen.twipsPerPixelX, 15.0F);
    EXPECT_EQ(screen.twipsPerPixelY, 15.0F);

    const std::string folder = platform.programFolder();
    EXPECT_FALSE(folder.ends_with('/'));
    EXPECT_TRUE(QDir(QString::fromStdString(folder)).exists());

    const float now = platform.timeOfDay();
    EXPECT_GE(now, 0.0F);
    EXPECT_LT(now, 86400.0F);
}

TEST_F(QtPlatformTest, AMissingSoundFileIsNoError) {
    platform.PlaySoundA("/nonexistent/folder/eat.wav");
    platform.PlaySoundA("");
    QTest::qWait(20);
}

}  // namespace
}  // namespace orvex
