#include "app/editorapp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

#include "commands/clipboardcommands.h"
#include "commands/columneditcommand.h"
#include "commands/filecommands.h"
#include "commands/findcommands.h"
#include "commands/linecommands.h"
#include "commands/menuactions.h"
#include "commands/navigationcommands.h"
#include "commands/notescommands.h"
#include "commands/optionscommands.h"
#include "commands/promptcontroller.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "mainwindow/mainwindow.h"
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
    // The store's "path" is set by an installation; running from the build
    // tree, the program folder is the executable's own.
    const QString programDir = settings_->programDir().isEmpty()
                                   ? QCoreApplication::applicationDirPath()
                                   : settings_->programDir();
    // The card fonts ship beside the program; registering them for this
    // process is enough for screen and printer alike.
    for (const char* name : kCardFontFiles) {
        const int id =
            QFontDatabase::addApplicationFont(QDir(programDir).filePath(QLatin1String(name)));
        if (id >= 0) fontIds_.append(id);
    }

    notes_ = std::make_unique<NotesTextEditor>();
    document_ = std::make_unique<CardDocument>(*notes_, dialogs_);
    zqw::Card& card = document_->card();
    card.programDir = programDir.toStdString();
    card.promptFileName = settings_->customPromptFile().toStdString();
    card.packageFileName = settings_->packageFile().toStdString();
    card.suitChars = settings_->suitChars();
    QObject::connect(settings_.get(), &EditorSettings::suitCharsChanged, document_.get(),
                     [this] { document_->card().suitChars = settings_->suitChars(); });
    if (!document_->loadTemplate(QDir(programDir).filePath(QStringLiteral("zqw.sel"))))
        dialogs_.message(QStringLiteral("zqw.sel file not found"));
    openLastCard();
    for (const QString& message : settingsMessages) dialogs_.message(message);

    cells_ = std::make_unique<GridCells>(*document_, *settings_);
    view_ = std::make_unique<SectionView>(*document_, *settings_, *cells_, *notes_, dialogs_);
    menu_ = std::make_unique<MenuActions>(*view_);
    unavailable_ = std::make_unique<QObject>();
    navigation_ = std::make_unique<NavigationCommands>(*view_, *menu_);
    notesCommands_ =
        std::make_unique<NotesCommands>(*document_, *view_, *notes_, *settings_, dialogs_, *menu_);
    fileCommands_ = std::make_unique<FileCommands>(*document_, *view_, *notes_, *notesCommands_,
                                                   dialogs_, *menu_, *view_);
    lineCommands_ = std::make_unique<LineCommands>(*document_, *view_, *menu_);
    clipboardCommands_ = std::make_unique<ClipboardCommands>(*document_, *view_, *notes_, *menu_);
    findCommands_ = std::make_unique<FindCommands>(*document_, *view_, *notes_, dialogs_, *menu_);
    promptController_ = std::make_unique<PromptController>(*document_, *view_, *notes_, *settings_,
                                                           dialogs_, *menu_);
    columnEditCommand_ = std::make_unique<ColumnEditCommand>(*document_, *view_, *settings_,
                                                             *promptController_, dialogs_, *menu_);
    optionsCommands_ =
        std::make_unique<OptionsCommands>(*document_, *view_, *settings_, dialogs_, *menu_);

    // Windows and commands still to come have their items, disabled.
    QObject& later = *unavailable_;
    menu_->addUnavailable(later, QStringLiteral("viewHints"), QStringLiteral("&View hints..."));
    menu_->addUnavailable(later, QStringLiteral("producePackage"),
                          QStringLiteral("&Produce ZQW file"));
    menu_->addUnavailable(later, QStringLiteral("emailPackage"), QStringLiteral("&Email ZQW File"));
    menu_->addUnavailable(later, QStringLiteral("backupPackage"),
                          QStringLiteral("&Backup ZQW File"));
    menu_->addUnavailable(later, QStringLiteral("showAbout"), QStringLiteral("&About"));
    menu_->addUnavailable(later, QStringLiteral("showBasicHelp"), QStringLiteral("&Basic"),
                          QKeySequence(Qt::Key_F1));
    menu_->addUnavailable(later, QStringLiteral("toggleCustomPrompts"),
                          QStringLiteral("&Custom prompts"), QKeySequence(Qt::Key_F4));
    menu_->addUnavailable(later, QStringLiteral("showCompletionGuide"),
                          QStringLiteral("&Guide to completion"));
    menu_->addUnavailable(later, QStringLiteral("showCellHelp"), QStringLiteral("&Help hints"),
                          QKeySequence(Qt::Key_F9));

    QStringList groupItems;
    QStringList sectionItems;
    for (int k = 1; k <= 10; ++k) {
        groupItems << QStringLiteral("selectGroup%1").arg(k);
        sectionItems << QStringLiteral("selectSection%1").arg(k);
    }
    const auto opens = [](auto* commands) {
        return QList<std::function<void()>>{[commands] { commands->updateActions(); }};
    };
    const QList<MenuLayout> menus = {
        {QStringLiteral("fileMenu"),
         QStringLiteral("&File"),
         {QStringLiteral("newCard"), QStringLiteral("openCard"), QStringLiteral("importDosCard"),
          QStringLiteral("saveCard"), QStringLiteral("saveCardAs"), QStringLiteral("closeCard"),
          QStringLiteral("printCard"), QStringLiteral("printLayout"), QStringLiteral("exit")},
         opens(fileCommands_.get())},
        {QStringLiteral("notesMenu"),
         QStringLiteral("&Notes"),
         {QStringLiteral("newNotes"), QStringLiteral("openNotes"), QStringLiteral("saveNotes"),
          QStringLiteral("saveNotesAs"), QStringLiteral("closeNotes"), QStringLiteral("printNotes"),
          QStringLiteral("-"), QStringLiteral("linkNotesToCard")},
         opens(notesCommands_.get())},
        {QStringLiteral("topMenu"), QStringLiteral("&Top"), groupItems, {}},
        {QStringLiteral("rightMenu"), QStringLiteral("&Right"), sectionItems, {}},
        {QStringLiteral("editMenu"),
         QStringLiteral("&Edit"),
         {QStringLiteral("insertLineBefore"), QStringLiteral("deleteLine"),
          QStringLiteral("insertLineAfter"), QStringLiteral("replicateDown"),
          QStringLiteral("find"), QStringLiteral("replace"), QStringLiteral("findAgain"),
          QStringLiteral("copy"), QStringLiteral("paste"), QStringLiteral("cut"),
          QStringLiteral("undo"), QStringLiteral("redo"), QStringLiteral("editColumn")},
         {[this] { lineCommands_->updateActions(); }, [this] { findCommands_->updateActions(); },
          [this] { clipboardCommands_->updateActions(); }}},
        {QStringLiteral("optionsMenu"),
         QStringLiteral("&Options"),
         {QStringLiteral("chooseCardFont"), QStringLiteral("chooseNotesFont"),
          QStringLiteral("editPrintLayout"), QStringLiteral("viewHints"),
          QStringLiteral("toggleNoteTabs"), QStringLiteral("toggleRightMousePrompts"),
          QStringLiteral("producePackage"), QStringLiteral("emailPackage"),
          QStringLiteral("backupPackage"), QStringLiteral("chooseSuitSymbols"),
          QStringLiteral("editAuctions"), QStringLiteral("toggleTrueColumnWidth"),
          QStringLiteral("togglePrintAuctions")},
         {}},
        {QStringLiteral("helpMenu"),
         QStringLiteral("&Help"),
         {QStringLiteral("showAbout"), QStringLiteral("showBasicHelp"),
          QStringLiteral("showPrompts"), QStringLiteral("attachNoteToCell"),
          QStringLiteral("toggleCustomPrompts"), QStringLiteral("showCompletionGuide"),
          QStringLiteral("showCellHelp")},
         {}},
    };
    mainWindow_ = std::make_unique<MainWindow>(*view_, *document_, *fileCommands_, *menu_, menus);
    mainWindow_->setGeometry(settings_->windowBounds());
}

EditorApp::~EditorApp() {
    writeSettings();
    mainWindow_.reset();
    for (int id : fontIds_) QFontDatabase::removeApplicationFont(id);
}

QAction* EditorApp::action(const QString& objectName) const { return menu_->find(objectName); }

void EditorApp::openLastCard() {
    zqw::Card& card = document_->card();
    const QString last = settings_->cardFile();
    if (!last.isEmpty() && QFileInfo(last).isFile()) {
        document_->openCard(last);
    } else {
        document_->startBlankCard();
        notes_->startEmpty();
        card.notesOpen = true;
    }
}

void EditorApp::writeSettings() {
    const zqw::Card& card = document_->card();
    settings_->setWindowBounds(mainWindow_->geometry());
    settings_->setCardFile(QString::fromStdString(card.cardFileName));
    settings_->setCustomPromptFile(QString::fromStdString(card.promptFileName));
    settings_->setPackageFile(QString::fromStdString(card.packageFileName));
    settings_->write(settingsFile_, profile_);
    settingsFile_.save();
    profile_.sync();
}
