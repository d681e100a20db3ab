#include "qt/eat_sound.h"

#include <QDir>
#include <QLibrary>
#include <cstdio>

namespace orvex {

EatSoundFactory LoadEatSoundModule(const QString& folder, QString& error) {
    // Left loaded for the rest of the run: the player's code lives in it.
    QLibrary module(QDir(folder).filePath(QLatin1String(kEatSoundModule)));
    const auto factory = reinterpret_cast<EatSoundFactory>(module.resolve(kEatSoundFactory));
    if (factory == nullptr) {
        error = module.errorString();
    }
    return factory;
}

std::unique_ptr<EatSound> OpenEatSound(const QString& folder) {
    QString error;
    const EatSoundFactory create = LoadEatSoundModule(folder, error);
    if (create == nullptr) {
        std::fprintf(stderr, "orvex: no sound: %s\n", qUtf8Printable(error));
        return nullptr;
    }
    return std::unique_ptr<EatSound>(create());
}

}  // namespace orvex
