// The right-button prompt list and the column edit window.

#include <QCursor>
#include <QScreen>
#include <QTextEdit>

#include "card/columnedit.h"
#include "mainwindow/appwindows.h"
#include "mainwindow/cardtext.h"
#include "mainwindow/truvcce.h"
#include "prompts/tmemofrm.h"
#include "prompts/tprompts.h"

namespace {

// Notes attached by the "*Brown" prompt of the special methods section.
constexpr int kBrownStickerNote = 999;
constexpr int kBrownGroup = 1;
constexpr int kBrownSection = 1;

QString displayText(const zqw::Card& card, std::string text) {
    card.codesToDisplay(text);
    return fromCardText(text);
}

}  // namespace

void TRUVCCE::connectPromptWindows() {
    if (promptWindowsConnected_ || !windows_) return;
    promptWindowsConnected_ = true;
    // The list belongs to the cell it was opened for.
    for (CardGrid* each : {OvcTable1, OvcTable2}) {
        connect(each->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &TRUVCCE::hidePromptList);
    }
    connect(&windows_->prompts(), &Tprompts::promptChosen, this, &TRUVCCE::Prompts3Click);
    TMemoFrm& memo = windows_->columnEdit();
    connect(&memo, &TMemoFrm::memoTouched, this, &TRUVCCE::captureMemoInsertionPoint);
    connect(&memo, &TMemoFrm::promptsRequested, this, &TRUVCCE::showPromptList);
    connect(&memo, &TMemoFrm::rightButtonPressed, this, [this](QPoint mouse) {
        if (!rightMouseItem_->isChecked()) return;
        placePromptList(windows_->columnEdit().pos(), mouse);
        showPromptList();
    });
}

QStringList TRUVCCE::cellPrompts(int lineIndex, int gridColumn) const {
    const zqw::CellInfo& info = card_.cellInfoOf(lineIndex, gridColumn);
    QStringList prompts;
    for (int k = 0; k < info.promptCount; ++k) {
        const int index = info.firstPrompt - 1 + k;
        if (index <= 0 || index >= static_cast<int>(card_.prompts.size())) continue;
        prompts.append(displayText(card_, card_.prompts[index].text));
    }
    return prompts;
}

void TRUVCCE::placePromptList(QPoint windowOrigin, QPoint mouse) {
    CardGrid& view = grid(ActiveGrid);
    Tprompts& list = windows_->prompts();
    list.move(windowOrigin.x() + mouse.x() - 5,
              windowOrigin.y() + mouse.y() + view.rowHeight(0) * view.activeRow() + 5);
}

void TRUVCCE::showPromptList() {
    Tprompts& list = windows_->prompts();
    list.showList();
    // Far down a long section the list would open below the screen, where
    // it could be neither seen nor reached. Its frame is known once shown.
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        const QRect frame = list.frameGeometry();
        const int left =
            std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
        const int top =
            std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
        if (left != frame.left() || top != frame.top()) list.move(left, top);
    }
}

void TRUVCCE::Prompts1Click() {
    if (!windows_) return;
    connectPromptWindows();
    if (InsertionPoint.selStart == -1) {
        dialogs_.message(QStringLiteral("Please click on line of card"));
        return;
    }
    QStringList prompts;
    const int section = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    const CardGrid& view = grid(ActiveGrid);
    if (section >= 0 && view.activeRow() >= 1) {
        const zqw::RowRef ref = card_.findGridRow(section, ActiveGrid, view.activeRow());
        if (ref) prompts = cellPrompts(ref.line, view.activeColumn());
    }
    Tprompts& list = windows_->prompts();
    list.setFont(DisplayFont);
    list.setPrompts(prompts);
    showPromptList();
}

void TRUVCCE::TB1MouseDown(QLineEdit* editor, Qt::MouseButton button) {
    if (button != Qt::RightButton || !windows_) return;
    // The right button belongs to the prompts; the editor's own menu would
    // cover the list, and with the option off the button does nothing.
    editor->setContextMenuPolicy(Qt::PreventContextMenu);
    if (!rightMouseItem_->isChecked()) return;
    connectPromptWindows();
    placePromptList(pos(), editor->mapFromGlobal(QCursor::pos()));
    Prompts1Click();
}

void TRUVCCE::TB1MouseUp(QLineEdit* editor, Qt::MouseButton button) {
    if (button == Qt::LeftButton) captureInsertionPoint(editor);
    if (button == Qt::MiddleButton) Prompts1Click();
}

void TRUVCCE::hidePromptList() {
    if (windows_) windows_->prompts().hide();
}

void TRUVCCE::captureMemoInsertionPoint() {
    if (!windows_) return;
    QTextEdit& memo = windows_->columnEdit().memo();
    const QTextCursor cursor = memo.textCursor();
    InsertionPoint.editor = nullptr;
    insertionMemo_ = &memo;
    InsertionPoint.text = memo.toPlainText();
    InsertionPoint.selStart = cursor.selectionStart();
    InsertionPoint.selLength = cursor.selectionEnd() - cursor.selectionStart();
}

