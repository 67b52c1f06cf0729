#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QTableView>
#include <vector>

#include "card/cardtextinput.h"
#include "dialogs/suittext.h"
#include "views/cardgridmodel.h"
#include "views/celldelegate.h"

class GridCells;

// A grid of the main window shows one grid of a section of the card. It
// holds no data: every cell is asked of the GridCells, and everything the
// user does in it is reported through signals. It is a table whose active
// cell always has its editor open, so typing goes straight into the cell.
//
// Rows are grid rows, from 1, and columns from 0 (card/cardindex.h); row 0,
// the heading row, is the table's horizontal header here. QTableView's own
// row numbers (rowAt, currentIndex) are table rows, from 0.
class CardGrid : public QTableView {
    Q_OBJECT

public:
    CardGrid(int grid, const GridCells& cells, QWidget* parent);

    CardGridModel& gridModel() { return model_; }
    int gridNumber() const { return grid_; }
    // How the cells, the labels and the editor show and say suits.
    void setSuitText(const SuitText& suits);

    // Grid rows count from 1 for the card's rows (0 is the heading row).
    void setActiveCell(int row, int column);
    int activeRow() const;
    int activeColumn() const;
    // Opens the editor on the active cell (when it may be edited).
    void startEditing(bool giveFocus);
    // Ends the edit; with keep the editor's text is committed first.
    void stopEditing(bool keep);
    bool isEditing() const { return editor() != nullptr; }
    QLineEdit* editor() const;
    // The grid row at a height in the viewport, or -1 where there is none.
    int gridRowAt(int y) const;
    // rows: the grid rows below the heading row.
    void setRowsAndColumns(int rows, int columnCount, bool hasHeadings);
    QList<int> columnWidths() const;
    // Widths set by the program, not dragged by the user: no columnsResized.
    void setColumnWidths(const QList<int>& widths);
    // New rows for the same columns: the widths and the scroll position
    // stay, and putting the widths back is not a user's drag.
    void reloadRows(int rows, bool hasHeadings, int activeRow, int activeColumn);
    // Column 0 (the line labels) stays in place, with its heading, while
    // the other columns scroll sideways.
    void setLabelColumnFrozen(bool frozen);
    bool isLabelColumnFrozen() const;
    // The part of the grid that shows the frozen labels.
    QTableView& labelColumnView() { return *labels_; }
    // The width a column's text has in its editor: the column less the
    // editor's margins and the caret.
    int textWidth(int column) const;

signals:
    // The grid or its editor got the keyboard.
    void entered();
    void editorFocused(QLineEdit* editor);
    void editorKeyReleased(QLineEdit* editor, int key);
    void editorMousePressed(QLineEdit* editor, Qt::MouseButton button);
    void editorMouseReleased(QLineEdit* editor, Qt::MouseButton button);
    void editorHovered();
    void rowHovered(int row);
    void activeCellChanged(int row, int column);
    // The user dragged a column border.
    void columnsResized();
    // The editor's text is to be stored in its cell (the editor lost the
    // focus, Enter was pressed, or the edit was ended keeping the text).
    void editCommitted(int row, int column, const QString& text);
    // Typed, pasted or dropped characters a card file cannot store were
    // replaced.
    void charactersReplaced(const std::vector<zqw::ReplacedCharacter>& replaced);
    // Typed or pasted text was cut at the most a cell holds.
    void lengthLimitReached();
    // A key was typed where no cell can take it.
    void typingRefused();
    // The user changed the text in the open editor (not stored yet).
    void editorTextEdited();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CellDelegate;
    // Up, Down, Page Up and Page Down: the same column of another row.
    void moveRows(int rows);
    // Tab and Shift+Tab: the next or previous answer cell, labels passed.
    void moveToAnswerCell(int step);
    void placeLabelColumn();

    int grid_;
    CardGridModel model_;
    CellDelegate delegate_;
    // The frozen labels only paint: editors belong to the grid itself.
    CellPainter labelPainter_;
    QTableView* labels_ = nullptr;
    QPersistentModelIndex editing_;
    bool settingUp_ = false;
    bool settingWidths_ = false;
};
