#pragma once

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>

class GridCells;

// A grid of the main window shows one grid of a section of the card. It
// holds no data: every cell is asked of the GridCells, and everything the
// user does in it is reported through signals.
//
// Grid rows are counted as the card counts them: row 0 is the heading row
// (the table's horizontal header here) and rows 1.. are the rows of the
// section's lines, which are model rows 0.. .

class CardGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    CardGridModel(int grid, const GridCells& cells, QObject* parent = nullptr);

    // Row limit (grid rows, heading row included) and columns.
    void configure(int rowLimit, int columnCount, bool hasHeadings);
    // Every cell may have changed (a line command, a read, a symbol key).
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int grid_;
    const GridCells& cells_;
    int rows_ = 0;  // grid rows below the heading row
    int columns_ = 0;
    bool hasHeadings_ = false;
};

// The in-place editor of a grid's active cell.
class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent);

signals:
    void focused();
    // A key pressed in this editor was released (auto-repeat aside).
    void keyReleased(int key);
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);
    void mouseMoved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QSet<int> keysPressedHere_;
};

class CardGrid;

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit CellDelegate(CardGrid& grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    CardGrid& grid_;
};

// A grid: a table whose active cell always has its editor open, so typing
// goes straight into the cell.
class CardGrid : public QTableView {
    Q_OBJECT

public:
    CardGrid(int grid, const GridCells& cells, QWidget* parent);

    CardGridModel& gridModel() { return model_; }
    int gridNumber() const { return grid_; }

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
    // Row (grid rows) at a point of the viewport, or -1.
    int rowAt(int y) const { return QTableView::rowAt(y) < 0 ? -1 : QTableView::rowAt(y) + 1; }
    void setRowsAndColumns(int rowLimit, int columnCount, bool hasHeadings);
    QList<int> columnWidths() const;
    // Widths set by the program, not dragged by the user: no columnsResized.
    void setColumnWidths(const QList<int>& widths);
    // New rows for the same columns: the widths and the scroll position
    // stay, and putting the widths back is not a user's drag.
    void reloadRows(int rowLimit, bool hasHeadings, int activeRow, int activeColumn);

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

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class CellDelegate;
    void moveBy(int rows, int columns);

    int grid_;
    CardGridModel model_;
    CellDelegate delegate_;
    QPersistentModelIndex editing_;
    bool settingUp_ = false;
    bool settingWidths_ = false;
};
