#include "commands/outputmodule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include "commands/outputparts.h"
#include "dialogs/userdialogs.h"

namespace {

const QString kInstalledModuleDir = QStringLiteral("../lib/zqwcce/modules");

QString& firstFolder() {
    static QString folder;
    return folder;
}

QString what() { return QStringLiteral("The printing, package and e-mail module "); }

}  // namespace

OutputModule::OutputModule(UserDialogs& dialogs) : dialogs_(dialogs) {}

// The library stays loaded: windows it made may still be queued for
// deletion, and their code lives in it.
OutputModule::~OutputModule() = default;

QString OutputModule::fileName() { return QStringLiteral("zqwcce-output.so"); }

QStringList OutputModule::searchFolders(const QString& executableDir) {
    QStringList folders;
    if (!firstFolder().isEmpty()) folders << QDir::cleanPath(firstFolder());
    const QDir beside(executableDir);
    folders << QDir::cleanPath(beside.absolutePath())
            << QDir::cleanPath(beside.absoluteFilePath(kInstalledModuleDir));
    return folders;
}

void OutputModule::searchFirst(const QString& folder) { firstFolder() = folder; }

OutputParts* OutputModule::parts() {
    if (parts_) return parts_.get();
    const QStringList folders = searchFolders(QCoreApplication::applicationDirPath());
    QString path;
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(fileName());
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        dialogs_.message(what() + fileName() + QStringLiteral(" is missing; it belongs in ") +
                         folders.join(QStringLiteral(" or ")) +
                         QStringLiteral(". Printing, packages and e-mail are not available."));
        return nullptr;
    }
    auto library = std::make_unique<QLibrary>(path);
    // Every symbol bound now: a module that does not fit this system fails
    // here, with the reason, rather than in the middle of a command.
    library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    const auto create =
        reinterpret_cast<CreateOutputPartsFunction>(library->resolve(kCreateOutputPartsSymbol));
    if (!create) {
        dialogs_.message(what() + path + QStringLiteral(" cannot be loaded: ") +
                         library->errorString());
        return nullptr;
    }
    std::unique_ptr<OutputParts> parts(create(OutputParts::kInterfaceVersion));
    if (!parts) {
        dialogs_.message(what() + path +
                         QStringLiteral(" belongs to another version of the editor."));
        return nullptr;
    }
    library_ = std::move(library);
    parts_ = std::move(parts);
    return parts_.get();
}
