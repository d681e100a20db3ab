#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

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
    QString caption(const QString& name) { return child(name)->property("text").toString(); }

    GameState state;
    std::vector<bool> visibleAtStarts;
    Form2 form{state, [this](GameState&) { visibleAtStarts.push_back(form.isVisible()); }};
};

// The font chosen when no preferred family is installed must fit too.
TEST_F(SettingsWindow, LabelsShareABoldFontInWhichEveryCaptionFits) {
    const QFont font = child("Label1_0")->font();
    EXPECT_TRUE(PreferredLabelFamilies().contains(font.family())) << font.family().toStdString();
    // The widest text of each label: its caption (left empty here), or its bar's maximum.
    const std::pair<const char*, const char*> widestTexts[] = {
        {"Label1_0", ""}, {"Label1_1", ""}, {"Label1_2", ""}, {"Label1_3", ""},
        {"capS", "1000"}, {"CapL", "10"},   {"CapF", "100"},  {"CapG", "10"}};
    QList<LabelText> labels;
    for (const auto& [name, widest] : widestTexts) {
        labels.append({child<QLabel>(name), *widest != '\0' ? widest : caption(name)});
        EXPECT_EQ(child(name)->font(), font) << name;
    }
    const QFont fallback = ChooseLabelFont({"No Such Family At All"}, labels);
    for (const QFont& chosen : {font, fallback}) {
        EXPECT_EQ(chosen.weight(), QFont::Bold);
        for (const auto& [label, widest] : labels) {
            EXPECT_LE(QFontMetrics(chosen).horizontalAdvance(widest), label->width())
                << label->objectName().toStdString();
        }
    }
}

// A caption too wide for the designed size gets the largest size at which it fits.
TEST_F(SettingsWindow, ShrinksACaptionOnlyAsFarAsItMustToFit) {
    const QList<LabelText> wide = {{child<QLabel>("capS"), "1000000"}};
    const QFont chosen = ChooseLabelFont(PreferredLabelFamilies(), wide);
    QFont larger = chosen;
    larger.setPointSizeF(chosen.pointSizeF() + 0.25);
    EXPECT_TRUE(TextFits(chosen, *wide[0].label, wide[0].widestText));
    EXPECT_FALSE(TextFits(larger, *wide[0].label, wide[0].widestText)) << chosen.pointSizeF();
}

// A dialog-like frame: neither resized nor maximized, so the designed layout always shows whole.
TEST_F(SettingsWindow, OpensInTheMiddleOfTheScreenAtAFixedSize) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(SettingsWindow, TabWalksBarsThenTheCheckedOptionThenTheStartButton) {
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), child("Speed"));
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
    const std::tuple<Qt::Key, int, int> presses[] = {
        {Qt::Key_Right, 5, 6},         {Qt::Key_Down, 5, 6},
        {Qt::Key_Left, 5, 4},          {Qt::Key_Up, 5, 4},
        {Qt::Key_PageDown, 1, 101},    {Qt::Key_PageUp, 201, 101},
        {Qt::Key_PageDown, 950, 1000}, {Qt::Key_Left, 1, 1}};
    auto* speed = child<QScrollBar>("Speed");
    for (const auto& [key, from, to] : presses) {
        speed->setValue(from);
        QTest::keyClick(speed, key);
        EXPECT_EQ(speed->value(), to) << key;
        EXPECT_EQ(caption("capS"), QString::number(to)) << key;
    }

    speed->setSliderDown(true);
    speed->setSliderPosition(500);
    EXPECT_EQ(caption("capS"), "1") << "no change while the thumb is dragged";
    speed->setSliderDown(false);
    EXPECT_EQ(caption("capS"), "500");
}

// All cases run on one window, each writing other values: the first starts it as it opens, the
// last switches back from "2 Player" to "1 Player".
TEST_F(SettingsWindow, StartWritesTheFiveSettingsHidesTheWindowThenStartsTheGame) {
    using Settings = std::array<int, 5>;
    const std::pair<const char*, Settings> cases[] = {{nullptr, {1, 1, 1, 1, 1}},
                                                      {"Option1_1", {1000, 10, 100, 10, 2}},
                                                      {"Option1_0", {250, 4, 37, 6, 1}}};
    const std::pair<const char*, const char*> bars[] = {
        {"Speed", "capS"}, {"Level", "CapL"}, {"Fdpts", "CapF"}, {"GR", "CapG"}};
    for (const auto& [option, written] : cases) {
        SCOPED_TRACE(written[0]);
        form.show();
        if (option != nullptr) {
            for (std::size_t i = 0; i < 4; ++i) {
                child<QScrollBar>(bars[i].first)->setValue(written[i]);
                EXPECT_EQ(caption(bars[i].second).toInt(), written[i]);
            }
            child<QAbstractButton>(option)->click();
        }
        EXPECT_EQ(child<QAbstractButton>("Option1_0")->isChecked(), written[4] == 1);
        EXPECT_EQ(child<QAbstractButton>("Option1_1")->isChecked(), written[4] == 2);
        child<QAbstractButton>("Command1")->click();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ((Settings{state.SpeedSetting, state.LevelSetting, state.FoodCount,
                            state.GrowthRate, state.Players}),
                  written);
    }
    EXPECT_EQ(visibleAtStarts, std::vector<bool>(3, false))
        << "one start a click, the window hidden";
}

}  // namespace
}  // namespace orvex
