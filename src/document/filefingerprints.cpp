#include "document/filefingerprints.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <string>

#include "card/textfile.h"

namespace {

QByteArray hashOf(std::string_view bytes) {
    return QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
        QCryptographicHash::Sha256);
}

// A regular file's bytes up to a size; nullopt for anything else (a pipe is
// never waited on).
std::optional<std::string> readUpTo(const QString& path, qint64 mostBytes) {
    return zqw::readRegularFile(QFile::encodeName(path).toStdString(),
                                static_cast<size_t>(mostBytes), nullptr);
}

}  // namespace

QString FileFingerprints::keyOf(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void FileFingerprints::rememberFromDisk(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        forget(path);
        return;
    }
    const std::optional<std::string> bytes = readUpTo(path, info.size());
    if (!bytes) {
        forget(path);
        return;
    }
    remember(path, *bytes);
}

void FileFingerprints::remember(const QString& path, std::string_view bytes) {
    prints_.insert(keyOf(path), Print{static_cast<qint64>(bytes.size()), hashOf(bytes)});
}

void FileFingerprints::forget(const QString& path) { prints_.remove(keyOf(path)); }

QByteArray FileFingerprints::token(const QString& path) const {
    const auto known = prints_.constFind(keyOf(path));
    if (known == prints_.constEnd()) return {};
    return QByteArray::number(known->size) + ':' + known->hash.toHex();
}

void FileFingerprints::rememberToken(const QString& path, const QByteArray& token) {
    const QList<QByteArray> parts = token.split(':');
    bool sized = false;
    const qint64 size = parts.value(0).toLongLong(&sized);
    const QByteArray hash = QByteArray::fromHex(parts.value(1));
    if (parts.size() != 2 || !sized || size < 0 ||
        hash.size() != QCryptographicHash::hashLength(QCryptographicHash::Sha256)) {
        forget(path);
        return;
    }
    prints_.insert(keyOf(path), Print{size, hash});
}

bool FileFingerprints::changedOnDisk(const QString& path) const {
    const auto known = prints_.constFind(keyOf(path));
    if (known == prints_.constEnd()) return false;
    // Nothing there, or something no save writes over (a folder, a pipe,
    // which the save itself refuses): no one's work to lose.
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    // The size tells most changes without reading; the hash tells the rest.
    // The modification time decides nothing: the same bytes saved again are
    // no loss, and a file rewritten within the file system's time
    // resolution keeps its time.
    if (info.size() != known->size) return true;
    const std::optional<std::string> bytes = readUpTo(path, known->size);
    return !bytes || hashOf(*bytes) != known->hash;
}
