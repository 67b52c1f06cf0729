#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class OutputParts;
class QLibrary;
class UserDialogs;

// The output module: printing, packages and e-mail (outputparts.h), a shared
// object loaded the first time a command asks for one of them. Until then
// the editor has loaded neither Qt's print support nor libcurl nor libzip.
class OutputModule {
public:
    explicit OutputModule(UserDialogs& dialogs);
    ~OutputModule();

    OutputModule(const OutputModule&) = delete;
    OutputModule& operator=(const OutputModule&) = delete;

    // The parts, the module loaded on the first call. Null when it cannot be
    // loaded: the user has been told why, and the command does nothing.
    // Every call tries again, so a module put back works without a restart.
    OutputParts* parts();

    // The module's file name.
    static QString fileName();
    // Where the module is looked for, in order: beside the program (as in
    // the build tree), then in the installation's lib/zqwcce/modules beside
    // bin; after any folder given to searchFirst.
    static QStringList searchFolders(const QString& executableDir);
    // For programs that do not lie beside the module, such as the tests:
    // this folder is searched before the others.
    static void searchFirst(const QString& folder);

private:
    UserDialogs& dialogs_;
    std::unique_ptr<QLibrary> library_;
    std::unique_ptr<OutputParts> parts_;
};
