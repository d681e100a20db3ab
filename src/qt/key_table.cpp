#include "qt/key_table.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cstdint>
#include <string_view>

#include "core/platform.h"

namespace orvex {

namespace {

// The letters of the US layout, row by row, each row from the xkb key code of its first key.
struct LetterRow {
    quint32 firstKeyCode;
    std::string_view letters;
};
constexpr LetterRow kUsLetterRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};

// The US letter at a key's place, found by its xkb key code (Qt's native scan code under X11 and
// Wayland alike), or 0.
int UsLetterAt(quint32 keyCode) {
    for (const auto& [first, letters] : kUsLetterRows) {
        if (keyCode >= first && keyCode - first < letters.size()) {
            return letters[keyCode - first];
        }
    }
    return 0;
}

// The virtual-key code of a key, or 0 for a key the game never asks about. A letter's code is its
// capital's character code; Qt reports a letter by its capital, whatever the shift state. A key
// that carries a Latin letter counts by it (on QWERTY, AZERTY and QWERTZ the letter printed on the
// key); any other counts as the US letter at its place, so a layout without Latin letters
// (Russian, Greek, Hebrew, ...) steers with the same keys as the US one.
int VirtualKeyOf(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        default:
            break;
    }
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
        return 'A' + (event.key() - Qt::Key_A);
    }
    return UsLetterAt(event.nativeScanCode());
}

}  // namespace

KeyTable::KeyTable(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    releaseAll();
                }
            });
}

KeyTable::~KeyTable() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyTable::isDown(int virtualKey) const {
    return virtualKey > 0 && virtualKey < kCodes &&
           down_.test(static_cast<std::size_t>(virtualKey));
}

void KeyTable::releaseAll() {
    down_.reset();
}

bool KeyTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int code = VirtualKeyOf(*key);
            if (code != 0 && !key->isAutoRepeat()) {
                down_.set(static_cast<std::size_t>(code), event->type() == QEvent::KeyPress);
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            releaseAll();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

bool KeyTable::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    // Qt's X11 backend reports a focus loss only after about 400 ms, and not at all when the focus
    // comes back sooner, so a key released in another window meanwhile would stay down. The X
    // server's own FocusOut event (type 10; the top bit only marks sent events) comes at once.
    constexpr std::uint8_t kXcbFocusOut = 10;
    if (eventType == "xcb_generic_event_t" &&
        (*static_cast<const std::uint8_t*>(message) & 0x7FU) == kXcbFocusOut) {
        releaseAll();
    }
    return false;
}

}  // namespace orvex
