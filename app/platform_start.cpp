#include "platform_start.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orvex {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage> heldMessages;

[[noreturn]] void ExitWithQtsReasons(const QString& fatal) {
    QString reasons;
    for (const HeldMessage& message : heldMessages) {
        reasons += message.text + u'\n';
    }
    reasons += fatal;
    // Qt looks for its Wayland plugin wherever a Wayland display is named; not finding it there
    // has only one cure.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        reasons.contains(QLatin1String("Could not find the Qt platform plugin \"wayland"))) {
        reasons += QLatin1String(
            "\nQt's Wayland platform plugin is missing: install the package qt6-wayland");
    }
    for (const QString& line : reasons.split(u'\n')) {
        if (!line.trimmed().isEmpty()) {
            std::fprintf(stderr, "orvex: %s\n", line.trimmed().toLocal8Bit().constData());
        }
    }
    std::fflush(stderr);
    std::_Exit(1);
}

void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        ExitWithQtsReasons(text);
    }
    // Qt leaves out the category of its uncategorized messages, which it names "default".
    heldMessages.push_back(
        {type, context.category != nullptr ? context.category : "default", text});
}

}  // namespace

// Qt 6.4's own Wayland decorations show minimize and maximize even on fixed-size windows, and a
// Wayland client cannot place its windows; GNOME draws proper title bars for X11 windows.
void PreferXWaylandOnGnome() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY")) {
        return;
    }
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    if (desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

void CatchPlatformFailure() {
    previousHandler = qInstallMessageHandler(HoldOrExit);
}

void PlatformStarted() {
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages.clear();
}

}  // namespace orvex
