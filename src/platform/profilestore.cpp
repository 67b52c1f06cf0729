#include "profilestore.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "platform/privatefiles.h"

namespace {

const QString kGroup = QStringLiteral("profile");

}  // namespace

ProfileStore::ProfileStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZQW_VEZ")) {
    // The store may hold the mail password. QSettings would create it open
    // to everyone the umask allows; made first, empty and private, it keeps
    // its permissions through every save (QSettings replaces it with a
    // file of the same permissions).
    const QString path = settings_.fileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    makePrivateFile(path);
}

// Names are found without regard to case, like the registry values they
// stand for: the package path is read as "zqwFile" and written as "ZQWFile".
QString ProfileStore::value(const QString& name, const QString& fallback) const {
    QSettings& settings = settings_;
    settings.beginGroup(kGroup);
    QString result = fallback;
    const QStringList keys = settings.childKeys();
    for (const QString& key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            result = settings.value(key).toString();
            break;
        }
    }
    settings.endGroup();
    return result;
}

void ProfileStore::setValue(const QString& name, const QString& value) {
    settings_.beginGroup(kGroup);
    const QStringList keys = settings_.childKeys();
    for (const QString& key : keys) {
        if (key != name && key.compare(name, Qt::CaseInsensitive) == 0) settings_.remove(key);
    }
    settings_.setValue(name, value);
    settings_.endGroup();
}

void ProfileStore::sync() { settings_.sync(); }
