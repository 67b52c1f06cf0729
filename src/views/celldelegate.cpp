#include "views/celldelegate.h"

#include <QKeyEvent>
#include <QPainter>

#include "dialogs/cardtextvalidator.h"
#include "views/cardgrid.h"
#include "views/celleditor.h"

CellPainter::CellPainter(CardGrid& grid) : SuitTextDelegate(&grid), grid_(grid) {}

void CellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    SuitTextDelegate::paint(painter, option, index);
    if (index == grid_.currentIndex() && grid_.hasFocus() && !grid_.editor()) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
}

CellDelegate::CellDelegate(CardGrid& grid) : CellPainter(grid) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex&) const {
    auto* editor = new CellEditor(parent);
    editor->setFont(parent->font());
    editor->setSuitText(suitText());
    CardGrid* grid = &grid_;
    // Focus on the editor is focus on its grid.
    connect(editor, &CellEditor::focused, grid, [grid, editor] {
        emit grid->entered();
        emit grid->editorFocused(editor);
    });
    connect(editor, &CellEditor::keyReleased, grid,
            [grid, editor](int key) { emit grid->editorKeyReleased(editor, key); });
    connect(editor, &CellEditor::mousePressed, grid, [grid, editor](Qt::MouseButton button) {
        emit grid->editorMousePressed(editor, button);
    });
    connect(editor, &CellEditor::mouseReleased, grid, [grid, editor](Qt::MouseButton button) {
        emit grid->editorMouseReleased(editor, button);
    });
    connect(editor, &CellEditor::mouseMoved, grid, &CardGrid::editorHovered);
    connect(editor, &QLineEdit::textEdited, grid, &CardGrid::editorTextEdited);
    const auto* validator = static_cast<const CardTextValidator*>(editor->validator());
    connect(validator, &CardTextValidator::charactersReplaced, grid, &CardGrid::charactersReplaced);
    connect(validator, &CardTextValidator::lengthLimitReached, grid, &CardGrid::lengthLimitReached);
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    // A cell shows at most its limit, and the editor starts from that.
    line->setText(index.data(Qt::EditRole).toString().left(kCellLength));
    // The editor has the keyboard, so it is what a screen reader names.
    line->setAccessibleName(index.data(CardGridModel::CellContextRole).toString());
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                const QModelIndex& index) const {
    // The receivers store the text before the emit returns.
    const int row = CardGridModel::gridRowOf(index);
    emit grid_.editCommitted(row, index.column(), static_cast<QLineEdit*>(editor)->text());
    grid_.model_.rowStored(row);
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (!editor) return QStyledItemDelegate::eventFilter(object, event);
    switch (event->type()) {
        case QEvent::FocusOut: {
            // The editor stays open on its cell; losing the focus only
            // stores what was typed.
            const auto* focus = static_cast<QFocusEvent*>(event);
            if (focus->reason() != Qt::PopupFocusReason) emit commitData(editor);
            return false;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
                case Qt::Key_Tab:
                    grid_.moveToAnswerCell(1);
                    return true;
                case Qt::Key_Backtab:
                    grid_.moveToAnswerCell(-1);
                    return true;
                case Qt::Key_Up:
                    grid_.moveRows(-1);
                    return true;
                case Qt::Key_Down:
                    grid_.moveRows(1);
                    return true;
                case Qt::Key_PageUp:
                    grid_.moveRows(-10);
                    return true;
                case Qt::Key_PageDown:
                    grid_.moveRows(10);
                    return true;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    emit commitData(editor);
                    return true;
                default:
                    return false;
            }
        }
        default:
            return false;
    }
}
