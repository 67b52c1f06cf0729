#include "views/cardgrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "views/gridcells.h"

// --- model ------------------------------------------------------------------

CardGridModel::CardGridModel(int grid, const GridCells& cells, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), cells_(cells) {}

void CardGridModel::configure(int rowLimit, int columnCount, bool hasHeadings) {
    beginResetModel();
    rows_ = std::max(0, rowLimit - 1);
    columns_ = std::max(0, columnCount);
    hasHeadings_ = hasHeadings;
    endResetModel();
}

void CardGridModel::refresh() {
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
    if (columns_ > 0) emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
}

int CardGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int CardGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant CardGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return cells_.cellText(grid_, index.row() + 1, index.column());
}

QVariant CardGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return hasHeadings_ ? cells_.cellText(grid_, 0, section) : QString();
}

Qt::ItemFlags CardGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (cells_.isEditable(grid_, index.row() + 1, index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

// --- editor -----------------------------------------------------------------

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(255);
    setFrame(false);
    setMouseTracking(true);
    setObjectName(QStringLiteral("cellEditor"));
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    keysPressedHere_.insert(event->key());
    QLineEdit::keyPressEvent(event);
}

void CellEditor::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    // The release of a key pressed elsewhere (Shift+F5 choosing a tab, which
    // opened this editor) is not a key typed here.
    if (event->isAutoRepeat() || !keysPressedHere_.remove(event->key())) return;
    emit keyReleased(event->key());
}

void CellEditor::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focused();
}

void CellEditor::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    emit mousePressed(event->button());
}

void CellEditor::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

void CellEditor::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    emit mouseMoved();
}

// --- delegate ---------------------------------------------------------------

CellDelegate::CellDelegate(CardGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex&) const {
    auto* editor = new CellEditor(parent);
    editor->setFont(parent->font());
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
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    // A cell shows at most 255 characters, and the editor starts from them.
    line->setText(index.data(Qt::EditRole).toString().left(255));
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                const QModelIndex& index) const {
    emit grid_.editCommitted(index.row() + 1, index.column(),
                             static_cast<QLineEdit*>(editor)->text());
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
                    grid_.moveBy(0, 1);
                    return true;
                case Qt::Key_Backtab:
                    grid_.moveBy(0, -1);
                    return true;
                case Qt::Key_Up:
                    grid_.moveBy(-1, 0);
                    return true;
                case Qt::Key_Down:
                    grid_.moveBy(1, 0);
                    return true;
                case Qt::Key_PageUp:
                    grid_.moveBy(-10, 0);
                    return true;
                case Qt::Key_PageDown:
                    grid_.moveBy(10, 0);
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

// --- view -------------------------------------------------------------------

CardGrid::CardGrid(int grid, const GridCells& cells, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(grid, cells), delegate_(*this) {
    setObjectName(grid == 1 ? QStringLiteral("grid1") : QStringLiteral("grid2"));
    setModel(&model_);
    setItemDelegate(&delegate_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    viewport()->setMouseTracking(true);
    setMouseTracking(true);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!settingWidths_) emit columnsResized();
    });
}

void CardGrid::setRowsAndColumns(int rowLimit, int columnCount, bool hasHeadings) {
    const QScopedValueRollback<bool> guard(settingUp_, true);
    const QScopedValueRollback<bool> widths(settingWidths_, true);
    stopEditing(false);
    model_.configure(rowLimit, columnCount, hasHeadings);
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(hasHeadings ? rowHeight : 10);
}

void CardGrid::setColumnWidths(const QList<int>& widths) {
    const QScopedValueRollback<bool> guard(settingWidths_, true);
    for (int c = 0; c < widths.size(); ++c) setColumnWidth(c, widths[c]);
}

QList<int> CardGrid::columnWidths() const {
    QList<int> widths;
    for (int c = 0; c < model_.columnCount(); ++c) widths.append(columnWidth(c));
    return widths;
}

