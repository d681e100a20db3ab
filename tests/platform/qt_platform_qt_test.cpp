#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
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
    QtPlatform& platform = static_cast<QtPlatform&>(window.platform());
};

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    bool buttonHasIcon = true;
    Qt::WindowModality modality = Qt::NonModal;
    QString copied;
};

// Looks at the box once it is up, presses Ctrl+C on it, then OK.
void InspectNextBox(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                int(box->buttons().size()),
                !box->buttons().front()->icon().isNull(),
                box->windowModality(),
                {}};
        QGuiApplication::clipboard()->clear();
        box->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        seen.copied = QGuiApplication::clipboard()->text();
        box->button(QMessageBox::Ok)->click();
    });
}

TEST_F(QtPlatformTest, MessageBoxIsPlainTitledAndCopiesItsText) {
    SeenBox seen;
    InspectNextBox(seen);
    platform.messageBox("Player 1 got 3 points!!");
    EXPECT_EQ(seen.title, "ORVEX");
    EXPECT_EQ(seen.text, "Player 1 got 3 points!!");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_FALSE(seen.buttonHasIcon);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(seen.copied, "Player 1 got 3 points!!");
}

TEST_F(QtPlatformTest, KeysComeFromTheKeyTableAsNegativeWhileDown) {
    QTest::keyPress(&window, Qt::Key_Down);
    EXPECT_LT(platform.GetAsyncKeyState(40), 0);
    QTest::keyRelease(&window, Qt::Key_Down);
    EXPECT_EQ(platform.GetAsyncKeyState(40), 0);
}

TEST_F(QtPlatformTest, ScreenFolderAndTimeAreReportedAsTheGameExpects) {
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

TEST_F(QtPlatformTest, OneSeedGivesOneSequenceOfDrawsBelowOne) {
    platform.seedRandom(1234.5F);
    const double first = platform.nextRandom();
    platform.seedRandom(1234.5F);
    EXPECT_EQ(platform.nextRandom(), first);
    for (int i = 0; i < 100; ++i) {
        const double r = platform.nextRandom();
        EXPECT_TRUE(r >= 0.0 && r < 1.0) << r;
    }
}

TEST_F(QtPlatformTest, TheTimerIntervalSetsTheWindowsClock) {
    platform.setTimerInterval(40);
    EXPECT_EQ(window.Timer1().interval(), 40);
    platform.setTimerInterval(0);
    EXPECT_FALSE(window.Timer1().isRunning());
}

TEST_F(QtPlatformTest, AMissingSoundIsSilentAndReturnsAtOnce) {
    platform.PlaySoundA("/nonexistent/folder/eat.wav");
    platform.PlaySoundA("");
    QTest::qWait(20);
    SUCCEED();
}

}  // namespace
}  // namespace orvex
