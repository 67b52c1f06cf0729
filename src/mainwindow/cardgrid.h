#pragma once

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>

// The two grids of the main window show a section of the card. They hold no
// data: every cell is asked of the owner (the main window), and every edit is
// handed back to it, which stores it in the card.
//
// Grid rows are counted as the card counts them: row 0 is the heading row
// (the table's horizontal header here) and rows 1.. are the rows of the
// section's lines, which are model rows 0.. .

class CardGridOwner {
public:
    virtual ~CardGridOwner() = default;
    // The cell's text for showing or editing (grid row r >= 0, column c).
    virtual QString cellText(int grid, int row, int column) = 0;
    // Whether the cell may be edited.
    virtual bool cellEditable(int grid, int row, int column) = 0;
    // The cell editor of a grid lost the focus or its cell is left: its text
    // is to be recorded and stored.
    virtual void editorExit(int grid, const QString& text) = 0;
    virtual void doneEdit(int grid, int row, int column) = 0;
    virtual void editorEnter(int grid, QLineEdit* editor) = 0;
    virtual void editorKeyUp(int grid, QLineEdit* editor, int key) = 0;
    virtual void editorMouseDown(int grid, QLineEdit* editor, Qt::MouseButton button) = 0;
    virtual void editorMouseUp(int grid, QLineEdit* editor, Qt::MouseButton button) = 0;
    virtual void editorMouseMove(int grid) = 0;
    virtual void gridEnter(int grid) = 0;
    virtual void gridMouseMove(int grid, int row) = 0;
    virtual void activeCellChanged(int grid, int row, int column) = 0;
    virtual void columnsChanged(int grid) = 0;
};

class CardGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    CardGridModel(int grid, CardGridOwner& owner, QObject* parent = nullptr);

    // Row limit (grid rows, heading row included) and columns.
    void configure(int rowLimit, int columnCount, bool hasHeadings);
    // Every cell may have changed (a line command, a read, a symbol key).
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    int grid_;
    CardGridOwner& owner_;
    int rows_ = 0;  // grid rows below the heading row
    int columns_ = 0;
    bool hasHeadings_ = false;
};

// The in-place editor of a grid's active cell (ST1, ST2).
class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    CellEditor(int grid, CardGridOwner& owner, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int grid_;
    CardGridOwner& owner_;
    QSet<int> keysPressedHere_;
};

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    CellDelegate(int grid, CardGridOwner& owner, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    int grid_;
    CardGridOwner& owner_;
};

// A grid (OvcTable1, OvcTable2): a table whose active cell always has its
// editor open, so typing goes straight into the cell.
class CardGrid : public QTableView {
    Q_OBJECT

public:
    CardGrid(int grid, CardGridOwner& owner, QWidget* parent);

    CardGridModel& gridModel() { return model_; }
    int gridNumber() const { return grid_; }

    // Grid rows count from 1 for the card's rows (0 is the heading row).
    void setActiveCell(int row, int column);
    int activeRow() const;
    int activeColumn() const;
    // Opens the editor on the active cell (when it may be edited).
    void startEditing(bool giveFocus);
    // Ends the edit; with keep the editor's text is stored first.
    void stopEditing(bool keep);
    bool isEditing() const { return editor() != nullptr; }
    QLineEdit* editor() const;
    // Row (grid rows) at a point of the viewport, or -1.
    int rowAt(int y) const { return QTableView::rowAt(y) < 0 ? -1 : QTableView::rowAt(y) + 1; }
    void setRowsAndColumns(int rowLimit, int columnCount, bool hasHeadings);

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
    CardGridOwner& owner_;
    CardGridModel model_;
    CellDelegate delegate_;
    QPersistentModelIndex editing_;
    bool settingUp_ = false;
};
