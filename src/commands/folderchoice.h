#pragma once

#include <QString>
#include <optional>

class UserDialogs;

// The folder chooser of the package commands: a folder that is not there
// yet is created once the user agrees. nullopt when the user cancels, says
// No, or the folder cannot be made (said in a message).
std::optional<QString> chooseOrCreateFolder(UserDialogs& dialogs, const QString& caption,
                                            const QString& start);
