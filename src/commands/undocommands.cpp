#include "commands/undocommands.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QUndoStack>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

const QKeySequence kUndoKey(Qt::ControlModifier | Qt::Key_Z);
const QKeySequence kRedoKey(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z);

}  // namespace

UndoCommands::UndoCommands(const CommandContext& context)
    : document_(context.document), view_(context.view), notes_(context.notes), menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    context.menu.add(*this, QStringLiteral("undo"), QStringLiteral("&Undo"), kUndoKey, update,
                     [this] { undo(); });
    context.menu.add(*this, QStringLiteral("redo"), QStringLiteral("R&eDo"), kRedoKey, update,
                     [this] { redo(); });
}

void UndoCommands::updateActions() {
    QAction* undoItem = menu_.find(QStringLiteral("undo"));
    QAction* redoItem = menu_.find(QStringLiteral("redo"));
    // The items are named after the step they take on the card.
    undoItem->setText(QStringLiteral("&Undo\t") + kUndoKey.toString(QKeySequence::NativeText));
    redoItem->setText(QStringLiteral("R&eDo\t") + kRedoKey.toString(QKeySequence::NativeText));
    if (view_.notesShowing()) {
        MenuActions::setItemEnabled(undoItem, notes_.document()->isUndoAvailable());
        MenuActions::setItemEnabled(redoItem, notes_.document()->isRedoAvailable());
        return;
    }
    const QLineEdit* editor = view_.activeCellEditor();
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

void UndoCommands::undo() {
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

void UndoCommands::redo() {
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
