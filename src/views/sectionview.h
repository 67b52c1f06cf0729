#pragma once

#include <QPair>
#include <QWidget>

#include "views/notetabs.h"

class CardDocument;
class CardGrid;
class EditorSettings;
class GridCells;
class NotesTextEditor;
class QLabel;
class QLineEdit;
class QTabBar;
class RotatedLabel;
class UserDialogs;

// Where Esc returns to from the notes: group -1 means nowhere.
struct ReturnPosition {
    int grid = 1;
    int row = 0;
    int column = 0;
    int group = -1;
    int section = 0;
};

// The card on screen: the groups as tabs along the top, a group's sections
// as tabs down the right edge, the section in one or two grids, and the
// notes editor on the last top tab. It keeps which group, section and grid
// are active and sizes the grids to the printed card's column width.
//
// Its code is kept by reason to change: building and wiring
// (sectionview.cpp), moving between tabs (sectionviewnavigation.cpp), sizes
// and captions (sectionviewlayout.cpp), the grids' edits
// (sectionviewediting.cpp) and the keys it handles (sectionviewkeys.cpp).
class SectionView : public QWidget {
    Q_OBJECT

public:
    SectionView(CardDocument& document, EditorSettings& settings, GridCells& cells,
                NotesTextEditor& notes, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~SectionView() override;

    CardGrid& grid(int number);
    const CardGrid& grid(int number) const;
    NotesTextEditor& notesEditor() { return notes_; }
    QTabBar& groupTabs() { return *groupTabs_; }
    QTabBar& sectionTabs() { return *sectionTabs_; }
    QLabel& captionLine() { return *captionLine_; }
    RotatedLabel& sectionCaption() { return *sectionCaption_; }
    NoteTabs& noteTabs() { return noteTabs_; }

    int activeGroup() const { return activeGroup_; }
    int activeSectionTab() const { return activeSectionTab_; }
    // The grid (1 or 2) that last had the keyboard.
    int activeGrid() const { return activeGrid_; }
    // The section of the selected tabs, or -1 on the notes group.
    int currentSection() const;
    bool notesShowing() const;
    // The grid a command for the active cell works on: the one holding the
    // keyboard now, else the one that last had it, falling back to a grid
    // the section has.
    int commandGrid() const;
    // The cell editor of that grid, if it is editing.
    QLineEdit* activeCellEditor();

    const ReturnPosition& returnPosition() const { return returnPosition_; }
    void setReturnPosition(const ReturnPosition& position) { returnPosition_ = position; }

    // The width the current section prints in, in screen pixels.
    int printColumnWidth() const;
    // The screen widths of a grid's columns at that print column width.
    QList<int> columnWidths(int grid, int printWidth) const;

    // The first show of the window: the first group's page, the keyboard
    // in its first cell.
    void start();
    void selectGroup(int index);
    void selectSection(int index);
    void showFirstGroup();
    void showNotesGroup();
    // Builds the current group's page again (after a layout or font change).
    void rebuildGroup();
    // Shows the current section's grids again from the card.
    void refreshSection();
    // Back from the notes to the cell F3 came from.
    void returnToCard();
    // Sizes the grids or the notes editor to the window.
    void layoutGrids();
    // Lays out every part and captions after a resize or font change.
    void relayout();
    // While the notes show: "Notes file: " and the notes' file name, or
    // that the notes are closed.
    void showNotesCaption(bool open);
    void applyDisplayFont();
    void applyNotesFont();

    // Stores what the cell editors hold and goes on editing.
    void storePendingEdits();
    // Closes the cell editors without storing their text (the card is about
    // to be replaced).
    void dropCellEdits();
    // A grid's rows changed in number: reload them with the same widths.
    void reloadRows(int grid, int activeRow, int activeColumn);
    // The card's answers were put back (Undo, Redo): the grids show them
    // again where the user was.
    void showRestoredAnswers();
    // What the open cell editors hold and the card does not have yet: the
    // rows as they would be stored (index in the card's rows, text).
    QList<std::pair<int, std::string>> uncommittedRows() const;

signals:
    // How many of the Top and Right menu items have a tab to select.
    void tabCountsChanged(int groupTabs, int sectionTabs);
    // A group's page is about to be built: whatever belonged to the cells
    // of the page before is stale.
    void pageChanging();
    // A short note for the status line.
    void statusNote(const QString& text);
    // Typing in an open cell, not stored in the card yet.
    void cellTyped();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void groupChanging();
    void groupChanged();
    void sectionChanged();
    void showSection();
    void setTopCaptions();
    void setRightCaptions(int length);
    void gridEntered(int grid);
    void showNoteNumberTip(int grid, int row);
    void columnsResized(int grid);
    void cellKeyReleased(QLineEdit* editor, int key);
    void notesKeyReleased(int key);
    int tabHeight(const QFont& font) const;
    int captionLineHeight() const;
    // The turned section caption is as wide as its font is high.
    int sectionCaptionWidth() const;
    // How the grids, their editors and the notes show and say suits.
    void applySuitText();
    void describeGroupTabs();

    CardDocument& document_;
    EditorSettings& settings_;
    GridCells& cells_;
    NotesTextEditor& notes_;
    UserDialogs& dialogs_;
    NoteTabs noteTabs_;

    QLabel* captionLine_ = nullptr;
    RotatedLabel* sectionCaption_ = nullptr;
    QTabBar* groupTabs_ = nullptr;
    QTabBar* sectionTabs_ = nullptr;
    QWidget* page_ = nullptr;
    CardGrid* grid1_ = nullptr;
    CardGrid* grid2_ = nullptr;

    int activeGroup_ = 0;
    int activeSectionTab_ = 0;
    int activeGrid_ = 1;
    ReturnPosition returnPosition_;
    // The group whose page is shown, and the section tab its grids show.
    int shownGroup_ = -1;
    int shownSection_ = 0;
    // The grids' active cells when their page was last left.
    QPair<int, int> leftCell_[3] = {};
    bool started_ = false;
    // Set while a tab change empties and refills the grids: the focus moves
    // about then without the user entering a grid.
    bool switchingTabs_ = false;
};
