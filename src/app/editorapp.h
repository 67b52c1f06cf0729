#pragma once

#include <QList>
#include <QObject>
#include <memory>

#include "dialogs/screenplacement.h"
#include "platform/inifile.h"
#include "platform/profilestore.h"

class CardDocument;
class ClipboardCommands;
class UndoCommands;
class ColumnEditCommand;
class CustomPromptsCommand;
class EditorSettings;
class FileCommands;
class FindCommands;
class GridCells;
class HelpCommands;
class LineCommands;
class MainWindow;
class MenuActions;
class NavigationCommands;
class NotesCommands;
class NotesTextEditor;
class OptionsCommands;
class OutputModule;
class PackageCommands;
class PrintCommands;
class ReviewCommands;
class PromptController;
class RecoveryFiles;
class QAction;
class SectionView;
class UserDialogs;

// The whole editor, built in order and torn down in reverse: the settings,
// the notes editor, the card, the view, the commands, the window. Each part
// gets only what it uses. The settings are written once everything that
// changes them is gone.
class EditorApp {
public:
    explicit EditorApp(UserDialogs& dialogs);
    ~EditorApp();

    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    // False when start-up ended early: without the card template there is
    // no card to show, and nothing may be written over the user's card.
    bool isReady() const { return mainWindow_ != nullptr; }

    MainWindow& mainWindow() { return *mainWindow_; }
    CardDocument& document() { return *document_; }
    EditorSettings& settings() { return *settings_; }
    SectionView& sectionView() { return *view_; }
    NotesTextEditor& notesEditor() { return *notes_; }
    FileCommands& fileCommands() { return *fileCommands_; }
    NotesCommands& notesCommands() { return *notesCommands_; }
    LineCommands& lineCommands() { return *lineCommands_; }
    ClipboardCommands& clipboardCommands() { return *clipboardCommands_; }
    UndoCommands& undoCommands() { return *undoCommands_; }
    FindCommands& findCommands() { return *findCommands_; }
    PromptController& promptController() { return *promptController_; }
    ColumnEditCommand& columnEditCommand() { return *columnEditCommand_; }
    OptionsCommands& optionsCommands() { return *optionsCommands_; }
    PrintCommands& printCommands() { return *printCommands_; }
    CustomPromptsCommand& customPromptsCommand() { return *customPromptsCommand_; }
    HelpCommands& helpCommands() { return *helpCommands_; }
    PackageCommands& packageCommands() { return *packageCommands_; }
    // A menu item by its name (the name of the command it runs).
    QAction* action(const QString& objectName) const;
    // A card or package to open once the window is first shown, as a file
    // manager names it on the command line.
    void openWhenShown(const QString& path) { namedFile_ = path; }

private:
    void openLastCard();
    // Copies of unsaved work a stopped editor left behind, offered one by
    // one until the user takes one.
    void offerRecoveredCopies();
    // Keeps the recovery copy in step with the unsaved changes.
    void noteChanges();
    void writeSettings();

    UserDialogs& dialogs_;
    // Every window the editor shows opens inside the screen.
    ScreenPlacement screenPlacement_;
    QString namedFile_;
    IniFile settingsFile_;
    ProfileStore profile_;
    std::unique_ptr<EditorSettings> settings_;
    QList<int> fontIds_;
    std::unique_ptr<NotesTextEditor> notes_;
    std::unique_ptr<CardDocument> document_;
    std::unique_ptr<RecoveryFiles> recovery_;
    std::unique_ptr<GridCells> cells_;
    std::unique_ptr<SectionView> view_;
    // Printing, packages and e-mail, loaded when first used; it outlives
    // every window it makes.
    std::unique_ptr<OutputModule> output_;
    std::unique_ptr<MenuActions> menu_;
    std::unique_ptr<NavigationCommands> navigation_;
    std::unique_ptr<NotesCommands> notesCommands_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::unique_ptr<LineCommands> lineCommands_;
    std::unique_ptr<ClipboardCommands> clipboardCommands_;
    std::unique_ptr<UndoCommands> undoCommands_;
    std::unique_ptr<FindCommands> findCommands_;
    std::unique_ptr<PromptController> promptController_;
    std::unique_ptr<ColumnEditCommand> columnEditCommand_;
    std::unique_ptr<OptionsCommands> optionsCommands_;
    std::unique_ptr<PrintCommands> printCommands_;
    std::unique_ptr<CustomPromptsCommand> customPromptsCommand_;
    std::unique_ptr<HelpCommands> helpCommands_;
    std::unique_ptr<ReviewCommands> reviewCommands_;
    std::unique_ptr<PackageCommands> packageCommands_;
    std::unique_ptr<MainWindow> mainWindow_;
};
