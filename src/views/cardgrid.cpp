#include "views/cardgrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "card/cardindex.h"
#include "views/celleditor.h"
#include "views/gridcells.h"

namespace {

// QLineEdit keeps two pixels clear on each side of its text; a cell also
// loses a pixel to the grid line and the caret needs one.
constexpr int kEditorTextMargin = 2 * 2 + 1 + 1;

}  // namespace

CardGrid::CardGrid(int grid, const GridCells& cells, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(grid, cells), delegate_(*this), labelPainter_(*this) {
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
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        placeLabelColumn();
        if (!settingWidths_) emit columnsResized();
    });

    // The frozen label column: a second view over the same model and
    // selection, showing column 0 only, laid over the grid's left edge.
    labels_ = new QTableView(this);
    labels_->setObjectName(QStringLiteral("labelColumn"));
    labels_->setModel(&model_);
    labels_->setSelectionModel(selectionModel());
    labels_->setItemDelegate(&labelPainter_);
    labels_->setFocusPolicy(Qt::NoFocus);
    labels_->setSelectionMode(QAbstractItemView::NoSelection);
    labels_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    labels_->setWordWrap(false);
    labels_->verticalHeader()->hide();
    labels_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    labels_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    labels_->horizontalHeader()->setHighlightSections(false);
    labels_->horizontalHeader()->setSectionsClickable(false);
    labels_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    labels_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    labels_->setFrameShape(QFrame::NoFrame);
    labels_->hide();
    viewport()->stackUnder(labels_);
    connect(labels_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, labels_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(&model_, &QAbstractItemModel::modelReset, this, &CardGrid::placeLabelColumn);
}

void CardGrid::setSuitText(const SuitText& suits) {
    model_.setSuitText(suits);
    delegate_.setSuitText(suits);
    labelPainter_.setSuitText(suits);
    if (auto* line = qobject_cast<CellEditor*>(editor())) line->setSuitText(suits);
    viewport()->update();
    labels_->viewport()->update();
}

void CardGrid::setLabelColumnFrozen(bool frozen) {
    labels_->setVisible(frozen);
    placeLabelColumn();
}

bool CardGrid::isLabelColumnFrozen() const { return !labels_->isHidden(); }

void CardGrid::placeLabelColumn() {
    if (labels_->isHidden()) return;
    for (int c = 1; c < model_.columnCount(); ++c) labels_->setColumnHidden(c, true);
    if (model_.columnCount() > 0) {
        labels_->setColumnHidden(0, false);
        labels_->setColumnWidth(0, columnWidth(0));
    }
    labels_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    labels_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    labels_->setGeometry(frameWidth(), frameWidth(), columnWidth(0) + 1,
                         viewport()->height() + horizontalHeader()->height());
    labels_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

int CardGrid::textWidth(int column) const {
    return std::max(0, columnWidth(column) - kEditorTextMargin);
}

void CardGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeLabelColumn();
}

void CardGrid::keyboardSearch(const QString&) {
    // Typing is for the cells: jumping to a row whose label starts with the
    // typed letter would take the keystroke away.
}

void CardGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!labels_->isHidden() && index.column() == 0) {
        // The label is always in view; only the row has to be.
        QTableView::scrollTo(model_.index(index.row(), std::min(1, model_.columnCount() - 1)),
                             hint);
        return;
    }
    QTableView::scrollTo(index, hint);
    // A cell scrolled in under the frozen labels is moved out from under
    // them.
    if (!labels_->isHidden() && visualRect(index).left() < columnWidth(0)) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(index).left() -
                                        columnWidth(0));
    }
}

void CardGrid::setRowsAndColumns(int rows, int columnCount, bool hasHeadings) {
    const QScopedValueRollback<bool> guard(settingUp_, true);
    const QScopedValueRollback<bool> widths(settingWidths_, true);
    stopEditing(false);
    model_.configure(rows, columnCount, hasHeadings);
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

void CardGrid::reloadRows(int rows, bool hasHeadings, int activeRow, int activeColumn) {
    const QList<int> widths = columnWidths();
    const int scroll = verticalScrollBar()->value();
    setUpdatesEnabled(false);
    setRowsAndColumns(rows, static_cast<int>(widths.size()), hasHeadings);
    setColumnWidths(widths);
    verticalScrollBar()->setValue(scroll);
    setActiveCell(std::clamp(activeRow, 1, std::max(1, rows)), activeColumn);
    setUpdatesEnabled(true);
}

void CardGrid::setActiveCell(int row, int column) {
    if (row < 1 || row > model_.rowCount() || column < 0 || column >= model_.columnCount()) return;
    const QScopedValueRollback<bool> guard(settingUp_, true);
    setCurrentIndex(model_.cellIndex(row, column));
}

int CardGrid::activeRow() const {
    return currentIndex().isValid() ? CardGridModel::gridRowOf(currentIndex()) : 0;
}

int CardGrid::gridRowAt(int y) const {
    const int row = rowAt(y);
    return row < 0 ? -1 : zqw::gridRowOfTableRow(row);
}

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
    emit activeCellChanged(CardGridModel::gridRowOf(current), current.column());
    if (hadFocus) startEditing(true);
}

void CardGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit entered();
}

void CardGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    emit rowHovered(gridRowAt(event->position().toPoint().y()));
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
    const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (typed && !editor()) {
        // A label has the cell cursor: the typing goes into the row's first
        // answer cell.
        const QModelIndex current = currentIndex();
        for (int c = 0; current.isValid() && c < model_.columnCount(); ++c) {
            const QModelIndex cell = model_.index(current.row(), c);
            if (model_.flags(cell) & Qt::ItemIsEditable) {
                setCurrentIndex(cell);
                startEditing(true);
                break;
            }
        }
    }
    if (QLineEdit* line = editor(); line && typed) {
        line->setFocus(Qt::OtherFocusReason);
        QApplication::sendEvent(line, event);
        return;
    }
    if (typed) {
        emit typingRefused();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool CardGrid::event(QEvent* event) {
    // Tab moves between cells, as the arrow keys do, never out of the grid.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            moveToAnswerCell(key->key() == Qt::Key_Tab ? 1 : -1);
            return true;
        }
    }
    return QTableView::event(event);
}

void CardGrid::moveToAnswerCell(int step) {
    const QModelIndex current = currentIndex();
    const int columns = model_.columnCount();
    const int cells = model_.rowCount() * columns;
    if (!current.isValid() || cells == 0) return;
    for (int at = current.row() * columns + current.column() + step; at >= 0 && at < cells;
         at += step) {
        const QModelIndex cell = model_.index(at / columns, at % columns);
        if (model_.flags(cell) & Qt::ItemIsEditable) {
            setCurrentIndex(cell);
            return;
        }
    }
}

void CardGrid::moveRows(int rows) {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    const int row = std::clamp(current.row() + rows, 0, std::max(0, model_.rowCount() - 1));
    if (row != current.row()) setCurrentIndex(model_.index(row, current.column()));
}
