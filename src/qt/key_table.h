#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <bitset>

namespace orvex {

// Which keys are down right now, by virtual-key code. Qt only reports key events, so an
// application-wide event filter keeps this table: a press sets its key, a release clears it,
// auto-repeats change nothing. When the application loses the focus every key counts as released,
// since the release would go to another program.
class KeyTable : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit KeyTable(QObject* parent = nullptr);
    ~KeyTable() override;

    bool isDown(int virtualKey) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void releaseAll();

    static constexpr int kCodes = 256;
    std::bitset<kCodes> down_;
};

}  // namespace orvex
