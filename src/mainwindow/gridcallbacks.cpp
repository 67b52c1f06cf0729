// The grids' callbacks: every cell's text comes from the card, and every
// edit goes back into it with suit symbols turned into their codes.

#include <QApplication>
#include <QToolTip>

#include "card/printlayout.h"
#include "mainwindow/appwindows.h"
#include "mainwindow/cardtext.h"
#include "mainwindow/truvcce.h"
#include "printing/tcarddef.h"

namespace {

// Cells show at most this many characters.
constexpr int kCellBuffer = 255;

}  // namespace

QString TRUVCCE::OvcTableGetCellData(int gridNumber, int row, int column) {
    CardGrid& view = grid(gridNumber);
    if (FormBusy || view.isHidden()) return {};
    const int index = currentSectionIndex();
    if (index < 0) return {};
    const zqw::Section& s = card_.sections[index];
    std::string text;
    if (gridNumber == 1 && s.hasHeadings && row == 0) {
        if (column < 0 || column >= s.columnCount) return {};
        return fromCardText(card_.columns[s.firstColumn + column].heading).left(kCellBuffer);
    }
    if (row == 0) return {};
    const zqw::RowRef ref = card_.findGridRow(index, gridNumber, row);
    const zqw::TemplateLine& found = card_.lines[ref.line];
    const bool labelColumn = column == 0 && (gridNumber == 2 || s.columnCount >= 2);
    if (!labelColumn) {
        text = card_.field(ref, gridNumber, column + 1);
    } else if (ref.row == found.firstRow) {
        text = found.label;
    } else if (gridNumber == 1 &&
               NB1->currentIndex() == static_cast<int>(card_.groups.size()) - 3 && windows_ &&
               windows_->cardLayout().openBidsOnAllLines()) {
        // The opening bids table repeats its bid on every row of a line.
        text = found.label;
    }
    card_.codesToDisplay(text);
    return fromCardText(text).left(kCellBuffer);
}

QString TRUVCCE::cellText(int grid, int row, int column) {
    return OvcTableGetCellData(grid, row, column);
}

bool TRUVCCE::cellEditable(int gridNumber, int row, int column) {
    if (FormBusy || row < 1) return false;
    const zqw::Section* s = currentSection();
    if (!s) return false;
    if (gridNumber == 2) return column != 0;       // TB2GetCellAttributes
    return !(column == 0 && s->columnCount >= 2);  // TB1GetCellAttributes
}

void TRUVCCE::STExit(int gridNumber, const QString& text) {
    if (FormBusy) return;
    EditPending[gridNumber] = true;
    EditedText[gridNumber] = text;
    // The section being edited is the one the grids show, which during a tab
    // change is no longer the selected one.
    ActiveGroup = shownGroup_;
    ActiveSectionTab = shownSection_;
    // Focus going to another window (the prompt list) keeps the place where
    // its prompt is to go.
    if (QApplication::activeWindow() == this) clearInsertionPoint();
}

void TRUVCCE::editorExit(int grid, const QString& text) { STExit(grid, text); }

void TRUVCCE::OvcTableDoneEdit(int gridNumber, int row, int column) {
    if (FormBusy || !EditPending[gridNumber]) return;
    EditPending[gridNumber] = false;
    const int index = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    if (index < 0 || row < 1) return;
    const zqw::RowRef ref = card_.findGridRow(index, gridNumber, row);
    if (!ref) return;
    std::string old = card_.field(ref, gridNumber, column + 1);
    card_.codesToDisplay(old);
    std::string edited = toCardText(EditedText[gridNumber]);
    if (old != edited) {
        card_.displayToCodes(edited);
        // A TAB would split the field and a line break the card file's
        // record; text pasted or dropped into a cell may hold either.
        for (char& c : edited) {
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        }
        card_.setField(ref, gridNumber, column + 1, edited);
        card_.isModified = true;
    }
}

void TRUVCCE::doneEdit(int grid, int row, int column) { OvcTableDoneEdit(grid, row, column); }

void TRUVCCE::storePendingEdits() {
    for (CardGrid* view : {OvcTable1, OvcTable2}) {
        if (!view->isEditing()) continue;
        const bool focused = view->editor() && view->editor()->hasFocus();
        view->stopEditing(true);
        view->startEditing(focused);
    }
}

void TRUVCCE::captureInsertionPoint(QLineEdit* editor) {
    InsertionPoint.editor = editor;
    InsertionPoint.text = editor->text();
    InsertionPoint.selStart =
        editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    InsertionPoint.selLength =
        editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
}

void TRUVCCE::editorEnter(int, QLineEdit* editor) {
    if (!FormBusy) captureInsertionPoint(editor);
}

