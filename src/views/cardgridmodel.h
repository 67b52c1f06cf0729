#pragma once

#include <QAbstractTableModel>

#include "card/cardindex.h"
#include "dialogs/suittext.h"

class GridCells;

// The model of a grid of the main window. It holds no data: every cell is
// asked of the GridCells. Its table rows count from 0 and everyone else's
// grid rows from 1 (card/cardindex.h): the grid's model and view are where
// one becomes the other, through cellIndex and gridRowOf below.
//
// A screen reader hears each answer cell with its line label and column
// heading ("1 clubs, Meaning: natural"), suits as words.
class CardGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role {
        // What a cell is, as said aloud: its line label and column heading.
        CellContextRole = Qt::UserRole + 1
    };

    CardGridModel(int grid, const GridCells& cells, QObject* parent = nullptr);

    // The number of grid rows below the heading row, and of columns.
    void configure(int rows, int columnCount, bool hasHeadings);
    // Every cell may have changed (a line command, a read, a symbol key).
    void refresh();
    // A row's text was stored (grid rows): its cells and what is said of
    // them are asked for afresh. Without this the view keeps painting the
    // cell's text from before the commit until something else repaints it.
    void rowStored(int row);
    // How suits are said.
    void setSuitText(const SuitText& suits);
    const SuitText& suitText() const { return suits_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The table index of a cell given by grid row; invalid outside the grid.
    QModelIndex cellIndex(int gridRow, int column) const {
        return index(zqw::tableRowOfGridRow(gridRow), column);
    }
    // The grid row of a table index.
    static int gridRowOf(const QModelIndex& index) { return zqw::gridRowOfTableRow(index.row()); }

private:
    bool isLabelColumn(int column) const;
    // The line label and the column heading of a cell (grid rows), said
    // aloud; the row's number where it has neither.
    QString cellContext(int row, int column) const;

    int grid_;
    const GridCells& cells_;
    SuitText suits_;
    int rows_ = 0;  // grid rows below the heading row
    int columns_ = 0;
    bool hasHeadings_ = false;
};
