#include "commands/packagecommands.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>

#include "card/zqwpackage.h"
#include "commands/folderchoice.h"
#include "commands/menuactions.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "files/emailpackagedialog.h"
#include "files/emailsettings.h"
#include "views/sectionview.h"

namespace {

const QString kPackageFilter = QStringLiteral("ZQW files (*.zqw)|*.zqw");
const QString kPackageExtension = QStringLiteral("zqw");
const QString kBackupFolderCaption = QStringLiteral("Select directory for CCF file");

}  // namespace

PackageCommands::PackageCommands(CardDocument& document, SectionView& view,
                                 EditorSettings& settings, UserDialogs& dialogs, MenuActions& menu,
                                 std::function<bool()> checkFirst)
    : document_(document),
      view_(view),
      settings_(settings),
      dialogs_(dialogs),
      checkFirst_(std::move(checkFirst)) {
    menu.add(*this, QStringLiteral("producePackage"), QStringLiteral("&Produce ZQW file"), {}, {},
             [this] { producePackage(); });
    menu.add(*this, QStringLiteral("emailPackage"), QStringLiteral("&Email ZQW File"), {}, {},
             [this] { emailPackage(); });
    menu.add(*this, QStringLiteral("backupPackage"), QStringLiteral("&Backup ZQW File"), {}, {},
             [this] { backupPackage(); });
}

PackageCommands::~PackageCommands() = default;

QString PackageCommands::packageFile() const {
    return QString::fromStdString(document_.card().packageFileName);
}

void PackageCommands::setPackageFile(const QString& path) {
    document_.card().packageFileName = path.toStdString();
}

void PackageCommands::producePackage() {
    if (!document_.isOpen()) return;
    if (checkFirst_ && !checkFirst_()) return;
    const std::optional<QString> path = dialogs_.saveFile(
        UserDialogs::FileRequest::of(kPackageFilter, kPackageExtension, packageFile()));
    if (!path) return;
    // The card and notes go in as they stand on disk; a card never saved,
    // or whose file has gone, is named in the message and nothing is
    // written. The save dialog has asked before an existing package is
    // replaced: what goes to the KHF is this card and its notes alone.
    const zqw::PackageResult result =
        zqw::producePackage(path->toStdString(), zqw::packageContentsOf(document_.card()),
                            zqw::ExistingPackage::Replace);
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
    // A copy that fails says so; one that works needs no word.
    const zqw::PackageResult result =
        zqw::backupPackage(package->toStdString(), QDir::cleanPath(*folder).toStdString());
    if (!result) dialogs_.message(fromMessageText(result.message));
}

EmailPackageDialog& PackageCommands::emailDialog() {
    if (!emailDialog_) emailDialog_ = std::make_unique<EmailPackageDialog>(dialogs_, &view_);
    return *emailDialog_;
}

void PackageCommands::emailPackage() {
    if (checkFirst_ && !checkFirst_()) return;
    const std::optional<QString> package = dialogs_.openFile(
        UserDialogs::FileRequest::of(kPackageFilter, kPackageExtension, packageFile()));
    if (!package) return;
    setPackageFile(*package);
    EmailPackageDialog& dialog = emailDialog();
    dialog.prepare(EmailSettings::read(profile_), *package);
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    const EmailSettings entered = dialog.fieldSettings();
    entered.write(profile_);
    profile_.sync();
}
