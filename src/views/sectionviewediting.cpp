#include <QApplication>

#include "document/carddocument.h"
#include "views/cardgrid.h"
#include "views/gridcells.h"
#include "views/sectionview.h"

// The grids' edits: which grid a command works on, storing or dropping
// what the cell editors hold, and showing the card's rows again after
// they changed.

int SectionView::commandGrid() const {
    int preferred = activeGrid_ == 2 ? 2 : 1;
    // A tab change moves the focus without recording it: the grid holding
    // the keyboard now is the last one to have had it.
    if (const QWidget* focus = QApplication::focusWidget()) {
        for (const CardGrid* each : {grid1_, grid2_}) {
            if (focus == each || each->isAncestorOf(focus)) preferred = each->gridNumber();
        }
    }
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return preferred;
    const zqw::Section& s = card.sections[section];
    if (preferred == 2 && !s.hasGrid2) return 1;
    if (preferred == 1 && s.columnCount == 0 && s.hasGrid2) return 2;
    return preferred;
}

QLineEdit* SectionView::activeCellEditor() { return grid(commandGrid()).editor(); }

void SectionView::storePendingEdits() {
    for (CardGrid* each : {grid1_, grid2_}) {
        if (!each->isEditing()) continue;
        const bool focused = each->editor() && each->editor()->hasFocus();
        each->stopEditing(true);
        each->startEditing(focused);
    }
}

void SectionView::dropCellEdits() {
    for (CardGrid* each : {grid1_, grid2_}) {
        if (each->isEditing()) each->stopEditing(false);
    }
}

void SectionView::reloadRows(int gridNumber, int activeRow, int activeColumn) {
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return;
    const zqw::Section& s = card.sections[section];
    const int rows = gridNumber == 1 ? s.rowCount : s.rowCount2;
    grid(gridNumber).reloadRows(rows, gridNumber == 1 && s.hasHeadings, activeRow, activeColumn);
}

void SectionView::showRestoredAnswers() {
    const int section = cells_.section();
    const zqw::Card& card = document_.card();
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return;
    const zqw::Section& s = card.sections[section];
    for (CardGrid* each : {grid1_, grid2_}) {
        if (each->isHidden()) continue;
        const int number = each->gridNumber();
        const bool focused = each->editor() && each->editor()->hasFocus();
        // The editor's text is the old state's: it must not be stored.
        each->stopEditing(false);
        each->reloadRows(number == 1 ? s.rowCount : s.rowCount2, number == 1 && s.hasHeadings,
                         each->activeRow(), each->activeColumn());
        // Widths may have been put back too.
        if ((number == 1 && s.columnCount >= 2) || number == 2)
            each->setColumnWidths(columnWidths(number, printColumnWidth()));
        each->startEditing(focused);
    }
}

QList<std::pair<int, std::string>> SectionView::uncommittedRows() const {
    QList<std::pair<int, std::string>> rows;
    for (const CardGrid* each : {grid1_, grid2_}) {
        const QLineEdit* editor = each->editor();
        if (!editor || each->isHidden()) continue;
        if (auto row = cells_.editedRow(each->gridNumber(), each->activeRow(), each->activeColumn(),
                                        editor->text()))
            rows.append(std::move(*row));
    }
    return rows;
}

void SectionView::gridEntered(int number) {
    // Focus moves about while a tab change empties and refills the grids;
    // that is not the user entering a grid.
    if (switchingTabs_) return;
    activeGrid_ = number;
    CardGrid& other = grid(number == 1 ? 2 : 1);
    if (other.isEditing() && !other.isHidden()) {
        other.stopEditing(true);
        other.startEditing(false);
    }
}

void SectionView::showNoteNumberTip(int number, int row) {
    CardGrid& view = grid(number);
    const int note = notesShowing() ? 0 : cells_.noteNumber(number, row);
    view.setToolTip(note != 0 ? QString::number(note) : QString());
    if (QLineEdit* editor = view.editor()) editor->setToolTip(view.toolTip());
}

void SectionView::columnsResized(int number) {
    CardGrid& view = grid(number);
    if (switchingTabs_ || view.isHidden() || !document_.isOpen()) return;
    cells_.storeColumnWidths(number, view.columnWidths(), printColumnWidth());
}
