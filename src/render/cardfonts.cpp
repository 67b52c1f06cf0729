#include "render/cardfonts.h"

#include <QDir>
#include <QFontDatabase>

const QStringList& CardFontRegistration::fileNames() {
    static const QStringList names = {
        QStringLiteral("cardaral.ttf"), QStringLiteral("cardcour.ttf"),
        QStringLiteral("cardfoot.ttf"), QStringLiteral("cardtime.ttf")};
    return names;
}

CardFontRegistration::CardFontRegistration(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : fileNames()) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(name));
        if (id < 0) {
            failed_ << dir.filePath(name);
            continue;
        }
        ids_ << id;
        families_ << QFontDatabase::applicationFontFamilies(id);
    }
}

CardFontRegistration::~CardFontRegistration() {
    for (const int id : ids_) QFontDatabase::removeApplicationFont(id);
}
