// The output module: the print windows, packages and the e-mail window
// behind the interfaces of commands/outputparts.h, in a shared object of
// their own. The editor loads it on first use; whatever the module shares
// with the program (the layers below, Qt) binds to the program's copy, as
// the program exports its symbols.

#include "card/zqwpackage.h"
#include "commands/outputparts.h"
#include "email/emailpackagedialog.h"
#include "email/emailsettings.h"
#include "printing/cardprintwindow.h"
#include "printing/notesprintwindow.h"
#include "printing/printlayoutdialog.h"

namespace {

template <class Window>
class PrintWindowOf : public PrintWindowControl {
public:
    explicit PrintWindowOf(std::unique_ptr<Window> window) : window_(std::move(window)) {}
    void showWindow() override { window_->showWindow(); }
    void refreshPreview() override {
        if constexpr (requires(Window & w) { w.refreshPreview(); }) window_->refreshPreview();
    }

private:
    std::unique_ptr<Window> window_;
};

class ReaderArchive : public PackageArchive {
public:
    explicit ReaderArchive(const std::string& path) : reader_(path) {}
    bool isOpen() const override { return reader_.isOpen(); }
    const std::string& error() const override { return reader_.error(); }
    const std::vector<std::string>& notices() const override { return reader_.notices(); }
    const std::vector<std::string>& storedNames() const override { return reader_.storedNames(); }
    int firstFileEntry() const override { return reader_.firstFileEntry(); }
    void setProgress(zqw::ExtractProgress progress) override {
        reader_.setProgress(std::move(progress));
    }
    bool extractMatching(const std::string& folder, std::string_view pattern,
                         std::vector<std::string>* written) override {
        return reader_.extractMatching(folder, pattern, written);
    }

private:
    zqw::PackageReader reader_;
};

class EmailWindow : public EmailWindowControl {
public:
    EmailWindow(UserDialogs& dialogs, QWidget* parent) : dialog_(dialogs, parent) {}
    QDialog& dialog() override { return dialog_; }
    void prepare(const ProfileStore& store, const QString& packagePath) override {
        dialog_.prepare(EmailSettings::read(store), packagePath);
    }
    bool storeFieldValues(ProfileStore& store) override {
        const EmailSettings entered = dialog_.fieldSettings();
        entered.write(store);
        return entered.rememberPassword;
    }

private:
    EmailPackageDialog dialog_;
};

class ModuleParts : public OutputParts {
public:
    std::unique_ptr<PrintWindowControl> cardPrintWindow(const zqw::Card& card,
                                                        const EditorSettings& settings,
                                                        UserDialogs& dialogs,
                                                        QWidget* parent) override {
        return std::make_unique<PrintWindowOf<CardPrintWindow>>(
            std::make_unique<CardPrintWindow>(card, settings, dialogs, parent));
    }
    std::unique_ptr<PrintWindowControl> notesPrintWindow(
        const zqw::Card& card, const QPlainTextEdit& notes, std::function<QString()> notesFileName,
        const EditorSettings& settings, UserDialogs& dialogs, QWidget* parent) override {
        return std::make_unique<PrintWindowOf<NotesPrintWindow>>(std::make_unique<NotesPrintWindow>(
            card, notes, std::move(notesFileName), settings, dialogs, parent));
    }
    std::unique_ptr<QDialog> printLayoutDialog(PrintLayoutSettings& layout, UserDialogs& dialogs,
                                               QWidget* parent) override {
        return std::make_unique<PrintLayoutDialog>(layout, dialogs, parent);
    }
    zqw::PackageContents packageContentsOf(const zqw::Card& card) override {
        return zqw::packageContentsOf(card);
    }
    zqw::PackageResult producePackage(const std::string& packagePath,
                                      const zqw::PackageContents& contents) override {
        return zqw::producePackage(packagePath, contents, zqw::ExistingPackage::Replace);
    }
    std::optional<uint64_t> measurePackage(const zqw::PackageContents& contents) override {
        return zqw::measurePackage(contents);
    }
    zqw::PackageResult backupPackage(const std::string& packagePath,
                                     const std::string& folder) override {
        return zqw::backupPackage(packagePath, folder);
    }
    std::string packageEntryBareName(std::string_view storedName) override {
        return zqw::packageEntryBareName(storedName);
    }
    std::unique_ptr<PackageArchive> openPackage(const std::string& archivePath) override {
        return std::make_unique<ReaderArchive>(archivePath);
    }
    std::unique_ptr<EmailWindowControl> emailWindow(UserDialogs& dialogs,
                                                    QWidget* parent) override {
        return std::make_unique<EmailWindow>(dialogs, parent);
    }
};

}  // namespace

extern "C" Q_DECL_EXPORT OutputParts* zqwCreateOutputParts(int interfaceVersion) {
    if (interfaceVersion != OutputParts::kInterfaceVersion) return nullptr;
    return new ModuleParts;
}
