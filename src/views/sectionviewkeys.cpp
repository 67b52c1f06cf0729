#include <QKeyEvent>

#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

// The keys the view handles itself: the suit symbol keys in a cell and in
// the notes, and Esc from the notes back to the card.

namespace {

QString suitText(int code) { return fromCardText(std::string(1, static_cast<char>(code))); }

}  // namespace

void SectionView::cellKeyReleased(QLineEdit* editor, int key) {
    const zqw::SuitChars& suits = document_.card().suitChars;
    int code = 0;
    switch (key) {
        case Qt::Key_F5:
            code = suits.club;
            break;
        case Qt::Key_F6:
            code = suits.diamond;
            break;
        case Qt::Key_F7:
            code = suits.heart;
            break;
        case Qt::Key_F8:
            code = suits.spade;
            break;
        default:
            return;
    }
    if (!grid1_->isEditing()) {
        dialogs_.message(QStringLiteral("Select a place to enter the card symbol"));
        return;
    }
    const int start =
        editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    const int length =
        editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
    const QString text = editor->text();
    editor->setText(text.left(start) + suitText(code) + text.mid(start + length));
    editor->setCursorPosition(start + 1);
    document_.setModified(true);
}

void SectionView::notesKeyReleased(int key) {
    const zqw::SuitChars& suits = document_.card().suitChars;
    switch (key) {
        case Qt::Key_F5:
            notes_.insertAtCaret(suitText(suits.club));
            break;
        case Qt::Key_F6:
            notes_.insertAtCaret(suitText(suits.diamond));
            break;
        case Qt::Key_F7:
            notes_.insertAtCaret(suitText(suits.heart));
            break;
        case Qt::Key_F8:
            notes_.insertAtCaret(suitText(suits.spade));
            break;
        case Qt::Key_Escape:
            returnToCard();
            break;
        default:
            break;
    }
}

bool SectionView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == groupTabs_ && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && notesShowing()) {
        returnToCard();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