void TRUVCCE::InsertPromptText(const QString& prompt) {
    if (InsertionPoint.selStart == -1) return;
    const int start = InsertionPoint.selStart;
    const QString text = InsertionPoint.text.left(start) + prompt +
                         InsertionPoint.text.mid(start + InsertionPoint.selLength);
    const int caret = start + static_cast<int>(prompt.size());
    if (QLineEdit* editor = InsertionPoint.editor) {
        editor->setText(text);
        editor->setCursorPosition(caret);
        card_.isModified = true;
        captureInsertionPoint(editor);
    } else if (auto* memo = qobject_cast<QTextEdit*>(insertionMemo_.data())) {
        memo->setPlainText(text);
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(std::min(caret, static_cast<int>(memo->toPlainText().size())));
        memo->setTextCursor(cursor);
        card_.isModified = true;
        captureMemoInsertionPoint();
    }
}

void TRUVCCE::Prompts3Click(const QString& prompt) {
    if (InsertionPoint.selStart == -1) return;
    InsertPromptText(prompt);
    if (ActiveGroup != kBrownGroup || ActiveSectionTab != kBrownSection ||
        !prompt.startsWith(QStringLiteral("*Brown"), Qt::CaseSensitive)) {
        return;
    }
    const int section = card_.sectionIndexOf(kBrownGroup, kBrownSection);
    if (section < 0 || OvcTable1->activeRow() < 1) return;
    const int row = card_.findGridRow(section, 1, OvcTable1->activeRow()).row;
    if (row == 0) return;
    card_.rows[row].noteNo = kBrownStickerNote;
    card_.isModified = true;
    NoteTabs::FindOrAppendNoteHeading(*TFE, kBrownStickerNote);
}

void TRUVCCE::reloadGridRows(int gridNumber, int row, int column) {
    const int section = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    if (section < 0) return;
    const zqw::Section& form = card_.sections[section];
    CardGrid& view = grid(gridNumber);
    // Resetting the rows resets the header too: the widths are put back
    // as they were, which must not count as the user dragging a column.
    QList<int> widths;
    for (int c = 0; c < view.gridModel().columnCount(); ++c) widths.append(view.columnWidth(c));
    const bool switching = TabSwitching;
    TabSwitching = true;
    const int rows = gridNumber == 1 ? form.rowCount : form.rowCount2;
    view.setRowsAndColumns(rows + 1, view.gridModel().columnCount(),
                           gridNumber == 1 && form.hasHeadings);
    for (int c = 0; c < widths.size(); ++c) view.setColumnWidth(c, widths[c]);
    TabSwitching = switching;
    view.setActiveCell(std::clamp(row, 1, std::max(1, rows)), column);
}

void TRUVCCE::Notepadcolumnedit1Click() {
    if (!windows_ || card_.isNoCard) return;
    const int section = card_.sectionIndexOf(ActiveGroup, ActiveSectionTab);
    if (section < 0 || notesGroupShowing()) return;
    connectPromptWindows();
    int gridNumber = ActiveGrid == 2 ? 2 : 1;
    if (grid(gridNumber).isHidden()) gridNumber = gridNumber == 1 ? 2 : 1;
    CardGrid& view = grid(gridNumber);
    if (view.isHidden()) return;
    for (CardGrid* each : {OvcTable1, OvcTable2}) {
        if (each->isEditing()) each->stopEditing(true);
    }
    const int activeRow = view.activeRow();
    const int activeColumn = view.activeColumn();
    const auto range = zqw::columnEditRangeAt(card_, section, gridNumber, activeRow, activeColumn);
    if (!range) {
        for (CardGrid* each : {OvcTable1, OvcTable2}) {
            if (!each->isHidden()) each->startEditing(each == &view);
        }
        return;
    }

    Tprompts& list = windows_->prompts();
    list.setFont(DisplayFont);
    list.setPrompts(cellPrompts(range->activeLine, range->column));
    TMemoFrm& memo = windows_->columnEdit();
    memo.setCardFont(DisplayFont);
    const auto suit = [this](int code) {
        return displayText(card_, std::string(1, static_cast<char>(code)));
    };
    memo.setSuitCharacters({suit(zqw::kClubCode), suit(zqw::kDiamondCode), suit(zqw::kHeartCode),
                            suit(zqw::kSpadeCode)});
    QStringList lines;
    for (const std::string& text : zqw::readColumn(card_, *range)) lines.append(fromCardText(text));
    memo.setLines(lines);
    memo.setColumnWidth(view.columnWidth(range->column));
    memo.memo().setContextMenuPolicy(rightMouseItem_->isChecked() ? Qt::PreventContextMenu
                                                                  : Qt::DefaultContextMenu);

    // While the column edit is open only it and its own windows take
    // input; the prompt list becomes one of them for the while.
    const Qt::WindowFlags flags = list.windowFlags();
    list.hide();
    list.setParent(&memo, flags);
    const int result = dialogs_.execDialog(memo);
    list.hide();
    list.setParent(this, flags);
    insertionMemo_ = nullptr;
    clearInsertionPoint();

    if (result == QDialog::Accepted) {
        card_.isModified = true;
        std::vector<std::string> written;
        for (const QString& line : memo.displayedLines()) written.push_back(toCardText(line));
        zqw::writeColumn(card_, *range, written);
        reloadGridRows(gridNumber, activeRow, activeColumn);
    }
    // Both grids stay in editing state; the keyboard goes back to the one
    // the edit started from.
    for (CardGrid* each : {OvcTable1, OvcTable2}) {
        if (each->isHidden()) continue;
        each->gridModel().refresh();
        each->startEditing(each == &view);
    }
}
