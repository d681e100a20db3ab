#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <utility>

#include "qt/label_font.h"
#include "qt/settings_window.h"

namespace orvex {
namespace {

class SettingsWindow : public ::testing::Test {
protected:
    template <typename Widget = QWidget>
    Widget* child(const QString& name) {
        auto* widget = form.findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QScrollBar* bar(const QString& name) { return child<QScrollBar>(name); }
    QString caption(const QString& name) { return child(name)->property("text").toString(); }
    void showActive() {
        form.show();
        form.activateWindow();
        QApplication::processEvents();
    }

    GameState state;
    int starts = 0;
    bool visibleAtStart = true;
    Form2 form{state, [this](GameState&) {
                   ++starts;
                   visibleAtStart = form.isVisible();
               }};
};

// One bold font for all labels, shrunk from the designed size only as far as needed for the widest
// text each label shows (its caption, or its bar's maximum) to fit; it fits even when no preferred
// family is installed.
TEST_F(SettingsWindow, LabelsShareABoldFontInWhichEveryCaptionFits) {
    QList<LabelText> labels;
    for (const char* name : {"Label1_0", "Label1_1", "Label1_2", "Label1_3"}) {
        labels.append({child<QLabel>(name), caption(name)});
    }
    for (const auto& [name, widest] :
         {std::pair{"capS", "1000"}, {"CapL", "10"}, {"CapF", "100"}, {"CapG", "10"}}) {
        labels.append({child<QLabel>(name), widest});
    }
    const QFont font = child("Label1_0")->font();
    EXPECT_TRUE(PreferredLabelFamilies().contains(font.family())) << font.family().toStdString();
    const QFont fallback = ChooseLabelFont({"No Such Family At All"}, labels);
    for (const QFont& chosen : {font, fallback}) {
        EXPECT_EQ(chosen.weight(), QFont::Bold);
        for (const LabelText& entry : labels) {
            SCOPED_TRACE(entry.label->objectName().toStdString());
            EXPECT_LE(QFontMetrics(chosen).horizontalAdvance(entry.widestText),
                      entry.label->width());
        }
    }
    for (const LabelText& entry : labels) {
        EXPECT_EQ(entry.label->font(), font);
    }
}

TEST_F(SettingsWindow, OpensInTheMiddleOfTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), 1);
}

TEST_F(SettingsWindow, TabWalksBarsThenTheCheckedOptionThenTheStartButton) {
    showActive();
    EXPECT_EQ(QApplication::focusWidget(), bar("Speed"));
    const auto visits = [&](Qt::Key tab, const QStringList& expected) {
        for (const QString& name : expected) {
            QTest::keyClick(QApplication::focusWidget(), tab);
            EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), name.toStdString());
        }
    };
    visits(Qt::Key_Backtab, {"Command1", "Option1_0", "GR"});
    visits(Qt::Key_Tab, {"Option1_0", "Command1", "Speed", "Level", "Fdpts", "GR"});
    child<QRadioButton>("Option1_1")->setChecked(true);
    visits(Qt::Key_Tab, {"Option1_1", "Command1"});
    visits(Qt::Key_Backtab, {"Option1_1", "GR"});
}

// Left and Up lower a bar, Right and Down raise it; the label follows each change at once, and a
// dragged thumb's only when it is let go. Mouse clicks are played on a real display.
TEST_F(SettingsWindow, KeysAndDragsMoveBarsAndTheLabelFollows) {
    const struct {
        Qt::Key key;
        int from;
        int to;
    } presses[] = {{Qt::Key_Right, 5, 6},         {Qt::Key_Down, 5, 6},
                   {Qt::Key_Left, 5, 4},          {Qt::Key_Up, 5, 4},
                   {Qt::Key_PageDown, 1, 101},    {Qt::Key_PageUp, 201, 101},
                   {Qt::Key_PageDown, 950, 1000}, {Qt::Key_Left, 1, 1}};
    QScrollBar* speed = bar("Speed");
    for (const auto& press : presses) {
        SCOPED_TRACE(press.key);
        speed->setValue(press.from);
        QTest::keyClick(speed, press.key);
        EXPECT_EQ(speed->value(), press.to);
        EXPECT_EQ(caption("capS"), QString::number(press.to));
    }

    speed->setSliderDown(true);
    speed->setSliderPosition(500);
    EXPECT_EQ(caption("capS"), "1") << "no change while the thumb is dragged";
    speed->setSliderDown(false);
    EXPECT_EQ(caption("capS"), "500");
}

// All cases run on one window: the first starts it as it opens, the last switches back from
// "2 Player" to "1 Player".
TEST_F(SettingsWindow, StartWritesTheFiveSettingsHidesTheWindowThenStartsTheGame) {
    const struct {
        const char* option;          // clicked before the start, if any
        std::array<int, 5> written;  // speed, level, food points, growth rate, players
    } cases[] = {{nullptr, {1, 1, 1, 1, 1}},
                 {"Option1_1", {1000, 10, 100, 10, 2}},
                 {"Option1_0", {250, 4, 37, 6, 1}}};
    const std::pair<const char*, const char*> bars[] = {
        {"Speed", "capS"}, {"Level", "CapL"}, {"Fdpts", "CapF"}, {"GR", "CapG"}};
    for (const auto& setting : cases) {
        SCOPED_TRACE(setting.written[0]);
        state = GameState{};
        showActive();
        if (setting.option != nullptr) {
            for (std::size_t i = 0; i < 4; ++i) {
                bar(bars[i].first)->setValue(setting.written[i]);
                EXPECT_EQ(caption(bars[i].second).toInt(), setting.written[i]);
            }
            child<QAbstractButton>(setting.option)->click();
        }
        EXPECT_EQ(child<QAbstractButton>("Option1_0")->isChecked(), setting.written[4] == 1);
        EXPECT_EQ(child<QAbstractButton>("Option1_1")->isChecked(), setting.written[4] == 2);
        const int startsBefore = starts;
        child<QAbstractButton>("Command1")->click();
        EXPECT_EQ(starts, startsBefore + 1);
        EXPECT_FALSE(visibleAtStart);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ((std::array<int, 5>{state.SpeedSetting, state.LevelSetting, state.FoodCount,
                                      state.GrowthRate, state.Players}),
                  setting.written);
    }
}

}  // namespace
}  // namespace orvex
