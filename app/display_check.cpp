#include "display_check.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace orvex {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;

std::vector<HeldMessage>& HeldMessages() {
    static std::vector<HeldMessage> held;
    return held;
}

std::string UnreachableDisplay() {
    if (const std::string platform = Environment("QT_QPA_PLATFORM"); !platform.empty()) {
        return "Qt platform \"" + platform + "\" could not be started";
    }
    if (const std::string x = Environment("DISPLAY"); !x.empty()) {
        return "cannot connect to display " + x;
    }
    return "cannot connect to wayland display " + Environment("WAYLAND_DISPLAY") +
           " (is the compositor running?)";
}

[[noreturn]] void ExitWith(const std::string& line) {
    std::fprintf(stderr, "orvex: %s\n", line.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

// The display is there, only Qt cannot speak its protocol.
[[noreturn]] void ExitForMissingPlugin() {
    ExitWith("cannot use the Wayland display " + Environment("WAYLAND_DISPLAY") +
             ": Qt's Wayland platform plugin is not installed (install the package qt6-wayland)");
}

// Without QT_QPA_PLATFORM, Qt tries Wayland first wherever WAYLAND_DISPLAY is set; it only gets
// this far when there was no X display to fall back on.
bool WantsWayland() {
    const std::string platform = Environment("QT_QPA_PLATFORM");
    return platform.empty() ? Environment("DISPLAY").empty() : platform.starts_with("wayland");
}

// Whether Qt's fatal message lists the Wayland plugin among the platform plugins it found
// ("Available platform plugins are: xcb, wayland."); with none found at all it lists nothing.
bool WaylandPluginFound(const QString& fatal) {
    const QLatin1String kListed("Available platform plugins are:");
    const qsizetype listed = fatal.indexOf(kListed);
    if (listed < 0) {
        return false;
    }
    const QStringList names = fatal.mid(listed + kListed.size()).section(u'.', 0, 0).split(u',');
    return std::ranges::any_of(
        names, [](const QString& name) { return name.trimmed() == QLatin1String("wayland"); });
}

void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        if (WantsWayland() && !WaylandPluginFound(text)) {
            ExitForMissingPlugin();
        }
        ExitForMissingDisplay(UnreachableDisplay());
    }
    HeldMessages().push_back({type, context.category != nullptr ? context.category : "", text});
}

}  // namespace

std::string MissingDisplay() {
    const std::string platform = Environment("QT_QPA_PLATFORM");
    const std::string plugin = platform.substr(0, platform.find(':'));
    const bool hasX = !Environment("DISPLAY").empty();
    const bool hasWayland = !Environment("WAYLAND_DISPLAY").empty();
    if (plugin.empty() && !hasX && !hasWayland) {
        return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    if (plugin == "xcb" && !hasX) {
        return "QT_QPA_PLATFORM is xcb but DISPLAY is not set";
    }
    if (plugin.starts_with("wayland") && !hasWayland) {
        return "QT_QPA_PLATFORM is " + plugin + " but WAYLAND_DISPLAY is not set";
    }
    return "";
}

void ExitForMissingDisplay(const std::string& why) {
    ExitWith("no display found: " + why);
}

DisplayFailureGuard::DisplayFailureGuard() {
    previousHandler = qInstallMessageHandler(HoldOrFail);
}

void DisplayFailureGuard::release() {
    if (!active_) {
        return;
    }
    active_ = false;
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : HeldMessages()) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    HeldMessages().clear();
}

}  // namespace orvex
