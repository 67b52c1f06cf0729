#include "profilestore.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "platform/privatefiles.h"

namespace {

const QString kGroup = QStringLiteral("profile");
// Kept apart from the profile values, whose names are found in any case.
const QString kNotesLinksKey = QStringLiteral("notesLinks/pairs");
// Far more cards than a player keeps linked to notes elsewhere, and still a
// small store to read at every card opened.
constexpr int kMostNotesLinks = 500;

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

bool ProfileStore::isRememberedNotesLink(const QString& cardFile, const QString& notesFile) const {
    if (cardFile.isEmpty() || notesFile.isEmpty()) return false;
    const QStringList pairs = settings_.value(kNotesLinksKey).toStringList();
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == cardFile && pairs[i + 1] == notesFile) return true;
    }
    return false;
}

void ProfileStore::rememberNotesLink(const QString& cardFile, const QString& notesFile) {
    if (cardFile.isEmpty() || notesFile.isEmpty()) return;
    const QStringList pairs = settings_.value(kNotesLinksKey).toStringList();
    QStringList kept;
    // A card links one notes file: its older pair goes, and the newest pairs
    // are the ones kept.
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == cardFile) continue;
        kept << pairs[i] << pairs[i + 1];
    }
    kept << cardFile << notesFile;
    if (kept.size() > 2 * kMostNotesLinks) kept = kept.mid(kept.size() - 2 * kMostNotesLinks);
    settings_.setValue(kNotesLinksKey, kept);
    // The command-line tool reads the pairs too, maybe while the editor runs.
    settings_.sync();
}
