#pragma once

#include <QAbstractTableModel>

#include "dialogs/suittext.h"

class GridCells;

// The model of a grid of the main window. It holds no data: every cell is
// asked of the GridCells.
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

    // Row limit (grid rows, heading row included) and columns.
    void configure(int rowLimit, int columnCount, bool hasHeadings);
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
