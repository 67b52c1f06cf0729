#include "commands/promptcontroller.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTextEdit>

#include "card/cardindex.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "dialogs/cardtextvalidator.h"
#include "dialogs/suittext.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "prompts/promptlistwindow.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/notetabs.h"
#include "views/sectionview.h"

namespace {

// Notes attached by the "*Brown" prompt of the special methods section.
constexpr int kBrownStickerNote = 999;
constexpr int kBrownGroup = 1;
constexpr int kBrownSection = 1;

}  // namespace

PromptController::PromptController(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      settings_(context.settings),
      dialogs_(context.dialogs),
      menu_(context.menu) {
    context.menu.add(*this, QStringLiteral("showPrompts"),
                     QStringLiteral("&Prompts (Right button)"), QKeySequence(Qt::Key_F2), {},
                     [this] { showPrompts(); });
    updateCaption();
    connect(&settings_, &EditorSettings::rightMousePromptsChanged, this,
            &PromptController::updateCaption);
    connect(&view_, &SectionView::pageChanging, this, &PromptController::clearInsertionPoint);
    for (int number : {1, 2}) {
        CardGrid& grid = view_.grid(number);
        // The list belongs to the cell it was opened for.
        connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
            if (list_) list_->hide();
        });
        connect(&grid, &CardGrid::editorFocused, this, &PromptController::captureEditor);
        connect(&grid, &CardGrid::editorKeyReleased, this,
                [this](QLineEdit* editor, int) { captureEditor(editor); });
        connect(&grid, &CardGrid::editorMousePressed, this, &PromptController::editorMousePressed);
        connect(&grid, &CardGrid::editorMouseReleased, this,
                &PromptController::editorMouseReleased);
        // Leaving a cell for another part of the window takes the place
        // away; going to another window (the prompt list) keeps it for the
        // prompt to come.
        connect(&grid, &CardGrid::editCommitted, this, [this] {
            if (QApplication::activeWindow() == view_.window()) clearInsertionPoint();
        });
    }
}

PromptController::~PromptController() = default;

PromptListWindow& PromptController::promptList() {
    if (!list_) {
        list_ = std::make_unique<PromptListWindow>(&view_);
        connect(list_.get(), &PromptListWindow::promptChosen, this,
                &PromptController::choosePrompt);
        // The list shows and says suits as the card does.
        const auto showSuits = [this] {
            list_->setSuitText(SuitText(settings_.suitChars(), settings_.colourSuits()));
        };
        showSuits();
        connect(&settings_, &EditorSettings::suitCharsChanged, list_.get(), showSuits);
        connect(&settings_, &EditorSettings::colourSuitsChanged, list_.get(), showSuits);
    }
    return *list_;
}

void PromptController::updateCaption() {
    menu_.find(QStringLiteral("showPrompts"))
        ->setText((settings_.rightMousePrompts() ? QStringLiteral("&Prompts (Right button)")
                                                 : QStringLiteral("&Prompts")) +
                  QStringLiteral("\tF2"));
}

QStringList PromptController::cellPrompts(int line, int gridColumn) const {
    const zqw::Card& card = document_.card();
    const zqw::CellInfo& info = card.cellInfoOf(line, gridColumn);
    QStringList prompts;
    for (int k = 0; k < info.promptCount; ++k) {
        const int index = zqw::promptIndex(info.firstPrompt, k);
        if (index <= 0 || index >= static_cast<int>(card.prompts.size())) continue;
        std::string text = card.prompts[index].text;
        zqw::codesToDisplay(text, settings_.suitChars());
        prompts.append(fromCardText(text));
    }
    return prompts;
}

void PromptController::moveList(QPoint windowOrigin, QPoint mouse) {
    const CardGrid& grid = view_.grid(view_.activeGrid());
    promptList().move(windowOrigin.x() + mouse.x() - 5,
                      windowOrigin.y() + mouse.y() + grid.rowHeight(0) * grid.activeRow() + 5);
}

void PromptController::placeAndShowList(QPoint windowOrigin, QPoint mouse) {
    moveList(windowOrigin, mouse);
    showList();
}

void PromptController::showList() {
    PromptListWindow& list = promptList();
    list.showList();
    // Far down a long section the list would open below the screen, where
    // it could be neither seen nor reached. Its frame is known once shown.
    if (const QScreen* screen = view_.screen()) {
        const QRect room = screen->availableGeometry();
        const QRect frame = list.frameGeometry();
        const int left =
            std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
        const int top =
            std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
        if (left != frame.left() || top != frame.top()) list.move(left, top);
    }
}

