// The Edit menu's line commands, clipboard and undo, and which of its items
// the current page shows and enables.

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QScrollBar>
#include <optional>

#include "card/lineops.h"
#include "mainwindow/cardtext.h"
#include "mainwindow/truvcce.h"

namespace {

// What a line command works on: the grid of the section the window shows,
// and its active cell when the command began.
struct LineTarget {
    int section = -1;
    int grid = 1;
    int row = 0;
    int column = 0;
    bool focus = false;
};

// The grid that last had the focus. The grid holding the focus now is that
// grid by definition, whatever ActiveGrid still says: a tab change moves the
// focus without recording it. Otherwise ActiveGrid, unless the section has
// no such grid.
int lastFocusedGrid(TRUVCCE& window) {
    if (const QWidget* focus = QApplication::focusWidget()) {
        for (int n : {1, 2}) {
            CardGrid& view = window.grid(n);
            if (focus == &view || view.isAncestorOf(focus)) return n;
        }
    }
    return window.ActiveGrid == 2 ? 2 : 1;
}

int lineGrid(TRUVCCE& window, const zqw::Section& section) {
    const int preferred = lastFocusedGrid(window);
    if (preferred == 2 && !section.hasGrid2) return 1;
    if (preferred == 1 && section.columnCount == 0 && section.hasGrid2) return 2;
    return preferred;
}

// The start all four line commands share. Nothing on the notes group, nor
// when the grids show another section than the one being edited; otherwise
// the active cell's edit is stored, so the command sees what was typed.
std::optional<LineTarget> beginLineCommand(TRUVCCE& window) {
    zqw::Card& card = window.card();
    if (card.isNotesGroup(window.ActiveGroup)) return std::nullopt;
    const int section = card.sectionIndexOf(window.ActiveGroup, window.ActiveSectionTab);
    if (section < 0 || section != window.currentSectionIndex()) return std::nullopt;
    LineTarget target;
    target.section = section;
    target.grid = lineGrid(window, card.sections[section]);
    CardGrid& view = window.grid(target.grid);
    if (view.isHidden()) return std::nullopt;
    target.row = view.activeRow();
    target.column = view.activeColumn();
    target.focus = window.isActiveWindow();
    if (view.isEditing()) view.stopEditing(true);
    return target;
}

// Opens the active cell's editor again after a command that left the rows
// as they were.
void resumeEditing(TRUVCCE& window, const LineTarget& target) {
    CardGrid& view = window.grid(target.grid);
    view.gridModel().refresh();
    view.startEditing(target.focus);
}

// Gives the grid its new row count, keeping its column widths and scroll
// position, and makes activeRow the active row.
void showChangedRows(TRUVCCE& window, const LineTarget& target, int activeRow) {
    CardGrid& view = window.grid(target.grid);
    const zqw::Section& section = window.card().sections[target.section];
    const int rows = target.grid == 1 ? section.rowCount : section.rowCount2;
    const int columns = target.grid == 1 ? section.columnCount : 2;
    QList<int> widths;
    for (int c = 0; c < columns; ++c) widths.append(view.columnWidth(c));
    const int scroll = view.verticalScrollBar()->value();

    // Putting the widths back is not the user dragging a column: the card's
    // stored widths must not be recomputed from them.
    const bool switching = window.TabSwitching;
    window.TabSwitching = true;
    view.setUpdatesEnabled(false);
    view.setRowsAndColumns(rows + 1, columns, target.grid == 1 && section.hasHeadings);
    for (int c = 0; c < columns; ++c) view.setColumnWidth(c, widths[c]);
    view.verticalScrollBar()->setValue(scroll);
    view.setActiveCell(std::clamp(activeRow, 1, std::max(1, rows)), target.column);
    view.setUpdatesEnabled(true);
    window.TabSwitching = switching;
    view.startEditing(target.focus);
}

// The cell editor of the grid that last had the focus, if it is editing.
QLineEdit* activeCellEditor(TRUVCCE& window) {
    return window.grid(lastFocusedGrid(window)).editor();
}

}  // namespace

