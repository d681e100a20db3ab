#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <utility>

#include "settings/label_font.h"
#include "settings/settings_window.h"

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
    static void key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(target, &release);
    }
    static void click(QWidget* target, QPoint at) {
        const QPointF global = target->mapToGlobal(QPointF(at));
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    void start() { child<QAbstractButton>("Command1")->click(); }

    GameState state;
    int starts = 0;
    bool visibleAtStart = true;
    Form2 form{state, [this](GameState&) {
                   ++starts;
                   visibleAtStart = form.isVisible();
               }};
};

TEST_F(SettingsWindow, ControlsStandWhereTheLayoutPutsThem) {
    const struct {
        const char* name;
        QRect geometry;  // pixels: twips / 15
        const char* caption;
    } controls[] = {
        {"Label1_0", {16, 16, 265, 33}, "Speed: (1 = Insane)"},
        {"capS", {296, 24, 89, 33}, "1"},
        {"Speed", {16, 56, 369, 25}, ""},
        {"Label1_1", {16, 88, 89, 33}, "Level:"},
        {"CapL", {296, 96, 89, 33}, "1"},
        {"Level", {16, 128, 369, 25}, ""},
        {"Label1_2", {16, 160, 233, 33}, "# of food points:"},
        {"CapF", {296, 168, 89, 33}, "1"},
        {"Fdpts", {16, 200, 369, 25}, ""},
        {"Label1_3", {16, 232, 193, 33}, "Growth Rate:"},
        {"CapG", {296, 240, 89, 33}, "1"},
        {"GR", {16, 272, 369, 25}, ""},
        {"Option1_0", {424, 120, 73, 25}, "1 Player"},
        {"Option1_1", {424, 144, 73, 25}, "2 Player"},
        {"Command1", {424, 168, 73, 49}, "1"},
    };
    for (const auto& control : controls) {
        SCOPED_TRACE(control.name);
        EXPECT_EQ(child(control.name)->geometry(), control.geometry);
        EXPECT_EQ(caption(control.name), control.caption);
    }
    EXPECT_TRUE(child<QAbstractButton>("Option1_0")->isChecked());
    EXPECT_FALSE(child<QAbstractButton>("Option1_1")->isChecked());
}

TEST_F(SettingsWindow, BarsHaveTheirRangesStepsAndNames) {
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
        EXPECT_EQ(scrollBar->orientation(), Qt::Horizontal);
        EXPECT_EQ(scrollBar->minimum(), 1);
        EXPECT_EQ(scrollBar->maximum(), expected.maximum);
        EXPECT_EQ(scrollBar->singleStep(), 1);
        EXPECT_EQ(scrollBar->pageStep(), expected.pageStep);
        EXPECT_EQ(scrollBar->value(), 1);
        EXPECT_EQ(scrollBar->focusPolicy(), Qt::StrongFocus);
        EXPECT_EQ(
            QAccessible::queryAccessibleInterface(bar(expected.name))->text(QAccessible::Name),
            expected.accessibleName);
    }
}

TEST_F(SettingsWindow, EveryControlHasAnAccessibleName) {
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty())
            << widget->objectName().toStdString();
    }
}

TEST_F(SettingsWindow, IsAFixedYellowWindowWithoutMinimizeOrMaximize) {
    EXPECT_EQ(form.windowTitle(), "Set Values...");
    EXPECT_EQ(form.minimumSize(), QSize(518, 308));
    EXPECT_EQ(form.maximumSize(), QSize(518, 308));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    const QImage window = form.grab().toImage();
    const auto colourAt = [&](const char* name, QPoint inside) {
        return window.pixelColor(child(name)->geometry().topLeft() + inside);
    };
    EXPECT_EQ(window.pixelColor(5, 300), QColor(255, 255, 0));
    EXPECT_EQ(colourAt("capS", {2, 2}), QColor(255, 255, 0));
    EXPECT_EQ(colourAt("Option1_1", {70, 2}), QColor(0, 255, 0));
    EXPECT_EQ(colourAt("Command1", {10, 10}), QColor(0, 255, 0));
}

TEST_F(SettingsWindow, ValueLabelsAreRightJustifiedCaptionsLeftAllCentredInHeight) {
    for (const char* name : {"capS", "CapL", "CapF", "CapG"}) {
        EXPECT_TRUE(child<QLabel>(name)->alignment() & Qt::AlignRight) << name;
    }
    for (const char* name : {"Label1_0", "Label1_1", "Label1_2", "Label1_3"}) {
        EXPECT_TRUE(child<QLabel>(name)->alignment() & Qt::AlignLeft) << name;
    }
    for (QLabel* label : form.findChildren<QLabel*>()) {
        EXPECT_TRUE(label->alignment() & Qt::AlignVCenter) << label->objectName().toStdString();
    }
}

