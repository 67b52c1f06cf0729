#include "platform/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerFolder = kOwnerFile | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

// Takes every right of group and others away from what is already there.
void closeToOthers(const QString& path, QFileDevice::Permissions current) {
    if (current & kOthers) QFile::setPermissions(path, current & kOwnerFolder);
}

}  // namespace

QString userStateFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir(state).filePath(QStringLiteral("zqwcce"));
}

bool makePrivateFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        // QFileInfo reports the link's target; a folder reached through a
        // link is the user's own arrangement and stays as it is.
        if (!info.isSymLink()) closeToOthers(path, info.permissions());
        return true;
    }
    const QString parent = info.absolutePath();
    if (!QDir().mkpath(parent)) return false;
    QDir().mkdir(path, kOwnerFolder);
    return QFileInfo(path).isDir();
}

bool makePrivateFile(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerFile)) return true;
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    if (!info.isSymLink()) closeToOthers(path, info.permissions());
    return true;
}
