#include "commands/filecommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include "card/dosimport.h"
#include "commands/commandcontext.h"
#include "commands/folderchoice.h"
#include "commands/menuactions.h"
#include "commands/notescommands.h"
#include "commands/outputmodule.h"
#include "commands/outputparts.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "progress/progressdialogview.h"
#include "progress/workprogress.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kCardOrPackageFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kDosCardFilter = QStringLiteral("DOS Convention card files (*.ver)|*.ver");
const QString kSaveCardQuestion = QStringLiteral("Do you wish to save the current file");
const QString kLinkOnCloseQuestion =
    QStringLiteral("Do you wish to link the current notes file to the current card");

// Gathers the imported notes lines and puts them after the last line of the
// notes in one edit.
class ImportedNotes : public zqw::NotesAppender {
public:
    void appendLine(const std::string& line) override {
        text_ += QLatin1Char('\n') + fromCardText(line);
    }
    void appendTo(NotesTextEditor& notes) const {
        if (text_.isEmpty()) return;
        notes.moveCursor(QTextCursor::End);
        notes.insertAtCaret(text_);
    }

private:
    QString text_;
};

// What became of a package's extraction, off the window's thread.
struct Extraction {
    bool opened = false;
    bool hasCard = false;
    bool extracted = false;
    bool cancelled = false;
    std::string error;
    std::vector<std::string> notices;
    std::string cardName;
    std::vector<std::string> notesFiles;
};

}  // namespace

FileCommands::FileCommands(const CommandContext& context, NotesCommands& notesCommands,
                           QWidget& window)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      notesCommands_(notesCommands),
      settings_(context.settings),
      dialogs_(context.dialogs),
      output_(context.output),
      menu_(context.menu),
      window_(window) {
    const auto update = [this] { updateActions(); };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::ControlModifier | key); };
    context.menu.add(*this, QStringLiteral("newCard"), QStringLiteral("&New"), ctrl(Qt::Key_N),
                     update, [this] { newCard(); });
    context.menu.add(*this, QStringLiteral("openCard"), QStringLiteral("&Open"), ctrl(Qt::Key_O),
                     update, [this] { openCard(); });
    context.menu.add(*this, QStringLiteral("importDosCard"), QStringLiteral("I&mport DOS ver"),
                     ctrl(Qt::Key_M), update, [this] { importDosCard(); });
    context.menu.add(*this, QStringLiteral("saveCard"), QStringLiteral("&Save"), ctrl(Qt::Key_S),
                     update, [this] { saveCard(); });
    context.menu.add(*this, QStringLiteral("saveCardAs"), QStringLiteral("Save &As"),
                     ctrl(Qt::Key_A), update, [this] { saveCardAs(); });
    context.menu.add(*this, QStringLiteral("closeCard"), QStringLiteral("&Close"), ctrl(Qt::Key_Y),
                     update, [this] { closeCard(); });
    context.menu.add(*this, QStringLiteral("exit"), QStringLiteral("&Exit"), ctrl(Qt::Key_E),
                     update, [this] { exit(); });
}

FileCommands::~FileCommands() = default;

void FileCommands::updateActions() {
    view_.storePendingEdits();
    for (const char* name : {"saveCard", "saveCardAs", "closeCard"})
        MenuActions::setItemEnabled(menu_.find(QLatin1String(name)), document_.isOpen());
}

std::optional<QString> FileCommands::askSaveName() {
    return dialogs_.saveFile(UserDialogs::FileRequest::of(kCardFilter, QStringLiteral("ccf")));
}

FileCommands::SaveResult FileCommands::saveUnderName(CardDocument::LinkedNotes notes) {
    // Saving the card writes its linked notes too.
    if (notes == CardDocument::LinkedNotes::Write && document_.hasOpenLinkedNotes() &&
        !notesCommands_.confirmStorable())
        return SaveResult::Cancelled;
    if (!document_.isUnnamed())
        return document_.save(notes) ? SaveResult::Saved : SaveResult::Failed;
    const std::optional<QString> path = askSaveName();
    if (!path) return SaveResult::Cancelled;
    return document_.saveAs(*path, notes) ? SaveResult::Saved : SaveResult::Failed;
}

