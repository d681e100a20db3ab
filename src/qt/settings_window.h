#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "core/state.h"

class QFocusEvent;
class QKeyEvent;
class QRadioButton;
class QScrollBar;

namespace Ui {
class Form2;
}

namespace orvex {

// Opens the game once the settings are written. The program opens the main window; a test may
// only look at the settings.
using StartGame = std::function<void(GameState&)>;

// The start-up window (laid out in settings_window.ui): four scroll bars with their value labels
// and the player choice. Its start button writes the five settings into `state`, hides the window
// and starts the game. Closing it before the start ends the program.
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(GameState& state, StartGame startGame, QWidget* parent = nullptr);
    ~Form2() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Speed_Change();
    void Level_Change();
    void Fdpts_Change();
    void GR_Change();
    void Command1_Click();

    bool moveBar(QScrollBar& bar, const QKeyEvent& event);
    bool tabToCheckedOption(QRadioButton& option, const QFocusEvent& event);
    void useLabelFont();
    void fixWindowFrame();
    void centreOnScreen();

    std::unique_ptr<Ui::Form2> ui_;
    GameState& state_;
    StartGame startGame_;
    bool started_ = false;
};

}  // namespace orvex
