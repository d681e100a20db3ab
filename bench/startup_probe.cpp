// Starts a program and reports how long it took, from the moment before the process was started,
// until the X server mapped its window with a given title.
//
// usage: orvex_startup_probe TITLE PROGRAM [ARGUMENTS...]
// Prints the milliseconds on stdout, then ends the program. Exit status 0 on success, 1 when no
// such window was mapped within ten seconds or the program ended first, 2 on bad use or without
// an X display.
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(10);

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> Owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    const auto reply = Owned(xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

class Display {
public:
    Display() : x_(xcb_connect(nullptr, nullptr)) {}
    ~Display() { xcb_disconnect(x_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool open() const { return xcb_connection_has_error(x_) == 0; }
    xcb_connection_t* x() const { return x_; }
    xcb_window_t root() const { return xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root; }

    void watch(xcb_window_t window, std::uint32_t mask) {
        xcb_change_window_attributes(x_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x_);
    }

    // Returns once the server has handled every request sent so far.
    void sync() { std::free(xcb_get_input_focus_reply(x_, xcb_get_input_focus(x_), nullptr)); }

    // The window's title: _NET_WM_NAME if set, else WM_NAME.
    std::string title(xcb_window_t window) {
        for (const xcb_atom_t property : {netWmName_, xcb_atom_t{XCB_ATOM_WM_NAME}}) {
            const auto reply = Owned(xcb_get_property_reply(
                x_, xcb_get_property(x_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                nullptr));
            if (reply && xcb_get_property_value_length(reply.get()) > 0) {
                return {static_cast<const char*>(xcb_get_property_value(reply.get())),
                        static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
            }
        }
        return {};
    }

    bool mapped(xcb_window_t window) {
        const auto reply = Owned(
            xcb_get_window_attributes_reply(x_, xcb_get_window_attributes(x_, window), nullptr));
        return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
    }

    // The next event, or nothing once `deadline` has passed.
    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> next(Clock::time_point deadline) {
        for (;;) {
            if (xcb_generic_event_t* event = xcb_poll_for_event(x_); event != nullptr) {
                return {event, &std::free};
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd connection{xcb_get_file_descriptor(x_), POLLIN, 0};
            if (left.count() <= 0 || !open() ||
                poll(&connection, 1, static_cast<int>(left.count())) <= 0) {
                return {nullptr, &std::free};
            }
        }
    }

private:
    xcb_connection_t* x_;
    xcb_atom_t netWmName_ = Atom(x_, "_NET_WM_NAME");
};

// The program under measurement; ends it when the measurement is done.
class Child {
public:
    explicit Child(pid_t pid) : pid_(pid) {}
    ~Child() { end(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool ended() {
        if (!reaped_ && waitpid(pid_, nullptr, WNOHANG) == pid_) {
            reaped_ = true;
        }
        return reaped_;
    }

    void end() {
        if (ended()) {
            return;
        }
        kill(pid_, SIGTERM);
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(3);
        while (!ended() && Clock::now() < deadline) {
            usleep(10'000);
        }
        if (!ended()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            reaped_ = true;
        }
    }

private:
    pid_t pid_;
    bool reaped_ = false;
};

// Waits for the MapNotify of a window titled `title`. Every new top-level window is watched for its
// own map, which still reaches it after a window manager has put it into a frame.
std::optional<Clock::time_point> WaitForMappedTitle(Display& display, const std::string& title,
                                                    Child& program, Clock::time_point deadline) {
    for (;;) {
        const auto event =
            display.next(std::min(deadline, Clock::now() + std::chrono::milliseconds(50)));
        if (!event) {
            if (Clock::now() >= deadline || program.ended()) {
                return std::nullopt;
            }
            continue;
        }
        const auto kind = event->response_type & 0x7F;
        if (kind == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event.get());
            display.watch(created->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
            // Mapped before the watch took hold: it counts from now, a little late.
            if (display.mapped(created->window) && display.title(created->window) == title) {
                return Clock::now();
            }
        } else if (kind == XCB_MAP_NOTIFY) {
            const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (display.title(mapped->window) == title) {
                return Clock::now();
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: orvex_startup_probe TITLE PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    Display display;
    if (!display.open()) {
        std::fprintf(stderr, "orvex_startup_probe: cannot open the X display\n");
        return 2;
    }
    display.watch(display.root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    display.sync();
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::fprintf(stderr, "orvex_startup_probe: cannot start %s\n", argv[2]);
        return 2;
    }
    Child program(pid);
    const auto shown = WaitForMappedTitle(display, argv[1], program, start + kPatience);
    program.end();
    if (!shown) {
        std::fprintf(stderr, "orvex_startup_probe: no window \"%s\" was mapped\n", argv[1]);
        return 1;
    }
    std::printf("%.3f\n", std::chrono::duration<double, std::milli>(*shown - start).count());
    return 0;
}
