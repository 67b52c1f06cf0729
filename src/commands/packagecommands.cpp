#include "commands/packagecommands.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>

#include "commands/commandcontext.h"
#include "commands/folderchoice.h"
#include "commands/menuactions.h"
#include "commands/outputmodule.h"
#include "commands/outputparts.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "views/sectionview.h"

namespace {

const QString kPackageFilter = QStringLiteral("ZQW files (*.zqw)|*.zqw");
const QString kPackageExtension = QStringLiteral("zqw");
const QString kBackupFolderCaption = QStringLiteral("Select directory for CCF file");

}  // namespace

PackageCommands::PackageCommands(const CommandContext& context, std::function<bool()> checkFirst)
    : document_(context.document),
      view_(context.view),
      settings_(context.settings),
      dialogs_(context.dialogs),
      output_(context.output),
      checkFirst_(std::move(checkFirst)) {
    context.menu.add(*this, QStringLiteral("producePackage"), QStringLiteral("&Produce ZQW file"),
                     {}, {}, [this] { producePackage(); });
    context.menu.add(*this, QStringLiteral("emailPackage"), QStringLiteral("&Email ZQW File"), {},
                     {}, [this] { emailPackage(); });
    context.menu.add(*this, QStringLiteral("backupPackage"), QStringLiteral("&Backup ZQW File"), {},
                     {}, [this] { backupPackage(); });
}

PackageCommands::~PackageCommands() = default;

QString PackageCommands::packageFile() const { return settings_.packageFile(); }

void PackageCommands::setPackageFile(const QString& path) { settings_.setPackageFile(path); }

void PackageCommands::producePackage() {
    if (!document_.isOpen()) return;
    if (checkFirst_ && !checkFirst_()) return;
    const std::optional<QString> path = dialogs_.saveFile(
        UserDialogs::FileRequest::of(kPackageFilter, kPackageExtension, packageFile()));
    if (!path) return;
    OutputParts* parts = output_.parts();
    if (!parts) return;
    // The card and notes go in as they stand on disk; a card never saved,
    // or whose file has gone, is named in the message and nothing is
    // written. The save dialog has asked before an existing package is
    // replaced: what goes to the KHF is this card and its notes alone.
    const zqw::PackageResult result =
        parts->producePackage(path->toStdString(), parts->packageContentsOf(document_.card()));
    if (!result) {
        dialogs_.message(fromMessageText(result.message));
        return;
    }
    // Only a package that was written is the one the dialogs suggest next.
    setPackageFile(*path);
}

QString PackageCommands::backupStartFolder() const {
    const QString last = settings_.backupFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    return QDir::homePath();
}

void PackageCommands::backupPackage() {
    const std::optional<QString> package = dialogs_.openFile(
        UserDialogs::FileRequest::of(kPackageFilter, kPackageExtension, packageFile()));
    if (!package) return;
    const std::optional<QString> folder =
        chooseOrCreateFolder(dialogs_, kBackupFolderCaption, backupStartFolder());
    if (!folder) return;
    settings_.setBackupFolder(*folder);
    OutputParts* parts = output_.parts();
    if (!parts) return;
    // A copy that fails says so; one that works needs no word.
    const zqw::PackageResult result =
        parts->backupPackage(package->toStdString(), QDir::cleanPath(*folder).toStdString());
    if (!result) dialogs_.message(fromMessageText(result.message));
}

EmailWindowControl* PackageCommands::emailDialog() {
    if (!emailDialog_) {
        OutputParts* parts = output_.parts();
        if (!parts) return nullptr;
        emailDialog_ = parts->emailWindow(dialogs_, &view_);
    }
    return emailDialog_.get();
}

void PackageCommands::emailPackage() {
    if (checkFirst_ && !checkFirst_()) return;
    const std::optional<QString> package = dialogs_.openFile(
        UserDialogs::FileRequest::of(kPackageFilter, kPackageExtension, packageFile()));
    if (!package) return;
    setPackageFile(*package);
    EmailWindowControl* window = emailDialog();
    if (!window) return;
    window->prepare(profile_, *package);
    if (dialogs_.execDialog(window->dialog()) != QDialog::Accepted) return;
    window->storeFieldValues(profile_);
    profile_.sync();
}
