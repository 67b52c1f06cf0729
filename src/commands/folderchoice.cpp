#include "commands/folderchoice.h"

#include <QDir>
#include <QFileInfo>

#include "dialogs/userdialogs.h"

std::optional<QString> chooseOrCreateFolder(UserDialogs& dialogs, const QString& caption,
                                            const QString& start) {
    const std::optional<QString> chosen = dialogs.chooseFolder(caption, start);
    if (!chosen) return std::nullopt;
    const QString folder = QDir::cleanPath(*chosen);
    if (QFileInfo(folder).isDir()) return folder;
    if (QFileInfo::exists(folder)) {
        dialogs.message(folder + QStringLiteral(" is not a folder"));
        return std::nullopt;
    }
    if (dialogs.question(QStringLiteral("The folder ") + folder +
                             QStringLiteral(" does not exist. Do you want to create it?"),
                         false) != UserDialogs::Answer::Yes)
        return std::nullopt;
    if (!QDir().mkpath(folder)) {
        dialogs.message(QStringLiteral("Unable to create the folder ") + folder);
        return std::nullopt;
    }
    return folder;
}
