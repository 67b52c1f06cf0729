#include "platform/programpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The file whose presence marks a folder as the program's data folder: the
// editor cannot start without it.
const QString kMarkerFile = QStringLiteral("zqw.sel");
const QString kInstalledDataDir = QStringLiteral("../share/zqwcce");

}  // namespace

QString findProgramDataDir(const QString& executableDir) {
    const QDir beside(executableDir);
    if (QFileInfo(beside.filePath(kMarkerFile)).isFile()) return beside.absolutePath();
    // When neither folder has the template, the installed one is named, so
    // the message about the missing template points where it belongs.
    return QDir::cleanPath(beside.absoluteFilePath(kInstalledDataDir));
}

QString findProgramDataDir() { return findProgramDataDir(QCoreApplication::applicationDirPath()); }
