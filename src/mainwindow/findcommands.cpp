// Find and replace in the notes. The notes editor's caret and selection
// carry the search position from one command to the next.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextCursor>

#include "dialogs/tfinddlg.h"
#include "dialogs/treplacedlg.h"
#include "mainwindow/appwindows.h"
#include "mainwindow/truvcce.h"

// The editor draws its selection even while a dialog or message box has the
// focus, so a match stays highlighted without anything being switched.

namespace {

SearchOptions optionsOf(const NotesSearchDialog& dialog, const QCheckBox& matchCase, bool global) {
    SearchOptions options;
    options.backward = dialog.RadioButton2->isChecked();
    options.matchCase = matchCase.isChecked();
    options.global = global;
    return options;
}

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

void TRUVCCE::Findstring1Click() {
    if (!windows_) return;
    TFindDlg& dialog = windows_->find();
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    findInNotes(*TFE, dialogs_, dialog.Edit1->text(),
                optionsOf(dialog, *dialog.CheckBox1, dialog.CheckBox2->isChecked()));
}

void TRUVCCE::Searchagain1Click() {
    if (!windows_) return;
    const TFindDlg& dialog = windows_->find();
    // Never global: the search goes on from the caret, just past the last match.
    findInNotes(*TFE, dialogs_, dialog.Edit1->text(), optionsOf(dialog, *dialog.CheckBox1, false));
}

void TRUVCCE::Replacestring1Click() {
    if (!windows_) return;
    TReplaceDlg& dialog = windows_->replace();
    if (dialogs_.execDialog(dialog) != QDialog::Accepted) return;
    const QString text = dialog.Edit1->text();
    // With nothing to look for every "match" would be empty: replacing it
    // would insert at the caret, and a confirmed loop would never end.
    if (text.isEmpty()) return;
    SearchOptions options = optionsOf(dialog, *dialog.CheckBox1, dialog.CheckBox2->isChecked());
    const bool all = dialog.CheckBox3->isChecked();
    const bool confirm = dialog.CheckBox4->isChecked();

    if (all && confirm) {
        bool found = TFE->search(text, options);
        options.global = false;
        while (found) {
            const UserDialogs::Answer answer = askReplace(dialogs_);
            if (answer == UserDialogs::Answer::Cancel) return;
            if (answer == UserDialogs::Answer::Yes)
                replaceMatch(*TFE, dialog.Edit2->text(), options.backward);
            found = TFE->search(text, options);
        }
        return;
    }
    if (all) {
        if (TFE->replaceAll(text, dialog.Edit2->text(), options) < 0)
            reportNotFound(dialogs_, text);
        return;
    }
    if (!TFE->search(text, options)) {
        reportNotFound(dialogs_, text);
        return;
    }
    if (confirm && askReplace(dialogs_) != UserDialogs::Answer::Yes) return;
    replaceMatch(*TFE, dialog.Edit2->text(), options.backward);
}
