#include <QKeyEvent>

#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

// The keys the view handles itself: the suit symbol keys in a cell and in
// the notes, and Esc from the notes back to the card.

void SectionView::cellKeyReleased(QLineEdit* editor, int key) {
    const QString suit = suitKeyText(key, settings_.suitChars());
    if (suit.isEmpty()) return;
    if (!grid1_->isEditing()) {
        dialogs_.message(QStringLiteral("Select a place to enter the card symbol"));
        return;
    }
    const int start =
        editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    const int length =
        editor->hasSelectedText() ? static_cast<int>(editor->selectedText().size()) : 0;
    const QString text = editor->text();
    editor->setText(text.left(start) + suit + text.mid(start + length));
    editor->setCursorPosition(start + 1);
    document_.markPendingEdit();
}

void SectionView::notesKeyReleased(int key) {
    if (key == Qt::Key_Escape) {
        returnToCard();
        return;
    }
    const QString suit = suitKeyText(key, settings_.suitChars());
    if (!suit.isEmpty()) notes_.insertAtCaret(suit);
}

bool SectionView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == groupTabs_ && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && notesShowing()) {
        returnToCard();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
