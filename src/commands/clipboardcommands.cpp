#include "commands/clipboardcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QUndoStack>

#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QKeySequence kUndoKey(Qt::ControlModifier | Qt::Key_Z);
const QKeySequence kRedoKey(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z);

}  // namespace

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
    menu.add(*this, QStringLiteral("undo"), QStringLiteral("&Undo"), kUndoKey, update,
             [this] { undo(); });
    menu.add(*this, QStringLiteral("redo"), QStringLiteral("R&eDo"), kRedoKey, update,
             [this] { redo(); });
}

void ClipboardCommands::updateActions() {
    QAction* copyItem = menu_.find(QStringLiteral("copy"));
    QAction* cutItem = menu_.find(QStringLiteral("cut"));
    QAction* pasteItem = menu_.find(QStringLiteral("paste"));
    QAction* undoItem = menu_.find(QStringLiteral("undo"));
    QAction* redoItem = menu_.find(QStringLiteral("redo"));
    const bool notesShowing = view_.notesShowing();
    // Undo and Redo act on the page that shows: the notes' own history, or
    // the card's, named after the step they take.
    undoItem->setText(QStringLiteral("&Undo\t") + kUndoKey.toString(QKeySequence::NativeText));
    redoItem->setText(QStringLiteral("R&eDo\t") + kRedoKey.toString(QKeySequence::NativeText));
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
        const QUndoStack& stack = document_.undoStack();
        // Typing in the open cell is undone first, by the cell itself.
        const bool cellUndo = editor && editor->isUndoAvailable();
        const bool cellRedo = editor && editor->isRedoAvailable();
        if (!cellUndo && stack.canUndo()) {
            undoItem->setText(QStringLiteral("&Undo ") + stack.undoText() + QLatin1Char('\t') +
                              kUndoKey.toString(QKeySequence::NativeText));
        }
        if (!cellRedo && stack.canRedo()) {
            redoItem->setText(QStringLiteral("R&eDo ") + stack.redoText() + QLatin1Char('\t') +
                              kRedoKey.toString(QKeySequence::NativeText));
        }
        MenuActions::setItemEnabled(undoItem, cellUndo || stack.canUndo());
        MenuActions::setItemEnabled(redoItem, cellRedo || stack.canRedo());
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
        // The cell's validator keeps what a card file can store: a line
        // break becomes a space, a character it cannot hold is left out.
        editor->insert(QGuiApplication::clipboard()->text());
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
    if (view_.notesShowing()) {
        if (!notes_.document()->isUndoAvailable()) {
            QApplication::beep();
            return;
        }
        notes_.undo();
        return;
    }
    if (QLineEdit* editor = view_.activeCellEditor(); editor && editor->isUndoAvailable()) {
        editor->undo();
        return;
    }
    QUndoStack& stack = document_.undoStack();
    if (!stack.canUndo()) {
        QApplication::beep();
        return;
    }
    stack.undo();
}

void ClipboardCommands::redo() {
    if (view_.notesShowing()) {
        if (!notes_.document()->isRedoAvailable()) {
            QApplication::beep();
            return;
        }
        notes_.redo();
        return;
    }
    if (QLineEdit* editor = view_.activeCellEditor(); editor && editor->isRedoAvailable()) {
        editor->redo();
        return;
    }
    QUndoStack& stack = document_.undoStack();
    if (!stack.canRedo()) {
        QApplication::beep();
        return;
    }
    stack.redo();
}
