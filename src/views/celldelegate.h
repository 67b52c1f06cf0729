#pragma once

#include "dialogs/suittextdelegate.h"

class CardGrid;

// Paints a grid's cells, suits in colour: an active cell without an editor
// (a label) gets a frame while its grid has the keyboard; an editor frames
// itself.
class CellPainter : public SuitTextDelegate {
    Q_OBJECT

public:
    explicit CellPainter(CardGrid& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    CardGrid& grid_;
};

// The grid's own cells: painting, and the editor of the active cell.
class CellDelegate : public CellPainter {
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
};