void TRUVCCE::Edit1Click() {
    const auto item = [this](const char* name) { return actionNamed(QString::fromLatin1(name)); };
    const auto show = [&](std::initializer_list<const char*> names, bool visible) {
        for (const char* name : names) item(name)->setVisible(visible);
    };
    const auto enable = [&](std::initializer_list<const char*> names, bool enabled) {
        for (const char* name : names) setItemEnabled(item(name), enabled);
    };
    if (notesGroupShowing()) {
        enable({"ReDo1"}, TFE->document()->isRedoAvailable());
        enable({"Undo1"}, TFE->document()->isUndoAvailable());
        show({"Insertlinebefore1", "Deleteline1", "InsertlineAfter1", "Replicatedown1"}, false);
        show({"Findstring1", "Replacestring1", "Searchagain1", "Copy1", "Cut1", "Paste1", "ReDo1",
              "Undo1"},
             true);
        if (card_.notesOpen) {
            enable({"Findstring1", "Replacestring1", "Searchagain1", "Paste1"}, true);
            enable({"Copy1", "Cut1"}, TFE->textCursor().hasSelection());
        } else {
            enable({"Findstring1", "Replacestring1", "Searchagain1", "Copy1", "Cut1", "Paste1"},
                   false);
        }
    } else {
        show({"Insertlinebefore1", "Deleteline1", "InsertlineAfter1", "Replicatedown1", "Copy1",
              "Cut1", "Paste1"},
             true);
        show({"Findstring1", "Replacestring1", "Searchagain1", "ReDo1", "Undo1"}, false);
        const QLineEdit* editor = activeCellEditor(*this);
        enable({"Copy1", "Cut1"}, editor && editor->hasSelectedText());
        enable({"Paste1"}, true);
    }
}

void TRUVCCE::Insertlinebefore1Click() {
    const auto target = beginLineCommand(*this);
    if (!target) {
        if (card_.isNotesGroup(ActiveGroup)) RePrint();
        return;
    }
    const zqw::LineResult result =
        zqw::insertRowBefore(card_, target->section, target->grid, target->row);
    if (result != zqw::LineResult::Done) {
        resumeEditing(*this, *target);
        return;
    }
    // The active row number now names the new (or shown again) row.
    showChangedRows(*this, *target, target->row);
    RePrint();
}

void TRUVCCE::Deleteline1Click() {
    const auto target = beginLineCommand(*this);
    if (!target) {
        if (card_.isNotesGroup(ActiveGroup)) RePrint();
        return;
    }
    const zqw::LineResult result =
        zqw::deleteRow(card_, target->section, target->grid, target->row);
    if (result != zqw::LineResult::Done) {
        resumeEditing(*this, *target);
        return;
    }
    showChangedRows(*this, *target, target->row);
    RePrint();
}

void TRUVCCE::InsertlineAfter1Click() {
    const auto target = beginLineCommand(*this);
    if (!target) {
        if (card_.isNotesGroup(ActiveGroup)) RePrint();
        return;
    }
    CardGrid& view = grid(target->grid);
    const zqw::Section& section = card_.sections[target->section];
    std::vector<int> widths;
    const int columns = target->grid == 1 ? section.columnCount : 2;
    for (int c = 0; c < columns; ++c) widths.push_back(view.columnWidth(c));
    // Fields are measured as the grid draws them: suit codes as their
    // display characters, in the grid's font.
    const QFontMetrics metrics(view.font());
    const auto widthOf = [this, &metrics](const std::string& text) {
        std::string shown = text;
        card_.codesToDisplay(shown);
        return metrics.horizontalAdvance(fromCardText(shown));
    };
    const zqw::LineResult result =
        zqw::insertRowAfter(card_, target->section, target->grid, target->row, widths, widthOf);
    if (result != zqw::LineResult::Done) {
        resumeEditing(*this, *target);
        return;
    }
    showChangedRows(*this, *target, target->row + 1);
    RePrint();
}

void TRUVCCE::Replicatedown1Click() {
    const auto target = beginLineCommand(*this);
    if (!target) return;
    const zqw::LineResult result =
        zqw::replicateDown(card_, target->section, target->grid, target->row, target->column);
    resumeEditing(*this, *target);
    if (result == zqw::LineResult::Done) RePrint();
}

void TRUVCCE::Copy1Click() {
    if (notesGroupShowing()) {
        if (card_.notesOpen) TFE->copy();
    } else if (QLineEdit* editor = activeCellEditor(*this)) {
        editor->copy();
    }
}

void TRUVCCE::Paste1Click() {
    if (notesGroupShowing()) {
        if (card_.notesOpen) TFE->paste();
    } else if (QLineEdit* editor = activeCellEditor(*this)) {
        // A cell is one line of the card file: pasted line breaks would
        // split its record, so each becomes a space.
        QString text = QGuiApplication::clipboard()->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        editor->insert(text);
    }
}

void TRUVCCE::Cut1Click() {
    if (notesGroupShowing()) {
        if (card_.notesOpen) TFE->cut();
    } else if (QLineEdit* editor = activeCellEditor(*this)) {
        editor->cut();
    }
}

void TRUVCCE::Undo1Click() {
    if (!TFE->document()->isUndoAvailable()) {
        QApplication::beep();
        return;
    }
    TFE->undo();
}

void TRUVCCE::ReDo1Click() {
    if (!TFE->document()->isRedoAvailable()) {
        QApplication::beep();
        return;
    }
    TFE->redo();
}

void TRUVCCE::RePrint() {
    // The preview is shown again from the posted message, once its closing
    // has finished.
    if (closeCardPreview && closeCardPreview()) postUserMessage();
}
