#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <tuple>
#include <utility>

#include "qt/label_font.h"
#include "qt/settings_window.h"

namespace orvex {
namespace {

QString AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

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

// Positions in pixels (twips / 15); value labels are right-justified, captions left, all centred
// in height.
TEST_F(SettingsWindow, ControlsStandWhereTheLayoutPutsThem) {
    const struct {
        const char* name;
        QRect geometry;
        const char* caption;
        Qt::Alignment alignment;
    } controls[] = {
        {"Label1_0", {16, 16, 265, 33}, "Speed: (1 = Insane)", Qt::AlignLeft},
        {"capS", {296, 24, 89, 33}, "1", Qt::AlignRight},
        {"Speed", {16, 56, 369, 25}, "", {}},
        {"Label1_1", {16, 88, 89, 33}, "Level:", Qt::AlignLeft},
        {"CapL", {296, 96, 89, 33}, "1", Qt::AlignRight},
        {"Level", {16, 128, 369, 25}, "", {}},
        {"Label1_2", {16, 160, 233, 33}, "# of food points:", Qt::AlignLeft},
        {"CapF", {296, 168, 89, 33}, "1", Qt::AlignRight},
        {"Fdpts", {16, 200, 369, 25}, "", {}},
        {"Label1_3", {16, 232, 193, 33}, "Growth Rate:", Qt::AlignLeft},
        {"CapG", {296, 240, 89, 33}, "1", Qt::AlignRight},
        {"GR", {16, 272, 369, 25}, "", {}},
        {"Option1_0", {424, 120, 73, 25}, "1 Player", {}},
        {"Option1_1", {424, 144, 73, 25}, "2 Player", {}},
        {"Command1", {424, 168, 73, 49}, "1", {}},
    };
    for (const auto& control : controls) {
        SCOPED_TRACE(control.name);
        EXPECT_EQ(child(control.name)->geometry(), control.geometry);
        EXPECT_EQ(caption(control.name), control.caption);
        if (control.alignment != Qt::Alignment{}) {
            const Qt::Alignment alignment = child<QLabel>(control.name)->alignment();
            EXPECT_TRUE(alignment & control.alignment);
            EXPECT_TRUE(alignment & Qt::AlignVCenter);
        }
    }

    const struct {
        const char* name;
        int maximum;
        int pageStep;
        const char* accessibleName;
    } bars[] = {{"Speed", 1000, 100, "Speed"},
                {"Level", 10, 2, "Level"},
                {"Fdpts", 100, 10, "# of food points"},
                {"GR", 10, 2, "Growth Rate"}};
    for (const auto& expected : bars) {
        SCOPED_TRACE(expected.name);
        const QScrollBar* scrollBar = bar(expected.name);
        EXPECT_EQ(
            std::tuple(scrollBar->orientation(), scrollBar->focusPolicy(), scrollBar->value()),
            std::tuple(Qt::Horizontal, Qt::StrongFocus, 1));
        EXPECT_EQ(std::tuple(scrollBar->minimum(), scrollBar->maximum(), scrollBar->singleStep(),
                             scrollBar->pageStep()),
                  std::tuple(1, expected.maximum, 1, expected.pageStep));
        EXPECT_EQ(AccessibleName(bar(expected.name)), expected.accessibleName);
    }
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        EXPECT_FALSE(AccessibleName(widget).isEmpty()) << widget->objectName().toStdString();
    }
}

// The window's frame, title and size are checked on a real display with the whole program.
TEST_F(SettingsWindow, IsYellowWithGreenOptionsAndStartButton) {
    const QImage window = form.grab().toImage();
    const auto colourAt = [&](const char* name, QPoint inside) {
        return window.pixelColor(child(name)->geometry().topLeft() + inside);
    };
    EXPECT_EQ(window.pixelColor(5, 300), QColor(255, 255, 0));
    EXPECT_EQ(colourAt("capS", {2, 2}), QColor(255, 255, 0));
    EXPECT_EQ(colourAt("Option1_1", {70, 2}), QColor(0, 255, 0));
    EXPECT_EQ(colourAt("Command1", {10, 10}), QColor(0, 255, 0));
}

// The caption's width within the label's, and its glyphs within the label's height where the
// label centres the line.
bool Fits(const QFont& font, const LabelText& entry) {
    const QFontMetrics metrics(font, entry.label);
    const QRect ink = metrics.tightBoundingRect(entry.widestText);
    const int baseline = (entry.label->height() - metrics.height()) / 2 + metrics.ascent();
    return metrics.horizontalAdvance(entry.widestText) <= entry.label->width() &&
           baseline + ink.top() >= 0 && baseline + ink.bottom() < entry.label->height();
}

// One bold font for all labels, shrunk from 21.75 pt only as far as the widest text each label
// shows (its caption, or its bar's maximum) needs; it fits even when no family is installed.
TEST_F(SettingsWindow, LabelsShareABoldFontInWhichEveryCaptionFitsJustSo) {
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
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_LE(font.pointSizeF(), 21.75);
    QFont larger = font;
    larger.setPointSizeF(font.pointSizeF() + 0.25);
    bool largerFitsAll = true;
    const QFont fallback = ChooseLabelFont({"No Such Family At All"}, labels);
    EXPECT_EQ(fallback.weight(), QFont::Bold);
    for (const LabelText& entry : labels) {
        SCOPED_TRACE(entry.label->objectName().toStdString());
        EXPECT_EQ(entry.label->font(), font);
        EXPECT_TRUE(Fits(font, entry));
        EXPECT_TRUE(Fits(fallback, entry));
        largerFitsAll = largerFitsAll && Fits(larger, entry);
    }
    EXPECT_TRUE(font.pointSizeF() == 21.75 || !largerFitsAll) << "shrunk more than needed";
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
