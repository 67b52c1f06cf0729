#include "commands/filecommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "card/zqwpackage.h"
#include "commands/menuactions.h"
#include "commands/notescommands.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kCardOrPackageFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kSaveCardQuestion = QStringLiteral("Do you wish to save the current file");
const QString kLinkOnCloseQuestion =
    QStringLiteral("Do you wish to link the current notes file to the current card");

}  // namespace

FileCommands::FileCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                           NotesCommands& notesCommands, UserDialogs& dialogs, MenuActions& menu,
                           QWidget& window)
    : document_(document),
      view_(view),
      notes_(notes),
      notesCommands_(notesCommands),
      dialogs_(dialogs),
      menu_(menu),
      window_(window) {
    const auto update = [this] { updateActions(); };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::ControlModifier | key); };
    menu.add(*this, QStringLiteral("newCard"), QStringLiteral("&New"), ctrl(Qt::Key_N), update,
             [this] { newCard(); });
    menu.add(*this, QStringLiteral("openCard"), QStringLiteral("&Open"), ctrl(Qt::Key_O), update,
             [this] { openCard(); });
    menu.addUnavailable(*this, QStringLiteral("importDosCard"), QStringLiteral("I&mport DOS ver"),
                        ctrl(Qt::Key_M));
    menu.add(*this, QStringLiteral("saveCard"), QStringLiteral("&Save"), ctrl(Qt::Key_S), update,
             [this] { saveCard(); });
    menu.add(*this, QStringLiteral("saveCardAs"), QStringLiteral("Save &As"), ctrl(Qt::Key_A),
             update, [this] { saveCardAs(); });
    menu.add(*this, QStringLiteral("closeCard"), QStringLiteral("&Close"), ctrl(Qt::Key_Y), update,
             [this] { closeCard(); });
    menu.add(*this, QStringLiteral("exit"), QStringLiteral("&Exit"), ctrl(Qt::Key_E), update,
             [this] { exit(); });
}

void FileCommands::updateActions() {
    view_.storePendingEdits();
    for (const char* name : {"saveCard", "saveCardAs", "closeCard"})
        MenuActions::setItemEnabled(menu_.find(QLatin1String(name)), document_.isOpen());
}

void FileCommands::takeNotesChanges() {
    if (notes_.isModified()) document_.setModified(true);
}

std::optional<QString> FileCommands::askSaveName() {
    return dialogs_.saveFile(UserDialogs::FileRequest::of(kCardFilter, QStringLiteral("ccf")));
}

FileCommands::SaveResult FileCommands::saveUnderName() {
    if (!document_.isUnnamed()) return document_.save() ? SaveResult::Saved : SaveResult::Failed;
    const std::optional<QString> path = askSaveName();
    if (!path) return SaveResult::Cancelled;
    return document_.saveAs(*path) ? SaveResult::Saved : SaveResult::Failed;
}

bool FileCommands::offerToSave(bool keepAnswer) {
    if (!document_.isOpen() || !document_.isModified()) return true;
    const UserDialogs::Answer answer = dialogs_.question(kSaveCardQuestion, true);
    if (keepAnswer) document_.setLastAnswer(answer);
    switch (answer) {
        case UserDialogs::Answer::Yes:
            // A card that was not written stays, as it would after Cancel in
            // the dialog: anything in its place would lose it.
            return saveUnderName() == SaveResult::Saved;
        case UserDialogs::Answer::No:
            return true;
        case UserDialogs::Answer::Cancel:
            return false;
    }
    return false;
}

void FileCommands::newCard() {
    takeNotesChanges();
    if (!offerToSave(true)) {
        // Cancel still shows the card again from its first group.
        if (document_.lastAnswer() == UserDialogs::Answer::Cancel) view_.showFirstGroup();
        return;
    }
    view_.dropCellEdits();
    document_.startBlankCard();
    view_.showFirstGroup();
}

void FileCommands::openCard() {
    takeNotesChanges();
    if (!offerToSave(false)) return;
    const std::optional<QString> path = dialogs_.openFile(
        UserDialogs::FileRequest::of(kCardOrPackageFilter, QStringLiteral("ccf")));
    if (!path) return;
    openCardOrPackage(*path);
}

void FileCommands::openCardOrPackage(const QString& path) {
    QString cardPath = path;
    // A package named in capital letters is still a package; read as a card
    // it could only be rejected.
    if (QFileInfo(path).suffix().compare(QStringLiteral("zqw"), Qt::CaseInsensitive) == 0) {
        const std::optional<QString> extracted = extractPackage(path);
        if (!extracted) return;
        cardPath = *extracted;
    }
    view_.dropCellEdits();
    document_.openCard(cardPath);
    view_.showFirstGroup();
}

std::optional<QString> FileCommands::extractPackage(const QString& packagePath) {
    const std::optional<QString> folder = dialogs_.chooseFolder(
        QStringLiteral("Select directory for CCF file"), QFileInfo(packagePath).absolutePath());
    if (!folder) return std::nullopt;

    zqw::PackageReader package(packagePath.toStdString());
    if (!package.isOpen()) {
        dialogs_.message(QStringLiteral("Unable to open the ZQW file ") + packagePath +
                         QStringLiteral(": ") + QString::fromStdString(package.error()));
        return std::nullopt;
    }
    // Folder entries name no file; an archive of nothing else holds no card.
    const int first = package.firstFileEntry();
    if (first < 0) {
        dialogs_.message(QStringLiteral("No .ccf files enclosed"));
        return std::nullopt;
    }
    const std::string target = QDir::cleanPath(*folder).toStdString();
    if (!package.extractMatching(target, "*.ccf") || !package.extractMatching(target, "*.txt")) {
        dialogs_.message(QStringLiteral("Unable to extract the ZQW file ") + packagePath +
                         QStringLiteral(": ") + QString::fromStdString(package.error()));
        return std::nullopt;
    }
    const std::string bare =
        zqw::packageEntryBareName(package.storedNames()[static_cast<size_t>(first)]);
    return QString::fromStdString(target + "/" + bare);
}

void FileCommands::saveCard() {
    takeNotesChanges();
    if (!document_.isOpen() || !document_.isModified()) return;
    const bool unnamed = document_.isUnnamed();
    if (saveUnderName() == SaveResult::Saved && unnamed) document_.refreshCaption();
}

void FileCommands::saveCardAs() {
    if (!document_.isOpen()) return;
    const std::optional<QString> path = askSaveName();
    if (path && document_.saveAs(*path)) document_.refreshCaption();
}

void FileCommands::closeCard() {
    if (offerToSave(true)) document_.closeCard();
}

void FileCommands::exit() { window_.window()->close(); }

bool FileCommands::confirmClose() {
    view_.storePendingEdits();
    if (notes_.isModified() && !notesCommands_.offerToSave()) return false;
    zqw::Card& card = document_.card();
    if (!notes_.fileName().isEmpty() && card.notesFileName.empty()) {
        if (dialogs_.question(kLinkOnCloseQuestion, false) == UserDialogs::Answer::Yes) {
            card.notesFileName = notes_.fileName().toStdString();
            card.notesOpen = true;
            document_.setModified(true);
        }
    }
    return offerToSave(true);
}