FileCommands::SaveOffer FileCommands::offerToSave(Changes changes,
                                                  CardDocument::LinkedNotes notes) {
    const bool changed =
        document_.isModified() || (changes == Changes::CardOrNotes && notes_.isModified());
    if (!document_.isOpen() || !changed) return SaveOffer::GoOn;
    switch (dialogs_.question(kSaveCardQuestion, true)) {
        case UserDialogs::Answer::Yes:
            // A card that was not written stays, as it would after Cancel in
            // the dialog: anything in its place would lose it.
            return saveUnderName(notes) == SaveResult::Saved ? SaveOffer::GoOn
                                                             : SaveOffer::NotSaved;
        case UserDialogs::Answer::No:
            return SaveOffer::GoOn;
        case UserDialogs::Answer::Cancel:
            return SaveOffer::Cancelled;
    }
    return SaveOffer::Cancelled;
}

bool FileCommands::newCard() {
    const SaveOffer offer = offerToSave(Changes::CardOrNotes);
    if (offer != SaveOffer::GoOn) {
        // Cancel still shows the card again from its first group.
        if (offer == SaveOffer::Cancelled) view_.showFirstGroup();
        return false;
    }
    view_.dropCellEdits();
    document_.startBlankCard();
    view_.showFirstGroup();
    return true;
}

void FileCommands::openCard() {
    if (offerToSave(Changes::CardOrNotes) != SaveOffer::GoOn) return;
    const std::optional<QString> path = dialogs_.openFile(
        UserDialogs::FileRequest::of(kCardOrPackageFilter, QStringLiteral("ccf")));
    if (!path) return;
    openCardOrPackage(*path);
}

void FileCommands::openCardOrPackage(const QString& path) {
    // A package named in capital letters is still a package; read as a card
    // it could only be rejected.
    if (QFileInfo(path).suffix().compare(QStringLiteral("zqw"), Qt::CaseInsensitive) == 0) {
        const std::optional<ExtractedPackage> extracted = extractPackage(path);
        if (!extracted) return;
        view_.dropCellEdits();
        document_.openPackagedCard(extracted->cardFile, extracted->notesFiles);
    } else {
        view_.dropCellEdits();
        document_.openCard(path);
    }
    view_.showFirstGroup();
}

WorkProgress& FileCommands::extractionProgress() {
    if (!extractionProgress_) extractionProgress_ = std::make_unique<ProgressDialogView>(&view_);
    return *extractionProgress_;
}

std::optional<FileCommands::ExtractedPackage> FileCommands::extractPackage(
    const QString& packagePath) {
    const std::optional<QString> folder =
        chooseOrCreateFolder(dialogs_, QStringLiteral("Select directory for CCF file"),
                             QFileInfo(packagePath).absolutePath());
    if (!folder) return std::nullopt;
    const std::string target = QDir::cleanPath(*folder).toStdString();
    OutputParts* parts = output_.parts();
    if (!parts) return std::nullopt;

    // A package may hold some megabytes to read, check and unpack: the
    // window goes on painting meanwhile, and a progress dialog comes up
    // when it takes long.
    Extraction outcome;
    runOffWindowThread(
        extractionProgress(), QStringLiteral("Extracting the ZQW file ") + packagePath,
        [&outcome, &packagePath, &target, parts](const ProgressReport& report) {
            const std::unique_ptr<PackageArchive> opened =
                parts->openPackage(packagePath.toStdString());
            PackageArchive& package = *opened;
            outcome.opened = package.isOpen();
            outcome.notices = package.notices();
            // Folder entries name no file; an archive of nothing else holds
            // no card.
            const int first = package.firstFileEntry();
            outcome.hasCard = first >= 0;
            if (outcome.opened && outcome.hasCard) {
                package.setProgress([&outcome, &report](uint64_t done, uint64_t total) {
                    outcome.cancelled = !report(done, total);
                    return !outcome.cancelled;
                });
                outcome.extracted = package.extractMatching(target, "*.ccf") &&
                                    package.extractMatching(target, "*.txt", &outcome.notesFiles);
                outcome.cardName =
                    parts->packageEntryBareName(package.storedNames()[static_cast<size_t>(first)]);
            }
            outcome.error = package.error();
        });

    if (!outcome.opened) {
        dialogs_.message(QStringLiteral("Unable to open the ZQW file ") + packagePath +
                         QStringLiteral(": ") + fromMessageText(outcome.error));
        return std::nullopt;
    }
    // Entries left out (a second entry of the same name, symbolic links)
    // would otherwise go unnoticed.
    if (!outcome.notices.empty()) {
        QStringList notices;
        for (const std::string& notice : outcome.notices) notices << fromMessageText(notice);
        dialogs_.message(notices.join(QLatin1Char('\n')));
    }
    if (!outcome.hasCard) {
        dialogs_.message(QStringLiteral("No .ccf files enclosed"));
        return std::nullopt;
    }
    if (outcome.cancelled) return std::nullopt;
    if (!outcome.extracted) {
        dialogs_.message(QStringLiteral("Unable to extract the ZQW file ") + packagePath +
                         QStringLiteral(": ") + fromMessageText(outcome.error));
        return std::nullopt;
    }
    ExtractedPackage extracted;
    extracted.cardFile = QString::fromStdString(target + "/" + outcome.cardName);
    for (const std::string& file : outcome.notesFiles) {
        extracted.notesFiles << QString::fromStdString(file);
    }
    return extracted;
}

