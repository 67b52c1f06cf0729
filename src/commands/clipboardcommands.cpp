#include "commands/clipboardcommands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

ClipboardCommands::ClipboardCommands(const CommandContext& context)
    : document_(context.document), view_(context.view), notes_(context.notes), menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    context.menu.add(*this, QStringLiteral("copy"), QStringLiteral("&Copy"),
                     key(Qt::ControlModifier | Qt::Key_Insert), update, [this] { copy(); });
    context.menu.add(*this, QStringLiteral("paste"), QStringLiteral("&Paste"),
                     key(Qt::ShiftModifier | Qt::Key_Insert), update, [this] { paste(); });
    context.menu.add(*this, QStringLiteral("cut"), QStringLiteral("Cu&t"),
                     key(Qt::ShiftModifier | Qt::Key_Delete), update, [this] { cut(); });
}

void ClipboardCommands::updateActions() {
    QAction* copyItem = menu_.find(QStringLiteral("copy"));
    QAction* cutItem = menu_.find(QStringLiteral("cut"));
    QAction* pasteItem = menu_.find(QStringLiteral("paste"));
    if (view_.notesShowing()) {
        const bool open = document_.notesOpen();
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
        if (document_.notesOpen()) notes_.copy();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        editor->copy();
    }
}

void ClipboardCommands::paste() {
    if (view_.notesShowing()) {
        if (document_.notesOpen()) notes_.paste();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        // The cell's validator keeps what a card file can store: a line
        // break becomes a space, a suit symbol the card's suit, and any other
        // character it cannot hold is replaced, with a word saying so.
        editor->insert(QGuiApplication::clipboard()->text());
    }
}

void ClipboardCommands::cut() {
    if (view_.notesShowing()) {
        if (document_.notesOpen()) notes_.cut();
    } else if (QLineEdit* editor = view_.activeCellEditor()) {
        editor->cut();
    }
}
