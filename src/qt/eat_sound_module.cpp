// The module that plays the eating sound through Qt Multimedia (see eat_sound.h for why it is one).
#include "qt/eat_sound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace orvex {
namespace {

class QtEatSound final : public EatSound {
public:
    void play(const QString& file) override {
        // Qt reports a missing file as a decoding error on every play; the game stays quiet.
        if (!QFileInfo::exists(file)) {
            return;
        }
        const QUrl source = QUrl::fromLocalFile(file);
        if (effect_.source() != source) {
            effect_.setSource(source);
        }
        // A new sound cuts off the one still playing.
        effect_.stop();
        effect_.play();
    }

private:
    QSoundEffect effect_;
};

}  // namespace
}  // namespace orvex

extern "C" Q_DECL_EXPORT orvex::EatSound* orvex_create_eat_sound() {
    // Without an audio output every play would warn again; Qt's one warning on looking is enough.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        return nullptr;
    }
    return new orvex::QtEatSound;
}
