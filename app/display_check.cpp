#include "display_check.h"

#include <QString>
#include <QtGlobal>
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
    return "cannot connect to wayland display " + Environment("WAYLAND_DISPLAY");
}

void HoldOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
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
    std::fprintf(stderr, "orvex: no display found: %s\n", why.c_str());
    std::fflush(stderr);
    std::_Exit(1);
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