void FileCommands::importDosCard() {
    const std::optional<QString> path =
        dialogs_.openFile(UserDialogs::FileRequest::of(kDosCardFilter, QStringLiteral("ver")));
    if (!path) return;
    // The new card and notes come first, with their save questions. A card
    // New could not replace (Cancel, its save failed, or its save dialog was
    // cancelled) is still the user's: the import must not fill it; likewise
    // notes that were to be saved and were not.
    if (!newCard() || !notesCommands_.newNotes()) return;

    // The cell editor opened on the new card would write its empty text
    // over the imported one when it closes.
    view_.dropCellEdits();
    ImportedNotes imported;
    if (!document_.importDosCard(*path, imported, settings_.suitChars())) return;
    imported.appendTo(notes_);
    view_.showFirstGroup();
    document_.refreshCaption();
}

void FileCommands::saveCard() {
    // The notes' changes count as the card's: saving the card writes the
    // notes it links.
    if (!document_.isOpen() || !(document_.isModified() || notes_.isModified())) return;
    const bool unnamed = document_.isUnnamed();
    if (saveUnderName() == SaveResult::Saved && unnamed) document_.refreshCaption();
}

void FileCommands::saveCardAs() {
    if (!document_.isOpen()) return;
    const std::optional<QString> path = askSaveName();
    if (path && document_.saveAs(*path)) document_.refreshCaption();
}

void FileCommands::closeCard() {
    if (offerToSave(Changes::Card) != SaveOffer::GoOn) return;
    document_.closeCard();
    // The closed card's rows stay on screen, read-only.
    view_.dropCellEdits();
    view_.refreshSection();
}

void FileCommands::exit() { window_.window()->close(); }

bool FileCommands::confirmClose() {
    view_.storePendingEdits();
    // No to saving the notes holds for the card's save too, which would
    // otherwise write the linked notes all the same.
    CardDocument::LinkedNotes linkedNotes = CardDocument::LinkedNotes::Write;
    if (notes_.isModified()) {
        const NotesCommands::SaveOffer offer = notesCommands_.offerToSave();
        if (offer == NotesCommands::SaveOffer::Stop) return false;
        if (offer == NotesCommands::SaveOffer::Declined)
            linkedNotes = CardDocument::LinkedNotes::LeaveAsTheyAre;
    }
    if (!notes_.fileName().isEmpty() && document_.linkedNotesFile().isEmpty()) {
        if (dialogs_.question(kLinkOnCloseQuestion, false) == UserDialogs::Answer::Yes)
            document_.linkNotes(notes_.fileName());
    }
    return offerToSave(Changes::Card, linkedNotes) == SaveOffer::GoOn;
}

void FileCommands::openNamedFile(const QString& path) {
    if (offerToSave(Changes::CardOrNotes) != SaveOffer::GoOn) return;
    openCardOrPackage(path);
}