// Each label with the widest text it will show: its caption, or its bar's maximum.
QList<LabelText> WidestTexts(const Form2& form) {
    const std::pair<const char*, const char*> widest[] = {{"Label1_0", "Speed: (1 = Insane)"},
                                                          {"Label1_1", "Level:"},
                                                          {"Label1_2", "# of food points:"},
                                                          {"Label1_3", "Growth Rate:"},
                                                          {"capS", "1000"},
                                                          {"CapL", "10"},
                                                          {"CapF", "100"},
                                                          {"CapG", "10"}};
    QList<LabelText> labels;
    for (const auto& [name, text] : widest) {
        labels.append({form.findChild<QLabel*>(name), text});
    }
    return labels;
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

TEST_F(SettingsWindow, LabelsShareABoldFontInWhichEveryCaptionFitsJustSo) {
    const QFont font = child("Label1_0")->font();
    EXPECT_TRUE(PreferredLabelFamilies().contains(font.family())) << font.family().toStdString();
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_LE(font.pointSizeF(), 21.75);
    QFont larger = font;
    larger.setPointSizeF(font.pointSizeF() + 0.25);
    bool largerFitsAll = true;
    for (const LabelText& entry : WidestTexts(form)) {
        SCOPED_TRACE(entry.label->objectName().toStdString());
        EXPECT_EQ(entry.label->font(), font);
        EXPECT_TRUE(Fits(font, entry));
        largerFitsAll = largerFitsAll && Fits(larger, entry);
    }
    EXPECT_TRUE(font.pointSizeF() == 21.75 || !largerFitsAll) << "shrunk more than needed";
}

TEST_F(SettingsWindow, LabelFontStillFitsWhenNoFamilyIsInstalled) {
    const QList<LabelText> labels = WidestTexts(form);
    const QFont font = ChooseLabelFont({"No Such Family At All"}, labels);
    EXPECT_EQ(font.weight(), QFont::Bold);
    for (const LabelText& entry : labels) {
        EXPECT_TRUE(Fits(font, entry)) << entry.label->objectName().toStdString();
    }
}

TEST_F(SettingsWindow, TabWalksBarsThenTheCheckedOptionThenTheStartButton) {
    showActive();
    EXPECT_EQ(QApplication::focusWidget(), bar("Speed"));
    const auto visits = [&](int tab, const QStringList& expected) {
        for (const QString& name : expected) {
            key(QApplication::focusWidget(), tab);
            EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), name.toStdString());
        }
    };
    visits(Qt::Key_Backtab, {"Command1", "Option1_0", "GR"});
    visits(Qt::Key_Tab, {"Option1_0", "Command1", "Speed", "Level", "Fdpts", "GR"});
    child<QRadioButton>("Option1_1")->setChecked(true);
    visits(Qt::Key_Tab, {"Option1_1", "Command1"});
    visits(Qt::Key_Backtab, {"Option1_1", "GR"});
}

TEST_F(SettingsWindow, KeysMoveBarsAndTheLabelFollows) {
    const struct {
        int key;
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
        key(speed, press.key);
        EXPECT_EQ(speed->value(), press.to);
        EXPECT_EQ(caption("capS"), QString::number(press.to));
    }
}

TEST_F(SettingsWindow, MouseClicksStepByTheSmallAndTheLargeStep) {
    showActive();
    QScrollBar* speed = bar("Speed");
    click(speed, {speed->width() - 4, speed->height() / 2});  // right arrow
    EXPECT_EQ(caption("capS"), "2");
    speed->setValue(1);
    click(speed, {speed->width() * 3 / 4, speed->height() / 2});  // trough right of the thumb
    EXPECT_EQ(caption("capS"), "101");
}

TEST_F(SettingsWindow, ADraggedThumbChangesTheLabelOnlyWhenReleased) {
    QScrollBar* speed = bar("Speed");
    speed->setSliderDown(true);
    speed->setSliderPosition(500);
    EXPECT_EQ(caption("capS"), "1");
    speed->setSliderDown(false);
    EXPECT_EQ(caption("capS"), "500");
}

// Both cases run on one window, so the second also switches back from "2 Player" to "1 Player".
TEST_F(SettingsWindow, StartWritesTheFiveSettingsHidesTheWindowThenStartsTheGame) {
    const struct {
        bool maxima;
        const char* chosen;
        const char* other;
        QStringList labels;  // capS, CapL, CapF, CapG
        std::int16_t speed, level, food, growth, players;
    } cases[] = {
        {true, "Option1_1", "Option1_0", {"1000", "10", "100", "10"}, 1000, 10, 100, 10, 2},
        {false, "Option1_0", "Option1_1", {"1", "1", "1", "1"}, 1, 1, 1, 1, 1}};
    for (const auto& setting : cases) {
        SCOPED_TRACE(setting.chosen);
        state = GameState{};
        showActive();
        for (const char* name : {"Speed", "Level", "Fdpts", "GR"}) {
            bar(name)->setValue(setting.maxima ? bar(name)->maximum() : 1);
        }
        child<QAbstractButton>(setting.chosen)->click();
        EXPECT_FALSE(child<QAbstractButton>(setting.other)->isChecked());
        EXPECT_EQ((QStringList{caption("capS"), caption("CapL"), caption("CapF"), caption("CapG")}),
                  setting.labels);
        const int startsBefore = starts;
        start();
        EXPECT_EQ(starts, startsBefore + 1);
        EXPECT_FALSE(visibleAtStart);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(state.SpeedSetting, setting.speed);
        EXPECT_EQ(state.LevelSetting, setting.level);
        EXPECT_EQ(state.FoodCount, setting.food);
        EXPECT_EQ(state.GrowthRate, setting.growth);
        EXPECT_EQ(state.Players, setting.players);
    }
}

TEST_F(SettingsWindow, EnterAndEscapeDoNotStart) {
    showActive();
    key(bar("Speed"), Qt::Key_Return);
    key(child("Option1_0"), Qt::Key_Enter);
    key(child("Command1"), Qt::Key_Escape);
    key(&form, Qt::Key_Escape);
    EXPECT_EQ(starts, 0);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(SettingsWindow, ClosingBeforeTheStartEndsTheProgramWithStatusZero) {
    QApplication::setQuitOnLastWindowClosed(false);
    showActive();
    QTimer::singleShot(0, &form, &QWidget::close);
    QTimer::singleShot(10000, &form, [] { QCoreApplication::exit(2); });  // a guard, not a timing
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(starts, 0);
    QApplication::setQuitOnLastWindowClosed(true);
}

}  // namespace
}  // namespace orvex
