#include "commands/findcommands.h"

#include <QAction>
#include <QTextCursor>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

// The editor draws its selection even while a dialog or message box has the
// focus, so a match stays highlighted without anything being switched.

namespace {

void reportNotFound(UserDialogs& dialogs, const QString& text) {
    dialogs.information(QStringLiteral("Search string '") + text + QStringLiteral("' not found"));
}

// Searches the notes and reports a miss. An empty search text looks for
// nothing: no search, no message.
void findInNotes(NotesTextEditor& notes, UserDialogs& dialogs, const QString& text,
                 SearchOptions options) {
    if (text.isEmpty()) return;
    if (!notes.search(text, options)) reportNotFound(dialogs, text);
}

// Puts the replacement in place of the selected match. Searching backward,
// the caret goes before the replacement, so that the next search never finds
// the text just put in (as it would when the replacement holds the search
// text, or only changes its capitals).
void replaceMatch(NotesTextEditor& notes, const QString& replacement, bool backward) {
    const int start = notes.textCursor().selectionStart();
    notes.insertAtCaret(replacement);
    if (!backward) return;
    QTextCursor cursor = notes.textCursor();
    cursor.setPosition(start);
    notes.setTextCursor(cursor);
}

UserDialogs::Answer askReplace(UserDialogs& dialogs) {
    return dialogs.question(QStringLiteral("Replace string "), true);
}

}  // namespace

FindCommands::FindCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      dialogs_(context.dialogs),
      menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::ControlModifier | key); };
    context.menu.add(*this, QStringLiteral("find"), QStringLiteral("&Find string"), ctrl(Qt::Key_F),
                     update, [this] { find(); });
    context.menu.add(*this, QStringLiteral("replace"), QStringLiteral("&Replace string"),
                     ctrl(Qt::Key_R), update, [this] { replace(); });
    context.menu.add(*this, QStringLiteral("findAgain"), QStringLiteral("Search a&gain"),
                     ctrl(Qt::Key_G), update, [this] { findAgain(); });
}

FindCommands::~FindCommands() = default;

FindDialog& FindCommands::findDialog() {
    if (!findDialog_) findDialog_ = std::make_unique<FindDialog>(&view_);
    return *findDialog_;
}

ReplaceDialog& FindCommands::replaceDialog() {
    if (!replaceDialog_) replaceDialog_ = std::make_unique<ReplaceDialog>(&view_);
    return *replaceDialog_;
}

void FindCommands::updateActions() {
    const bool notesShowing = view_.notesShowing();
    for (const char* name : {"find", "replace", "findAgain"}) {
        QAction* item = menu_.find(QLatin1String(name));
        item->setVisible(notesShowing);
        // The card page only hides them; what the notes page decided stays.
        if (notesShowing) MenuActions::setItemEnabled(item, document_.notesOpen());
    }
}

void FindCommands::find() {
    FindDialog& dialog = findDialog();
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    const SearchRequest request = dialog.request();
    findInNotes(notes_, dialogs_, request.text, request.options);
}

void FindCommands::findAgain() {
    SearchRequest request = findDialog().request();
    // Never global: the search goes on from the caret, just past the last match.
    request.options.global = false;
    findInNotes(notes_, dialogs_, request.text, request.options);
}

void FindCommands::replace() {
    ReplaceDialog& dialog = replaceDialog();
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    const SearchRequest request = dialog.request();
    // With nothing to look for every "match" would be empty: replacing it
    // would insert at the caret, and a confirmed loop would never end.
    if (request.text.isEmpty()) return;
    SearchOptions options = request.options;

    if (request.replaceAll && request.confirm) {
        bool found = notes_.search(request.text, options);
        options.global = false;
        while (found) {
            const UserDialogs::Answer answer = askReplace(dialogs_);
            if (answer == UserDialogs::Answer::Cancel) return;
            if (answer == UserDialogs::Answer::Yes)
                replaceMatch(notes_, request.replacement, options.backward);
            found = notes_.search(request.text, options);
        }
        return;
    }
    if (request.replaceAll) {
        if (notes_.replaceAll(request.text, request.replacement, options) < 0)
            reportNotFound(dialogs_, request.text);
        return;
    }
    if (!notes_.search(request.text, options)) {
        reportNotFound(dialogs_, request.text);
        return;
    }
    if (request.confirm && askReplace(dialogs_) != UserDialogs::Answer::Yes) return;
    replaceMatch(notes_, request.replacement, options.backward);
}
