#include "views/cardgrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "dialogs/cardtextvalidator.h"
#include "views/gridcells.h"

namespace {

// The most characters a cell holds.
constexpr int kCellLength = 255;

// QLineEdit keeps two pixels clear on each side of its text; a cell also
// loses a pixel to the grid line and the caret needs one.
constexpr int kEditorTextMargin = 2 * 2 + 1 + 1;

}  // namespace

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

void CardGridModel::rowStored(int row) {
    if (row < 1 || row > rows_ || columns_ == 0) return;
    emit dataChanged(index(row - 1, 0), index(row - 1, columns_ - 1));
}

int CardGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int CardGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

void CardGridModel::setSuitText(const SuitText& suits) {
    // Only what is said changes, and it is asked for afresh each time: a
    // refresh would also put the stored text back into an open editor.
    suits_ = suits;
}

bool CardGridModel::isLabelColumn(int column) const {
    return column == 0 && (grid_ == 2 || columns_ >= 2);
}

QString CardGridModel::cellContext(int row, int column) const {
    QStringList parts;
    const QString label = suits_.spoken(cells_.lineLabel(grid_, row)).trimmed();
    if (!label.isEmpty()) parts << label;
    if (hasHeadings_ && !isLabelColumn(column)) {
        const QString heading = suits_.spoken(cells_.cellText(grid_, 0, column)).trimmed();
        if (!heading.isEmpty()) parts << heading;
    }
    if (parts.isEmpty()) return QStringLiteral("Row %1").arg(row);
    return parts.join(QStringLiteral(", "));
}

QVariant CardGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row() + 1;
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return cells_.cellText(grid_, row, column);
        case Qt::AccessibleTextRole: {
            if (isLabelColumn(column)) return cellContext(row, column);
            const QString text = suits_.spoken(cells_.cellText(grid_, row, column)).trimmed();
            return cellContext(row, column) + QStringLiteral(": ") +
                   (text.isEmpty() ? QStringLiteral("blank") : text);
        }
        case Qt::AccessibleDescriptionRole: {
            if (isLabelColumn(column)) return QStringLiteral("Line label");
            // What the pointer's tip tells a sighted user.
            const int note = cells_.noteNumber(grid_, row);
            return note != 0 ? QStringLiteral("Note %1").arg(note) : QString();
        }
        case CellContextRole:
            return cellContext(row, column);
        default:
            return {};
    }
}

QVariant CardGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (orientation == Qt::Vertical) {
        // The rows' own header is never shown; a screen reader names a row
        // after its line, as the labels beside it do on screen.
        const QString label = suits_.spoken(cells_.lineLabel(grid_, section + 1)).trimmed();
        return label.isEmpty() ? QStringLiteral("Row %1").arg(section + 1) : label;
    }
    const QString heading = hasHeadings_ ? cells_.cellText(grid_, 0, section) : QString();
    return role == Qt::DisplayRole ? heading : suits_.spoken(heading).trimmed();
}

Qt::ItemFlags CardGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (cells_.isEditable(grid_, index.row() + 1, index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

// --- editor -----------------------------------------------------------------

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setMouseTracking(true);
    setObjectName(QStringLiteral("cellEditor"));
    // The validator holds the text to the limit: a line edit's own limit
    // would cut pasted text without a word.
    validator_ = new CardTextValidator(this);
    validator_->setLengthLimit(kCellLength);
    setValidator(validator_);
    // The cell that takes the typing stands out: a frame and a light fill
    // while its grid has the keyboard.
    const QPalette colours = palette();
    const QColor frame = colours.color(QPalette::Highlight);
    QColor fill = colours.color(QPalette::Base);
    fill = QColor((fill.red() * 5 + frame.red()) / 6, (fill.green() * 5 + frame.green()) / 6,
                  (fill.blue() * 5 + frame.blue()) / 6);
    setStyleSheet(QStringLiteral("QLineEdit:focus { border: 2px solid %1; background: %2; }")
                      .arg(frame.name(), fill.name()));
    connect(this, &QLineEdit::textChanged, this, &CellEditor::refreshSuits);
}

void CellEditor::setSuitText(const SuitText& suits) {
    suits_ = suits;
    // A suit symbol typed or pasted becomes the character drawn as that suit.
    validator_->setSuitChars(suits.suitChars());
    refreshSuits();
}

void CellEditor::refreshSuits() {
    colourSuits();
    // The text a screen reader gets is the text as typed, brackets and
    // all; the description says it with suits as words.
    const QString said = suits_.spoken(text());
    setAccessibleDescription(said != text() ? said : QString());
}

// A line edit has no formats of its own; the ones an input method shows
// with its text are the way to colour stretches of it. They stay where
// they were set, so they are set again whenever the text changes.
void CellEditor::colourSuits() {
    if (composing_) return;
    QList<QInputMethodEvent::Attribute> formats;
    const int caret = cursorPosition();
    for (const QTextLayout::FormatRange& range : suits_.colourRanges(text(), palette())) {
        // Formats are placed from the caret.
        formats.append(QInputMethodEvent::Attribute(
            QInputMethodEvent::TextFormat, range.start - caret, range.length, range.format));
    }
    QInputMethodEvent colours(QString(), formats);
    QCoreApplication::sendEvent(this, &colours);
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event) {
    // While text is being composed its formats are the input method's.
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
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

// The middle button opens the prompts; the line edit would also paste the
// X selection, so it never sees that button.
void CellEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) QLineEdit::mousePressEvent(event);
    emit mousePressed(event->button());
}

void CellEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) QLineEdit::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

void CellEditor::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    emit mouseMoved();
}

// --- delegate ---------------------------------------------------------------

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
    emit grid_.editCommitted(index.row() + 1, index.column(),
                             static_cast<QLineEdit*>(editor)->text());
    grid_.model_.rowStored(index.row() + 1);
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

// --- view -------------------------------------------------------------------

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
