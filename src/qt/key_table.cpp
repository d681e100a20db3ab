#include "qt/key_table.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cstdint>

#include "core/platform.h"

namespace orvex {

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

int KeyTable::VirtualKeyOf(int qtKey) {
    switch (qtKey) {
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
    // Qt reports a letter by its capital, whatever the shift state; a letter's virtual-key code is
    // its capital's character code.
    return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z ? 'A' + (qtKey - Qt::Key_A) : 0;
}

bool KeyTable::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int code = VirtualKeyOf(key->key());
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