void TRUVCCE::ST1KeyUp(QLineEdit* editor, int key) {
    int code = 0;
    switch (key) {
        case Qt::Key_F5:
            code = card_.suitChars.club;
            break;
        case Qt::Key_F6:
            code = card_.suitChars.diamond;
            break;
        case Qt::Key_F7:
            code = card_.suitChars.heart;
            break;
        case Qt::Key_F8:
            code = card_.suitChars.spade;
            break;
        default:
            break;
    }
    if (code != 0) {
        if (OvcTable1->isEditing()) {
            const int start =
                editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
            const int length =
                editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
            const QString text = editor->text();
            const QString symbol = fromCardText(std::string(1, static_cast<char>(code)));
            editor->setText(text.left(start) + symbol + text.mid(start + length));
            editor->setCursorPosition(start + 1);
            card_.isModified = true;
        } else {
            dialogs_.message(QStringLiteral("Select a place to enter the card symbol"));
        }
    }
    captureInsertionPoint(editor);
}

void TRUVCCE::editorKeyUp(int, QLineEdit* editor, int key) { ST1KeyUp(editor, key); }

void TRUVCCE::editorMouseDown(int, QLineEdit* editor, Qt::MouseButton button) {
    TB1MouseDown(editor, button);
}

void TRUVCCE::editorMouseUp(int, QLineEdit* editor, Qt::MouseButton button) {
    TB1MouseUp(editor, button);
}

void TRUVCCE::OvcTable1MouseMove(int gridNumber, int row) {
    CardGrid& view = grid(gridNumber);
    if (card_.isNotesGroup(ActiveGroup)) {
        view.setToolTip(QString());
        return;
    }
    const int index = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    if (index < 0 || row < 1) {
        view.setToolTip(QString());
        return;
    }
    const int note = card_.rows[card_.findGridRow(index, gridNumber, row).row].noteNo;
    view.setToolTip(note != 0 ? QString::number(note) : QString());
    if (QLineEdit* editor = view.editor()) editor->setToolTip(view.toolTip());
}

void TRUVCCE::gridMouseMove(int gridNumber, int row) { OvcTable1MouseMove(gridNumber, row); }

void TRUVCCE::editorMouseMove(int) {
    CardGrid& view = grid(ActiveGrid);
    OvcTable1MouseMove(ActiveGrid, view.activeRow());
}

void TRUVCCE::gridEnter(int gridNumber) {
    // Focus moves about while a tab change empties and refills the grids;
    // that is not the user entering a grid.
    if (TabSwitching || leavingPage_) return;
    ActiveGrid = gridNumber;
    CardGrid& other = grid(gridNumber == 1 ? 2 : 1);
    if (other.isEditing() && !other.isHidden()) {
        other.stopEditing(true);
        other.startEditing(false);
    }
}

void TRUVCCE::activeCellChanged(int gridNumber, int, int) {
    // The prompt list hides when the cell changes; it arrives with the prompts.
    ActiveGrid = gridNumber;
}

void TRUVCCE::columnsChanged(int gridNumber) { TBColumnsChanged(gridNumber); }

void TRUVCCE::TBColumnsChanged(int gridNumber) {
    CardGrid& view = grid(gridNumber);
    if (TabSwitching || FormBusy || view.isHidden()) return;
    const int index = currentSectionIndex();
    if (index < 0) return;
    zqw::Section& s = card_.sections[index];
    const double W = printColumnWidth();
    if (W <= 0) return;
    const auto percent = [W](double pixels) { return zqw::roundHalfEven(pixels * 100.0 / W); };
    // Widths are stored as two digits; 3 is the least the rules aim at.
    const auto bounded = [](int pct) { return std::clamp(pct, 3, 99); };
    if (gridNumber == 1) {
        if (s.columnCount < 2) return;
        int running = 0;
        for (int i = 0; i < s.columnCount; ++i) {
            const int px = view.columnWidth(i);
            running += px;
            int pct = percent(px);
            if (i == s.columnCount - 1 && running > W) {
                pct = percent(px - running + W);
                if (pct < 3) pct += 3;
            } else if (running > W - 3) {
                pct -= 3;
            }
            if (pct == 0) pct = 3;
            pct = bounded(pct);
            zqw::ColumnHead& head = card_.columns[s.firstColumn + i];
            if (pct != head.width) {
                head.width = pct;
                card_.isModified = true;
            }
        }
    } else {
        const int px0 = view.columnWidth(0);
        const int px1 = view.columnWidth(1);
        int a0 = percent(px0);
        int a1 = percent(px1);
        if (px0 + px1 > W) a1 = percent(W - px0);
        if (a1 < 3) {
            a0 -= 3;
            a1 += 3;
        }
        a0 = bounded(a0);
        a1 = bounded(a1);
        if (a0 != s.labelWidth2 || a1 != s.textWidth2) {
            s.labelWidth2 = a0;
            s.textWidth2 = a1;
            card_.isModified = true;
        }
    }
}
