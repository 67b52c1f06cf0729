#pragma once

#include <QAction>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTabBar>
#include <array>
#include <functional>
#include <memory>

#include "card/card.h"
#include "mainwindow/cardgrid.h"
#include "mainwindow/notestexteditor.h"
#include "mainwindow/notetabs.h"
#include "mainwindow/rotatedlabel.h"
#include "platform/inifile.h"
#include "platform/profilestore.h"
#include "platform/userdialogs.h"

class AppWindows;
class QMenu;
class QShortcut;

// Where Esc returns to from the notes: Group -1 means nowhere.
struct ReturnPosition {
    int grid = 1;
    int row = 0;
    int column = 0;
    int group = -1;
    int section = 0;
};

// The editor that last received the focus or a key, with its text and
// selection, where prompts are inserted. selStart -1 means none.
struct InsertionPointState {
    QPointer<QLineEdit> editor;
    QString text;
    int selStart = -1;
    int selLength = 0;
};

// The main window: the card's groups as top tabs, a group's sections as tabs
// on the right edge, a section in one or two grids, and the notes editor on
// the last top tab.
class TRUVCCE : public QMainWindow, public CardGridOwner, private zqw::MessageSink {
    Q_OBJECT

public:
    explicit TRUVCCE(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~TRUVCCE() override;

    // The other windows, created after this one; see AppWindows.
    void attachWindows(AppWindows* windows);
    // Writes the settings and releases the fonts; run once the other
    // windows have written theirs.
    void FormDestroy();

    zqw::Card& card() { return card_; }
    UserDialogs& dialogs() { return dialogs_; }
    IniFile& settings() { return settings_; }
    ProfileStore& profile() { return profile_; }
    NotesTextEditor& notesEditor() { return *TFE; }
    CardGrid& grid(int number) { return number == 1 ? *OvcTable1 : *OvcTable2; }
    QTabBar& topTabs() { return *NB1; }
    QTabBar& rightTabs() { return *NB2; }
    QLabel& captionLine() { return *Label1; }
    RotatedLabel& sectionCaption() { return *Label2; }
    QMenu* menuNamed(const QString& objectName) const;
    static void setItemEnabled(QAction* item, bool enabled);
    static bool itemEnabled(const QAction* item);
    QAction* actionNamed(const QString& objectName) const;
    NoteTabs& noteTabs() { return noteTabs_; }

    QFont DisplayFont;
    QFont NotesFont;
    bool FormBusy = true;
    bool TabSwitching = false;
    int ActiveGroup = 0;
    int ActiveSectionTab = 0;
    int ActiveGrid = 1;
    ReturnPosition NoteReturnPosition;
    InsertionPointState InsertionPoint;
    int HintNo = 1;
    bool HintStart = true;

    // --- navigation ---------------------------------------------------------
    void NB1PageChange();
    void NB1PageChanged();
    void NB2PageChanged();
    void TablesResize();
    void FormResize();
    void ReturnToCard();
    void TT11Click(int tag);
    void RT11Click(int tag);
    // Selects a tab as a click would (the change handlers run only when the
    // index really changes).
    void selectTopTab(int index);
    void selectRightTab(int index);
    int printColumnWidth();

    // --- grid callbacks -----------------------------------------------------
    QString OvcTableGetCellData(int grid, int row, int column);
    void OvcTableDoneEdit(int grid, int row, int column);
    void STExit(int grid, const QString& text);
    void ST1KeyUp(QLineEdit* editor, int key);
    void TBColumnsChanged(int grid);
    void OvcTable1MouseMove(int gridNumber, int row);
    void captureInsertionPoint(QLineEdit* editor);
    void clearInsertionPoint() { InsertionPoint.selStart = -1; }
    // Ends both grids' edits keeping the text, then edits again.
    void storePendingEdits();

    // --- card file commands (filecommands.cpp) --------------------------------
    void MenFileClick();
    void New1Click();
    void LOad1Click();
    // Shows the card open dialog and opens the chosen card or package.
    void OpenFile();
    // Opens a card file, or a package (".zqw" in any letter case) after
    // asking for the folder to extract it into.
    void openCardOrPackage(const QString& path);
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void Exit1Click();
    // The close question; true when the window may close.
    bool FormCloseQuery();
    // The button of the most recent save or link question.
    UserDialogs::Answer LastAnswer = UserDialogs::Answer::No;

private:
    enum class SaveResult { Saved, Cancelled, Failed };
    // Writes a named card, or asks for a name first for an unnamed one.
    SaveResult saveCardUnderName();
    bool writeCardAs(const QString& path);
    // The card save dialog; nullopt when cancelled.
    std::optional<QString> askCardSaveName();
    void setCardCaption();
    // Closes the cell editors without storing them: their text belongs to
    // the card about to be replaced.
    void dropCellEdits();
    void showFirstGroup();
    // Extracts a package into a folder the user picks; the extracted card's
    // path, or nullopt when the command stops.
    std::optional<QString> extractPackage(const QString& packagePath);

public:
    // --- end card file commands ---------------------------------------------

    // --- notes commands (notescommands.cpp) -----------------------------------
    void NoteFile1Click();
    void New3Click();
    void load2Click();
    void LoadNoteFile();
    void Save2Click();
    void SaveAs2Click();
    void Close2Click();
    void Setnotefile1Click();
    void Notes1Click();

private:
    // The notes save question for modified notes (answer kept in
    // LastAnswer); Yes saves them, asking for a name when they have none.
    // False when the calling command is to stop: Cancel, a cancelled
    // dialog or a failed save.
    bool offerToSaveNotes();
    // The notes save dialog; nullopt when cancelled.
    std::optional<QString> askNotesSaveName();
    // Gives the notes editor the name and saves it there; a failure is
    // shown and returns false.
    bool saveNotesAs(const QString& path);
    // "Notes file: " and the editor's file name, while the notes show.
    void showNotesFileCaption();
    void showNotesGroup();

public:
    // --- end notes commands ---------------------------------------------------

    // --- line and clipboard commands (editcommands.cpp) -----------------------
    void Edit1Click();
    void Insertlinebefore1Click();
    void Deleteline1Click();
    void InsertlineAfter1Click();
    void Replicatedown1Click();
    void Copy1Click();
    void Paste1Click();
    void Cut1Click();
    void Undo1Click();
    void ReDo1Click();
    // Refreshes an open card print preview after a line command.
    void RePrint();
    // Closes the card print preview if one is open, remembering where it
    // stood, and tells whether it was open; RePrint then posts the user
    // message, whose handler shows the preview again there. The card print
    // window sets it; unset, there is no preview to refresh.
    std::function<bool()> closeCardPreview;
    // --- end line and clipboard commands --------------------------------------

    // --- find and replace (findcommands.cpp) ----------------------------------
    void Findstring1Click();
    void Replacestring1Click();
    void Searchagain1Click();
    // --- end find and replace -------------------------------------------------

    // --- prompts and column edit (promptcommands.cpp) -------------------------
    void Prompts1Click();
    void TB1MouseDown(QLineEdit* editor, Qt::MouseButton button);
    void TB1MouseUp(QLineEdit* editor, Qt::MouseButton button);
    void Notepadcolumnedit1Click();
    // Puts a prompt in place of the insertion point's selection (the prompt
    // list and the custom prompts both insert through it).
    void InsertPromptText(const QString& prompt);
    // A prompt chosen from the list: inserted, and a "*Brown" prompt on the
    // special methods section also attaches note 999.
    void Prompts3Click(const QString& prompt);
    // Hides the prompt list; runs whenever a grid's active cell moves.
    void hidePromptList();
    // Captures the insertion point from the column edit's memo.
    void captureMemoInsertionPoint();

private:
    void connectPromptWindows();
    void placePromptList(QPoint windowOrigin, QPoint mouse);
    void showPromptList();
    QStringList cellPrompts(int lineIndex, int gridColumn) const;
    void reloadGridRows(int gridNumber, int row, int column);
    // The column edit's memo when it holds the insertion point (the cell
    // editors are InsertionPoint.editor itself).
    QPointer<QWidget> insertionMemo_;
    bool promptWindowsConnected_ = false;

public:
    // --- end prompts and column edit ------------------------------------------

    // The private user message of the print preview: posted, then handled on
    // the event loop after the current command has finished.
    void postUserMessage();
    std::function<void()> userMessageHandler;

    // --- window menu handlers (menus.cpp) ---------------------------------------
    void Cardlayout1Click();
    void DisplayFont1Click();
    void NotesFont1Click();
    void Cardsymbols1Click();
    void NoteTabs1Click();
    void RightMousebuttonprompts1Click();
    void printauctionClick();
    void TFEKeyUp(int key);

    // The current section, or nullptr on the notes group.
    const zqw::Section* currentSection() const;
    int currentSectionIndex() const;
    bool notesGroupShowing() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMessage(std::string_view text) override;

    void FormCreate();
    void FormShow();
    void createControls();
    void createMenus();
    void readSettings();
    void registerCardFonts();
    void applyDisplayFont();
    void applyNotesFont();
    void setTopCaptions();
    void setRightCaptions(int length);
    void hideRightItemsFrom(int first);
    void showSection();
    int tabHeight(const QFont& font) const;
    int label1Height() const;
    int clientWidth() const;
    int clientHeight() const;

    // CardGridOwner
    QString cellText(int grid, int row, int column) override;
    bool cellEditable(int grid, int row, int column) override;
    void editorExit(int grid, const QString& text) override;
    void doneEdit(int grid, int row, int column) override;
    void editorEnter(int grid, QLineEdit* editor) override;
    void editorKeyUp(int grid, QLineEdit* editor, int key) override;
    void editorMouseDown(int grid, QLineEdit* editor, Qt::MouseButton button) override;
    void editorMouseUp(int grid, QLineEdit* editor, Qt::MouseButton button) override;
    void editorMouseMove(int grid) override;
    void gridEnter(int grid) override;
    void gridMouseMove(int grid, int row) override;
    void activeCellChanged(int grid, int row, int column) override;
    void columnsChanged(int grid) override;

    QAction* addItem(QMenu* menu, const QString& objectName, const QString& caption,
                     const QKeySequence& key, std::function<void()> handler,
                     void (TRUVCCE::*opening)() = nullptr);

    UserDialogs& dialogs_;
    IniFile settings_;
    ProfileStore profile_;
    NotesTextEditor* TFE = nullptr;
    zqw::Card card_;
    NoteTabs noteTabs_;
    AppWindows* windows_ = nullptr;

    QWidget* client_ = nullptr;
    QLabel* Label1 = nullptr;
    RotatedLabel* Label2 = nullptr;
    QTabBar* NB1 = nullptr;
    QTabBar* NB2 = nullptr;
    QWidget* NB2Page = nullptr;
    CardGrid* OvcTable1 = nullptr;
    CardGrid* OvcTable2 = nullptr;

    std::array<QAction*, 10> topItems_{};
    std::array<QAction*, 10> rightItems_{};
    QAction* noteTabsItem_ = nullptr;
    QAction* rightMouseItem_ = nullptr;
    QAction* printAuctionItem_ = nullptr;
    QAction* prompts1_ = nullptr;
    QList<QShortcut*> shortcuts_;
    QList<int> fontIds_;

    bool EditPending[3] = {false, false, false};
    std::pair<int, int> leftCell_[3] = {};  // active cells of the grids when last left
    QString EditedText[3];
    int shownGroup_ = -1;   // the group whose page the window shows
    int shownSection_ = 0;  // and the section tab its grids show
    bool shownOnce_ = false;
    bool changingTabs_ = false;
    bool leavingPage_ = false;
    bool destroyed_ = false;
};
