#include "qt/settings_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>
#include <optional>
#include <utility>

#include "core/game_start.h"
#include "qt/label_font.h"
#include "ui_settings_window.h"

namespace orvex {

namespace {

// A player expects Left and Up to lower a bar and Right and Down to raise it; Qt's horizontal
// scroll bar does the opposite for Left and Right.
std::optional<QAbstractSlider::SliderAction> BarActionForKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            return QAbstractSlider::SliderSingleStepSub;
        case Qt::Key_Right:
        case Qt::Key_Down:
            return QAbstractSlider::SliderSingleStepAdd;
        case Qt::Key_PageUp:
            return QAbstractSlider::SliderPageStepSub;
        case Qt::Key_PageDown:
            return QAbstractSlider::SliderPageStepAdd;
        default:
            return std::nullopt;
    }
}

void ShowValue(const QScrollBar& bar, QLabel& label) {
    label.setText(QString::number(bar.value()));
}

std::int16_t SettingOf(const QScrollBar& bar) {
    return static_cast<std::int16_t>(bar.value());
}

}  // namespace

Form2::Form2(GameState& state, StartGame startGame, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::Form2>()),
      state_(state),
      startGame_(std::move(startGame)) {
    ui_->setupUi(this);
    useLabelFont();
    fixWindowFrame();
    centreOnScreen();
    const QList<QWidget*> filtered = {ui_->Speed, ui_->Level,     ui_->Fdpts,
                                      ui_->GR,    ui_->Option1_0, ui_->Option1_1};
    for (QWidget* control : filtered) {
        control->installEventFilter(this);
    }
    connect(ui_->Speed, &QScrollBar::valueChanged, this, &Form2::Speed_Change);
    connect(ui_->Level, &QScrollBar::valueChanged, this, &Form2::Level_Change);
    connect(ui_->Fdpts, &QScrollBar::valueChanged, this, &Form2::Fdpts_Change);
    connect(ui_->GR, &QScrollBar::valueChanged, this, &Form2::GR_Change);
    connect(ui_->Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    ui_->Speed->setFocus(Qt::OtherFocusReason);
}

Form2::~Form2() = default;

void Form2::useLabelFont() {
    const QList<LabelText> labels = {
        {ui_->Label1_0, ui_->Label1_0->text()},
        {ui_->Label1_1, ui_->Label1_1->text()},
        {ui_->Label1_2, ui_->Label1_2->text()},
        {ui_->Label1_3, ui_->Label1_3->text()},
        {ui_->capS, QString::number(ui_->Speed->maximum())},
        {ui_->CapL, QString::number(ui_->Level->maximum())},
        {ui_->CapF, QString::number(ui_->Fdpts->maximum())},
        {ui_->CapG, QString::number(ui_->GR->maximum())},
    };
    const QFont font = ChooseLabelFont(PreferredLabelFamilies(), labels);
    for (const LabelText& entry : labels) {
        entry.label->setFont(font);
    }
}

// A fixed single border: a title bar with the close button only, and no resizing.
void Form2::fixWindowFrame() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
}

void Form2::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect placed = geometry();
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (auto* bar = qobject_cast<QScrollBar*>(watched); bar != nullptr) {
            return moveBar(*bar, static_cast<QKeyEvent&>(*event));
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* option = qobject_cast<QRadioButton*>(watched); option != nullptr) {
            return tabToCheckedOption(*option, static_cast<QFocusEvent&>(*event));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Form2::moveBar(QScrollBar& bar, const QKeyEvent& event) {
    const auto action = BarActionForKey(event.key());
    if (!action) {
        return false;
    }
    bar.triggerAction(*action);
    return true;
}

// Qt tabs into an exclusive group at the button that last had the focus, checked or not; the
// player expects Tab to land on the selected one. The passing button must not see its focus: it
// would take the group's place in the tab chain back from the selected one.
bool Form2::tabToCheckedOption(QRadioButton& option, const QFocusEvent& event) {
    const bool byTab =
        event.reason() == Qt::TabFocusReason || event.reason() == Qt::BacktabFocusReason;
    if (!byTab || option.isChecked()) {
        return false;
    }
    for (QRadioButton* other : {ui_->Option1_0, ui_->Option1_1}) {
        if (other->isChecked()) {
            other->setFocus(event.reason());
            return true;
        }
    }
    return false;
}

// Before the start there is no game to go on to, so closing the window ends the program.
void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!started_) {
        QCoreApplication::quit();
    }
}

void Form2::Speed_Change() {
    ShowValue(*ui_->Speed, *ui_->capS);
}
void Form2::Level_Change() {
    ShowValue(*ui_->Level, *ui_->CapL);
}
void Form2::Fdpts_Change() {
    ShowValue(*ui_->Fdpts, *ui_->CapF);
}
void Form2::GR_Change() {
    ShowValue(*ui_->GR, *ui_->CapG);
}

void Form2::Command1_Click() {
    // Qt lets nothing uncheck the last checked option of the group, so exactly one is checked.
    const std::int16_t players = ui_->Option1_1->isChecked() ? 2 : 1;
    ApplySettings(state_, {.speed = SettingOf(*ui_->Speed),
                           .level = SettingOf(*ui_->Level),
                           .foodCount = SettingOf(*ui_->Fdpts),
                           .growthRate = SettingOf(*ui_->GR),
                           .players = players});
    started_ = true;
    hide();
    startGame_(state_);
}

}  // namespace orvex
