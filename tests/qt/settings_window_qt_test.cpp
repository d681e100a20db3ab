#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <optional>
#include <tuple>
#include <utility>

#include "qt/label_font.h"
#include "qt/settings_window.h"

namespace orvex {
namespace {

template <typename Widget = QWidget>
Widget* Child(const Form2& form, const char* name) {
    auto* widget = form.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Each caption, and each bar's label at its bar's maximum, fits the window's bold font; a text too
// wide for the designed size gets the largest size at which it fits.
TEST(Form2, CaptionsFitAndShrinkOnlyAsFarAsTheyMust) {
    GameState state;
    const Form2 form{state, {}};
    const std::pair<const char*, const char*> widestTexts[] = {
        {"Label1_0", nullptr}, {"Label1_1", nullptr}, {"Label1_2", nullptr}, {"Label1_3", nullptr},
        {"capS", "1000"},      {"CapL", "10"},        {"CapF", "100"},       {"CapG", "10"}};
    for (const auto& [name, widest] : widestTexts) {
        const QLabel& label = *Child<QLabel>(form, name);
        const QString text = widest != nullptr ? widest : label.text();
        EXPECT_EQ(label.font().weight(), QFont::Bold) << name;
        EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(text), label.width()) << name;
    }

    QLabel& capS = *Child<QLabel>(form, "capS");
    const QFont chosen = ChooseLabelFont(PreferredLabelFamilies(), {{&capS, "1000000"}});
    QFont larger = chosen;
    larger.setPointSizeF(chosen.pointSizeF() + 0.25);
    EXPECT_TRUE(TextFits(chosen, capS, "1000000"));
    EXPECT_FALSE(TextFits(larger, capS, "1000000")) << chosen.pointSizeF();
}

TEST(Form2, HasAFixedFrameAndTabWalksBarsThenTheCheckedOptionThenTheStartButton) {
    GameState state;
    Form2 form{state, {}};
    // A dialog's frame: neither resized nor maximized, so the designed layout always shows whole.
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Child(form, "Speed"));
    const auto visits = [&](Qt::Key tab, const QStringList& expected) {
        for (const QString& name : expected) {
            QTest::keyClick(QApplication::focusWidget(), tab);
            EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), name.toStdString());
        }
    };
    visits(Qt::Key_Backtab, {"Command1", "Option1_0", "GR"});
    visits(Qt::Key_Tab, {"Option1_0", "Command1", "Speed", "Level", "Fdpts", "GR"});
    Child<QRadioButton>(form, "Option1_1")->setChecked(true);
    visits(Qt::Key_Tab, {"Option1_1", "Command1"});
    visits(Qt::Key_Backtab, {"Option1_1", "GR"});
}

// Left and Up lower a bar, Right and Down raise it; the label follows each change at once, and a
// dragged thumb's only when it is let go. Mouse clicks are played on a real display.
TEST(Form2, KeysAndDragsMoveBarsAndTheLabelFollows) {
    GameState state;
    const Form2 form{state, {}};
    const std::tuple<Qt::Key, int, int> presses[] = {
        {Qt::Key_Right, 5, 6}, {Qt::Key_Down, 5, 6},       {Qt::Key_Left, 5, 4},
        {Qt::Key_Up, 5, 4},    {Qt::Key_PageDown, 1, 101}, {Qt::Key_PageUp, 201, 101}};
    auto* speed = Child<QScrollBar>(form, "Speed");
    const QLabel* capS = Child<QLabel>(form, "capS");
    for (const auto& [key, from, to] : presses) {
        speed->setValue(from);
        QTest::keyClick(speed, key);
        EXPECT_EQ(speed->value(), to) << key;
        EXPECT_EQ(capS->text(), QString::number(to)) << key;
    }

    speed->setSliderDown(true);
    speed->setSliderPosition(500);
    EXPECT_EQ(capS->text(), "101") << "no change while the thumb is dragged";
    speed->setSliderDown(false);
    EXPECT_EQ(capS->text(), "500");
}

// Each case on a window of its own, as the program starts one game from it.
TEST(Form2, StartWritesTheFiveSettingsHidesTheWindowThenStartsTheGame) {
    using Settings = std::array<int, 5>;
    const std::pair<const char*, Settings> cases[] = {{"Option1_1", {1000, 10, 100, 10, 2}},
                                                      {"Option1_0", {250, 4, 37, 6, 1}}};
    const std::pair<const char*, const char*> bars[] = {
        {"Speed", "capS"}, {"Level", "CapL"}, {"Fdpts", "CapF"}, {"GR", "CapG"}};
    for (const auto& [option, written] : cases) {
        GameState state;
        std::optional<bool> visibleAtStart;
        Form2 form{state, [&](GameState&) { visibleAtStart = form.isVisible(); }};
        form.show();
        for (std::size_t i = 0; i < 4; ++i) {
            Child<QScrollBar>(form, bars[i].first)->setValue(written[i]);
            EXPECT_EQ(Child<QLabel>(form, bars[i].second)->text().toInt(), written[i]);
        }
        Child<QAbstractButton>(form, option)->click();
        Child<QAbstractButton>(form, "Command1")->click();
        EXPECT_EQ(visibleAtStart, false) << "started, the window hidden";
        EXPECT_EQ((Settings{state.SpeedSetting, state.LevelSetting, state.FoodCount,
                            state.GrowthRate, state.Players}),
                  written);
    }
}

}  // namespace
}  // namespace orvex
