#include "app/editorapp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

#include "app/fontwarmup.h"
#include "app/recoveryfiles.h"
#include "card/filelimits.h"
#include "card/textfile.h"
#include "commands/clipboardcommands.h"
#include "commands/columneditcommand.h"
#include "commands/commandcontext.h"
#include "commands/custompromptscommand.h"
#include "commands/filecommands.h"
#include "commands/findcommands.h"
#include "commands/helpcommands.h"
#include "commands/linecommands.h"
#include "commands/menuactions.h"
#include "commands/navigationcommands.h"
#include "commands/notescommands.h"
#include "commands/optionscommands.h"
#include "commands/outputmodule.h"
#include "commands/packagecommands.h"
#include "commands/printcommands.h"
#include "commands/promptcontroller.h"
#include "commands/reviewcommands.h"
#include "commands/undocommands.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/menubarstyle.h"
#include "views/gridcells.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const char* const kCardFontFiles[] = {"cardaral.ttf", "cardcour.ttf", "cardfoot.ttf",
                                      "cardtime.ttf"};

}  // namespace

EditorApp::EditorApp(UserDialogs& dialogs)
    : dialogs_(dialogs), settingsFile_(userSettingsFilePath()) {
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    settings_ = std::make_unique<EditorSettings>();
    const QStringList settingsMessages = settings_->read(settingsFile_, profile_);
    const QString programDir = settings_->programDir();
    // The card fonts ship beside the program; registering them for this
    // process is enough for screen and printer alike.
    finishFontConfigLoading();
    for (const char* name : kCardFontFiles) {
        const int id =
            QFontDatabase::addApplicationFont(QDir(programDir).filePath(QLatin1String(name)));
        if (id >= 0) fontIds_.append(id);
    }

    notes_ = std::make_unique<NotesTextEditor>();
    document_ = std::make_unique<CardDocument>(*notes_, dialogs_, profile_);
    if (!document_->loadTemplate(QDir(programDir).filePath(QStringLiteral("zqw.sel")))) {
        dialogs_.message(QStringLiteral("zqw.sel file not found"));
        return;
    }
    openLastCard();
    for (const QString& message : settingsMessages) dialogs_.message(message);
    recovery_ = std::make_unique<RecoveryFiles>([this] {
        // What is typed in an open cell counts too: it goes into the copy,
        // not into the card.
        return std::make_pair(
            document_->recoverySnapshot(view_ ? view_->uncommittedRows()
                                              : QList<std::pair<int, std::string>>()),
            notes_->fileBytes());
    });
    offerRecoveredCopies();

    cells_ = std::make_unique<GridCells>(*document_, *settings_);
    view_ = std::make_unique<SectionView>(*document_, *settings_, *cells_, *notes_, dialogs_);
    output_ = std::make_unique<OutputModule>(dialogs_);
    menu_ = std::make_unique<MenuActions>(*view_);
    const CommandContext context{*document_, *view_,   *notes_, *settings_,
                                 dialogs_,   *output_, *menu_};
    navigation_ = std::make_unique<NavigationCommands>(context);
    notesCommands_ = std::make_unique<NotesCommands>(context);
    fileCommands_ = std::make_unique<FileCommands>(context, *notesCommands_, *view_);
    lineCommands_ = std::make_unique<LineCommands>(context);
    clipboardCommands_ = std::make_unique<ClipboardCommands>(context);
    undoCommands_ = std::make_unique<UndoCommands>(context);
    findCommands_ = std::make_unique<FindCommands>(context);
    promptController_ = std::make_unique<PromptController>(context);
    columnEditCommand_ = std::make_unique<ColumnEditCommand>(context, *promptController_);
    optionsCommands_ = std::make_unique<OptionsCommands>(context);
    printCommands_ = std::make_unique<PrintCommands>(context);
    QObject::connect(lineCommands_.get(), &LineCommands::refreshPreview, printCommands_.get(),
                     &PrintCommands::refreshPreview);
    customPromptsCommand_ = std::make_unique<CustomPromptsCommand>(context, *promptController_);
    helpCommands_ = std::make_unique<HelpCommands>(context);
    reviewCommands_ = std::make_unique<ReviewCommands>(context);
    packageCommands_ = std::make_unique<PackageCommands>(
        context, [this] { return reviewCommands_->checkBeforeSending(); });

    MenuBarStyle::install();
    mainWindow_ = std::make_unique<MainWindow>(*view_, *document_, *fileCommands_, *menu_);
    // Every change, saved or given up, decides whether a recovery copy is
    // kept.
    QObject::connect(document_.get(), &CardDocument::modifiedChanged, mainWindow_.get(),
                     [this] { noteChanges(); });
    QObject::connect(&document_->undoStack(), &QUndoStack::indexChanged, mainWindow_.get(),
                     [this] { noteChanges(); });
    QObject::connect(notes_.get(), &QPlainTextEdit::textChanged, mainWindow_.get(),
                     [this] { noteChanges(); });
    QObject::connect(view_.get(), &SectionView::cellTyped, mainWindow_.get(),
                     [this] { noteChanges(); });
    QObject::connect(notes_->document(), &QTextDocument::modificationChanged, mainWindow_.get(),
                     [this] { noteChanges(); });
    mainWindow_->setGeometry(settings_->windowBounds());
    // Queued, so the named card and the hints come up over the window rather
    // than before it; the card first, so the hints show over it.
    QObject::connect(
        mainWindow_.get(), &MainWindow::firstShown, helpCommands_.get(),
        [this] {
            if (!namedFile_.isEmpty()) fileCommands_->openNamedFile(namedFile_);
            helpCommands_->showStartupHints();
        },
        Qt::QueuedConnection);
}

