#include "commands/clipboardcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

ClipboardCommands::ClipboardCommands(CardDocument& document, SectionView& view,
                                     NotesTextEditor& notes, MenuActions& menu)
    : document_(document), view_(view), notes_(notes), menu_(menu) {
    const auto update = [this] { updateActions(); };
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    menu.add(*this, QStringLiteral("copy"), QStringLiteral("&Copy"),
             key(Qt::ControlModifier | Qt::Key_Insert), update, [this] { copy(); });
    menu.add(*this, QStringLiteral("paste"), QStringLiteral("&Paste"),
             key(Qt::ShiftModifier | Qt::Key_Insert), update, [this] { paste(); });
    menu.add(*this, QStringLiteral("cut"), QStringLiteral("Cu&t"),
             key(Qt::ShiftModifier | Qt::Key_Delete), update, [this] { cut(); });
    menu.add(*this, QStringLiteral("undo"), QStringLiteral("&Undo"),
             key(Qt::ControlModifier | Qt::Key_Z), update, [this] { undo(); });
    menu.add(*this, QStringLiteral("redo"), QStringLiteral("R&eDo"),
             key(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z), update, [this] { redo(); });
}

void ClipboardCommands::updateActions() {
    QAction* copyItem = menu_.find(QStringLiteral("copy"));
    QAction* cutItem = menu_.find(QStringLiteral("cut"));
    QAction* pasteItem = menu_.find(QStringLiteral("paste"));
    QAction* undoItem = menu_.find(QStringLiteral("undo"));
    QAction* redoItem = menu_.find(QStringLiteral("redo"));
    const bool notesShowing = view_.notesShowing();
    // Undo and Redo are the notes editor's; the card page has none.
    undoItem->setVisible(notesShowing);
    redoItem->setVisible(notesShowing);
    if (notesShowing) {
        MenuActions::setItemEnabled(undoItem, notes_.document()->isUndoAvailable());
        MenuActions::setItemEnabled(redoItem, notes_.document()->isRedoAvailable());
        const bool open = document_.card().notesOpen;
        const bool selection = open && notes_.textCursor().hasSelection();
        MenuActions::setItemEnabled(pasteItem, open);
        MenuActions::setItemEnabled(copyItem, selection);
        MenuActions::setItemEnabled(cutItem, selection);
    } else {
        const QLineEdit* editor = view_.activeCellEditor();
        const bool selection = editor && editor->hasSelectedText();
        MenuActions::setItemEnabled(copyItem, selection);
        MenuActions::setItemEnabled(cutItem, selection);
        MenuActions::setItemEnabled(pasteItem, true);
    }
}

void ClipboardCommands::copy() {
    if (view_.notesShowing()) {
        if (document_.card().notesOpen) notes_.copy();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        editor->copy();
    }
}

void ClipboardCommands::paste() {
    if (view_.notesShowing()) {
        if (document_.card().notesOpen) notes_.paste();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        // A cell is one line of the card file: pasted line breaks would
        // split its record, so each becomes a space.
        QString text = QGuiApplication::clipboard()->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        editor->insert(text);
    }
}

void ClipboardCommands::cut() {
    if (view_.notesShowing()) {
        if (document_.card().notesOpen) notes_.cut();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        editor->cut();
    }
}

void ClipboardCommands::undo() {
    if (!notes_.document()->isUndoAvailable()) {
        QApplication::beep();
        return;
    }
    notes_.undo();
}

void ClipboardCommands::redo() {
    if (!notes_.document()->isRedoAvailable()) {
        QApplication::beep();
        return;
    }
    notes_.redo();
}
