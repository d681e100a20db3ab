#include <QApplication>

#include "command_line.h"
#include "core/state.h"
#include "platform_start.h"
#include "qt/main_window.h"
#include "qt/settings_window.h"

// The settings window is all there is to configure; the command line only answers --help and
// --version.
int main(int argc, char** argv) {
    // A desktop matches the windows to the launcher entry by these: the Wayland app id is the
    // entry's name, and the class part of the X11 WM_CLASS is its StartupWMClass.
    QCoreApplication::setApplicationName(QStringLiteral("orvex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVEX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orvex.Orvex"));
    if (const std::optional<int> status = orvex::AnswerCommandLine(argc, argv)) {
        return *status;
    }
    orvex::PreferXWaylandOnGnome();
    orvex::CatchPlatformFailure();
    QApplication application(argc, argv);
    orvex::PlatformStarted();
    // The settings window hides itself when the game starts; only closing it before then ends
    // the program, so the last window closing must not.
    QApplication::setQuitOnLastWindowClosed(false);

    orvex::GameState state;
    // The board is sized for the screen the player set the game up on, and shown there.
    orvex::Form2 settings(state, [&settings](orvex::GameState& settled) {
        orvex::OpenMainWindow(settled, settings.screen());
    });
    settings.show();
    return QApplication::exec();
}
