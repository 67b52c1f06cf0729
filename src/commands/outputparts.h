#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "card/zqwpackage.h"
#include "progress/workprogress.h"

class EditorSettings;
class PrintLayoutSettings;
class ProfileStore;
class QDialog;
class QPlainTextEdit;
class QWidget;
class UserDialogs;

// What the output module offers the menu commands: the print windows, the
// print layout window, packages and the e-mail window. They are the parts
// that need Qt's print support (and with it CUPS), libzip and libcurl, so
// the editor loads them only when one is first used (OutputModule), and
// reaches them only through these interfaces. The module is built with the
// program; a module whose interface version differs is not used.

// A print window as the Print commands drive it.
class PrintWindowControl {
public:
    virtual ~PrintWindowControl() = default;
    // Shows the window above the editor, not modal.
    virtual void showWindow() = 0;
    // The card's rows changed: an open preview shows them.
    virtual void refreshPreview() = 0;
};

// A package read for extraction (zqw::PackageReader behind it).
class PackageArchive {
public:
    virtual ~PackageArchive() = default;
    virtual bool isOpen() const = 0;
    virtual const std::string& error() const = 0;
    virtual const std::vector<std::string>& notices() const = 0;
    virtual const std::vector<std::string>& storedNames() const = 0;
    virtual int firstFileEntry() const = 0;
    virtual void setProgress(zqw::ExtractProgress progress) = 0;
    virtual bool extractMatching(const std::string& folder, std::string_view pattern,
                                 std::vector<std::string>* written = nullptr) = 0;
};

// The e-mail window, and the values it keeps in the per-user store.
class EmailWindowControl {
public:
    virtual ~EmailWindowControl() = default;
    virtual QDialog& dialog() = 0;
    // Fills the window with the values stored last, for this package.
    virtual void prepare(const ProfileStore& store, const QString& packagePath) = 0;
    // Stores the values the window holds; true when they include a password
    // to remember.
    virtual bool storeFieldValues(ProfileStore& store) = 0;
};

class OutputParts {
public:
    // Raised whenever these interfaces change, so that a module left from an
    // older build is refused rather than called wrongly.
    static constexpr int kInterfaceVersion = 2;

    virtual ~OutputParts() = default;

    virtual std::unique_ptr<PrintWindowControl> cardPrintWindow(const zqw::Card& card,
                                                                const EditorSettings& settings,
                                                                UserDialogs& dialogs,
                                                                QWidget* parent) = 0;
    virtual std::unique_ptr<PrintWindowControl> notesPrintWindow(
        const zqw::Card& card, const QPlainTextEdit& notes, std::function<QString()> notesFileName,
        const EditorSettings& settings, UserDialogs& dialogs, QWidget* parent) = 0;
    virtual std::unique_ptr<QDialog> printLayoutDialog(PrintLayoutSettings& layout,
                                                       UserDialogs& dialogs, QWidget* parent) = 0;

    // As the functions of card/zqwpackage.h; producePackage replaces a
    // package already at the path (what goes to the KHF is this card alone).
    virtual zqw::PackageContents packageContentsOf(const zqw::Card& card) = 0;
    virtual zqw::PackageResult producePackage(const std::string& packagePath,
                                              const zqw::PackageContents& contents) = 0;
    // The size of the package these contents make, as the check needs it.
    virtual std::optional<uint64_t> measurePackage(const zqw::PackageContents& contents) = 0;
    virtual zqw::PackageResult backupPackage(const std::string& packagePath,
                                             const std::string& folder) = 0;
    virtual std::string packageEntryBareName(std::string_view storedName) = 0;
    virtual std::unique_ptr<PackageArchive> openPackage(const std::string& archivePath) = 0;

    virtual std::unique_ptr<EmailWindowControl> emailWindow(UserDialogs& dialogs,
                                                            QWidget* parent) = 0;
};

// The module's one exported function, by this name: a new set of parts, or
// null when the caller's interface version is not the module's.
using CreateOutputPartsFunction = OutputParts* (*)(int interfaceVersion);
inline constexpr const char* kCreateOutputPartsSymbol = "zqwCreateOutputParts";
