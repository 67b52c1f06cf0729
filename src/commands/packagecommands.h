#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/profilestore.h"

struct CommandContext;
class CardDocument;
class EditorSettings;
class EmailWindowControl;
class OutputModule;
class SectionView;
class UserDialogs;

// The Options menu's package items: make a package of the card and its
// notes, copy a package into a backup folder, and send one by e-mail.
class PackageCommands : public QObject {
    Q_OBJECT

public:
    // checkFirst, when given, runs before a package is produced or sent;
    // false stops the command.
    PackageCommands(const CommandContext& context, std::function<bool()> checkFirst);
    ~PackageCommands() override;

    void producePackage();
    void backupPackage();
    void emailPackage();

private:
    // The package dialogs suggest the package last produced or sent.
    QString packageFile() const;
    void setPackageFile(const QString& path);
    // Where the backup folder chooser starts: the folder chosen last, while
    // it is there, else the home folder.
    QString backupStartFolder() const;
    // Null when the output module cannot be loaded.
    EmailWindowControl* emailDialog();

    CardDocument& document_;
    SectionView& view_;
    EditorSettings& settings_;
    UserDialogs& dialogs_;
    OutputModule& output_;
    // The e-mail values are stored only when the e-mail window is left by
    // "&Close", so the window's own store writes them there and then.
    ProfileStore profile_;
    std::unique_ptr<EmailWindowControl> emailDialog_;
    std::function<bool()> checkFirst_;
};
