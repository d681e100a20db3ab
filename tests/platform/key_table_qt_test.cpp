#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/key_table.h"

namespace orvex {
namespace {

class KeyTableTest : public ::testing::Test {
protected:
    void send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              bool autoRepeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(&target, &event);
    }
    KeyTable keys;
    QWidget target;
};

struct Mapping {
    int qtKey;
    int virtualKey;
};

TEST_F(KeyTableTest, APressHoldsTheKeyUntilItsRelease) {
    for (const Mapping m :
         {Mapping{Qt::Key_Left, 37}, Mapping{Qt::Key_Up, 38}, Mapping{Qt::Key_Right, 39},
          Mapping{Qt::Key_Down, 40}, Mapping{Qt::Key_A, 65}, Mapping{Qt::Key_D, 68},
          Mapping{Qt::Key_S, 83}, Mapping{Qt::Key_W, 87}}) {
        send(QEvent::KeyPress, m.qtKey);
        EXPECT_TRUE(keys.isDown(m.virtualKey)) << m.virtualKey;
        send(QEvent::KeyRelease, m.qtKey);
        EXPECT_FALSE(keys.isDown(m.virtualKey)) << m.virtualKey;
    }
}

TEST_F(KeyTableTest, ShiftedLettersCountAsTheirKey) {
    send(QEvent::KeyPress, Qt::Key_W, Qt::ShiftModifier);
    EXPECT_TRUE(keys.isDown(87));
}

TEST_F(KeyTableTest, AutoRepeatChangesNothing) {
    send(QEvent::KeyPress, Qt::Key_Left);
    send(QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, true);
    EXPECT_TRUE(keys.isDown(37));
    send(QEvent::KeyRelease, Qt::Key_Left);
    send(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, true);
    EXPECT_FALSE(keys.isDown(37));
}

TEST_F(KeyTableTest, LosingTheFocusReleasesEveryKey) {
    send(QEvent::KeyPress, Qt::Key_Up);
    Q_EMIT qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(keys.isDown(38));
    send(QEvent::KeyPress, Qt::Key_D);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(keys.isDown(68));
}

TEST_F(KeyTableTest, OtherKeysAreNeverDown) {
    send(QEvent::KeyPress, Qt::Key_Space);
    send(QEvent::KeyPress, Qt::Key_F1);
    for (const int code : {0, 32, -1, 255, 256, 100000}) {
        EXPECT_FALSE(keys.isDown(code)) << code;
    }
}

}  // namespace
}  // namespace orvex