void PromptController::showPrompts() {
    if (insertionPoint_.selStart == -1) {
        dialogs_.message(QStringLiteral("Please click on line of card"));
        return;
    }
    QStringList prompts;
    const zqw::Card& card = document_.card();
    const int section = card.sectionIndexOf(view_.activeGroup(), view_.activeSectionTab());
    const CardGrid& grid = view_.grid(view_.activeGrid());
    if (section >= 0 && grid.activeRow() >= 1) {
        const zqw::RowRef ref = card.findGridRow(section, view_.activeGrid(), grid.activeRow());
        if (ref) prompts = cellPrompts(ref.line, grid.activeColumn());
    }
    PromptListWindow& list = promptList();
    list.setFont(settings_.displayFont());
    list.setPrompts(prompts);
    showList();
}

void PromptController::editorMousePressed(QLineEdit* editor, Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    // The right button belongs to the prompts; the editor's own menu would
    // cover the list, and with the option off the button does nothing.
    editor->setContextMenuPolicy(Qt::PreventContextMenu);
    if (!settings_.rightMousePrompts()) return;
    moveList(view_.window()->pos(), editor->mapFromGlobal(QCursor::pos()));
    showPrompts();
}

void PromptController::editorMouseReleased(QLineEdit* editor, Qt::MouseButton button) {
    if (button == Qt::LeftButton) captureEditor(editor);
    if (button == Qt::MiddleButton) showPrompts();
}

void PromptController::captureEditor(QLineEdit* editor) {
    insertionPoint_.editor = editor;
    insertionPoint_.memo = nullptr;
    insertionPoint_.text = editor->text();
    insertionPoint_.selStart =
        editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    insertionPoint_.selLength =
        editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
}

void PromptController::captureMemo(QTextEdit& memo) {
    const QTextCursor cursor = memo.textCursor();
    insertionPoint_.editor = nullptr;
    insertionPoint_.memo = &memo;
    insertionPoint_.text = memo.toPlainText();
    insertionPoint_.selStart = cursor.selectionStart();
    insertionPoint_.selLength = cursor.selectionEnd() - cursor.selectionStart();
}

void PromptController::clearInsertionPoint() {
    insertionPoint_.selStart = -1;
    insertionPoint_.memo = nullptr;
}

void PromptController::insertPrompt(const QString& given) {
    if (insertionPoint_.selStart == -1) return;
    QString prompt = given;
    CardTextValidator::clean(prompt, settings_.suitChars());
    const int start = insertionPoint_.selStart;
    const QString text = insertionPoint_.text.left(start) + prompt +
                         insertionPoint_.text.mid(start + insertionPoint_.selLength);
    const int caret = start + static_cast<int>(prompt.size());
    if (QLineEdit* editor = insertionPoint_.editor) {
        // Put in as typing would be, so that a cell's limit cuts the prompt,
        // not what the cell held.
        editor->setText(insertionPoint_.text);
        editor->setSelection(start, insertionPoint_.selLength);
        editor->insert(prompt);
        document_.markPendingEdit();
        captureEditor(editor);
    } else if (QTextEdit* memo = insertionPoint_.memo) {
        memo->setPlainText(text);
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(std::min(caret, static_cast<int>(memo->toPlainText().size())));
        memo->setTextCursor(cursor);
        document_.markPendingEdit();
        captureMemo(*memo);
    }
}

void PromptController::choosePrompt(const QString& prompt) {
    if (insertionPoint_.selStart == -1) return;
    insertPrompt(prompt);
    if (view_.activeGroup() != kBrownGroup || view_.activeSectionTab() != kBrownSection ||
        !prompt.startsWith(QStringLiteral("*Brown"), Qt::CaseSensitive)) {
        return;
    }
    zqw::Card& card = document_.card();
    const int section = card.sectionIndexOf(kBrownGroup, kBrownSection);
    const int activeRow = view_.grid(1).activeRow();
    if (section < 0 || activeRow < 1) return;
    const int row = card.findGridRow(section, 1, activeRow).row;
    if (row == 0) return;
    document_.changeRow(QStringLiteral("Brown sticker note"), row, card.rows[row].text,
                        kBrownStickerNote);
    NoteTabs::findOrAppendNoteHeading(notes_, kBrownStickerNote);
}