void CardGrid::reloadRows(int rowLimit, bool hasHeadings, int activeRow, int activeColumn) {
    const QList<int> widths = columnWidths();
    const int scroll = verticalScrollBar()->value();
    setUpdatesEnabled(false);
    setRowsAndColumns(rowLimit, static_cast<int>(widths.size()), hasHeadings);
    setColumnWidths(widths);
    verticalScrollBar()->setValue(scroll);
    setActiveCell(std::clamp(activeRow, 1, std::max(1, rowLimit - 1)), activeColumn);
    setUpdatesEnabled(true);
}

void CardGrid::setActiveCell(int row, int column) {
    if (row < 1 || row > model_.rowCount() || column < 0 || column >= model_.columnCount()) return;
    const QScopedValueRollback<bool> guard(settingUp_, true);
    setCurrentIndex(model_.index(row - 1, column));
}

int CardGrid::activeRow() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

int CardGrid::activeColumn() const {
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

QLineEdit* CardGrid::editor() const {
    if (!editing_.isValid()) return nullptr;
    return qobject_cast<QLineEdit*>(indexWidget(editing_));
}

void CardGrid::startEditing(bool giveFocus) {
    const QModelIndex current = currentIndex();
    if (editing_.isValid() && editing_ != current) stopEditing(true);
    if (current.isValid() && (model_.flags(current) & Qt::ItemIsEditable) && !editing_.isValid()) {
        editing_ = current;
        openPersistentEditor(current);
    }
    if (giveFocus) {
        if (QLineEdit* line = editor()) {
            line->setFocus(Qt::OtherFocusReason);
        } else {
            setFocus(Qt::OtherFocusReason);
        }
    }
}

void CardGrid::stopEditing(bool keep) {
    if (!editing_.isValid()) return;
    const QPersistentModelIndex index = editing_;
    editing_ = QPersistentModelIndex();
    if (QWidget* widget = indexWidget(index)) {
        if (keep) delegate_.setModelData(widget, &model_, index);
        // From here the editor's focus leaving must store nothing: it was
        // stored above, or is to be dropped.
        widget->removeEventFilter(&delegate_);
        // Left to itself Qt would hand the focus of a closing editor to the
        // next widget in the chain, possibly the other grid.
        if (widget->hasFocus()) setFocus(Qt::OtherFocusReason);
    }
    closePersistentEditor(index);
}

void CardGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    const bool hadFocus = hasFocus() || (editor() && editor()->hasFocus());
    if (editing_.isValid() && editing_ != current) stopEditing(true);
    QTableView::currentChanged(current, previous);
    if (settingUp_ || !current.isValid()) return;
    emit activeCellChanged(current.row() + 1, current.column());
    if (hadFocus) startEditing(true);
}

void CardGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit entered();
}

void CardGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    emit rowHovered(rowAt(event->position().toPoint().y()));
}

// A right or middle click on a cell other than the active one makes it the
// active cell and then acts as the same click on its editor would.
void CardGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        if (QLineEdit* line = editor()) {
            line->setFocus(Qt::MouseFocusReason);
            emit editorMousePressed(line, event->button());
        }
    }
}

void CardGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::MiddleButton) {
        if (QLineEdit* line = editor()) {
            line->setFocus(Qt::MouseFocusReason);
            emit editorMouseReleased(line, event->button());
        }
    }
}

void CardGrid::keyPressEvent(QKeyEvent* event) {
    if (QLineEdit* line = editor();
        line && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        line->setFocus(Qt::OtherFocusReason);
        QApplication::sendEvent(line, event);
        return;
    }
    QTableView::keyPressEvent(event);
}

bool CardGrid::event(QEvent* event) {
    // Tab moves between cells, as the arrow keys do, never out of the grid.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            moveBy(0, key->key() == Qt::Key_Tab ? 1 : -1);
            return true;
        }
    }
    return QTableView::event(event);
}

void CardGrid::moveBy(int rows, int columns) {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    int row = current.row() + rows;
    int column = current.column() + columns;
    const int lastRow = model_.rowCount() - 1;
    const int lastColumn = model_.columnCount() - 1;
    if (column > lastColumn) {
        column = 0;
        ++row;
    } else if (column < 0) {
        column = lastColumn;
        --row;
    }
    row = std::clamp(row, 0, std::max(0, lastRow));
    if (row == current.row() && column == current.column()) return;
    setCurrentIndex(model_.index(row, column));
}