void EditorApp::offerRecoveredCopies() {
    for (const RecoveryFiles::Copy& copy : RecoveryFiles::leftBehind()) {
        const QString name =
            copy.cardFile.isEmpty() ? QString::fromLatin1(zqw::kUnnamedFile) : copy.cardFile;
        const UserDialogs::Answer answer = dialogs_.question(
            QStringLiteral("The editor did not close normally. Restore the unsaved changes to ") +
                name + QStringLiteral("?"),
            false);
        if (answer != UserDialogs::Answer::Yes) {
            RecoveryFiles::remove(copy);
            continue;
        }
        document_->openRecoveredCopy(copy.cardCopy, copy.cardFile, copy.cardState);
        if (const auto notes =
                zqw::readRegularFile(copy.notesCopy.toStdString(), zqw::kMostNotesBytes, nullptr)) {
            notes_->restoreText(*notes);
            notes_->setFileName(copy.notesFile);
            if (!copy.notesFile.isEmpty())
                document_->restoreKnownState(copy.notesFile, copy.notesState);
            document_->setNotesOpen(true);
        }
        // This editor keeps its own copy from now on.
        RecoveryFiles::remove(copy);
        noteChanges();
        return;
    }
}

void EditorApp::noteChanges() {
    if (!document_->isModified() && !notes_->isModified() &&
        (!view_ || view_->uncommittedRows().isEmpty())) {
        recovery_->discard();
        return;
    }
    recovery_->changed(document_->fileName(), notes_->fileName(),
                       document_->knownState(document_->fileName()),
                       document_->knownState(notes_->fileName()));
}

EditorApp::~EditorApp() {
    // A normal end: whatever is unsaved was given up at the close question.
    if (recovery_) recovery_->discard();
    if (isReady()) writeSettings();
    mainWindow_.reset();
    for (int id : fontIds_) QFontDatabase::removeApplicationFont(id);
}

QAction* EditorApp::action(const QString& objectName) const {
    return menu_ ? menu_->find(objectName) : nullptr;
}

void EditorApp::openLastCard() {
    const QString last = settings_->cardFile();
    if (last.isEmpty() || !QFileInfo(last).isFile() || !document_->openCard(last)) {
        document_->startBlankCard();
        notes_->startEmpty();
        document_->setNotesOpen(true);
    }
}

void EditorApp::writeSettings() {
    const zqw::Card& card = document_->card();
    settings_->setWindowBounds(mainWindow_->geometry());
    settings_->setCardFile(QString::fromStdString(card.cardFileName));
    settings_->write(settingsFile_, profile_);
    settingsFile_.save();
    profile_.sync();
}
