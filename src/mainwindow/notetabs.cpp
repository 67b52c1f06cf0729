#include "notetabs.h"

#include "notestexteditor.h"

namespace {

QString headingSearchText(int noteNumber) {
    return QStringLiteral("Note:..") + QString::number(noteNumber);
}

}  // namespace

bool NoteTabs::FindNoteHeading(NotesTextEditor& editor, int noteNumber) {
    SearchOptions options;
    options.global = true;
    return editor.search(headingSearchText(noteNumber), options);
}

bool NoteTabs::FindOrAppendNoteHeading(NotesTextEditor& editor, int noteNumber) {
    if (FindNoteHeading(editor, noteNumber)) return true;
    // Headings the program adds always become a new last line; going to the
    // end of the text (rather than to some column of the last line) keeps a
    // long last line whole.
    editor.moveCursor(QTextCursor::End);
    editor.insertAtCaret(QStringLiteral("\r\n") + headingSearchText(noteNumber) + QLatin1Char(':'));
    return false;
}

void NoteTabs::AddNoteTab(int noteNumber) {
    int index = NoteTabCount;
    if (++NoteTabCount > kMaxNoteTabs) {
        NoteTabCount = kMaxNoteTabs;
        index = 0;
    }
    ActiveNoteTab = index;
    NoteTabList[static_cast<size_t>(index)] = NoteTab{noteNumber, 1, 1};
}

int NoteTabs::indexOfNote(int noteNumber) const {
    for (int i = 0; i < NoteTabCount; ++i) {
        if (NoteTabList[static_cast<size_t>(i)].NoteNumber == noteNumber) return i;
    }
    return -1;
}

void NoteTabs::storeCaret(const NotesTextEditor& editor) {
    if (ActiveNoteTab < 0 || ActiveNoteTab >= NoteTabCount) return;
    NoteTab& tab = NoteTabList[static_cast<size_t>(ActiveNoteTab)];
    tab.Line = editor.caretLine();
    tab.column = editor.caretColumn();
}

QStringList NoteTabs::BuildNoteTabs(NotesTextEditor& editor, bool tabsOptionOn) {
    if (!tabsOptionOn || NoteTabCount <= 0) return {QString()};
    QStringList captions;
    for (int i = 0; i < NoteTabCount; ++i) {
        captions << QString::number(NoteTabList[static_cast<size_t>(i)].NoteNumber);
    }
    SelectNoteTab(editor, ActiveNoteTab, tabsOptionOn);
    return captions;
}

void NoteTabs::SelectNoteTab(NotesTextEditor& editor, int i, bool tabsOptionOn) {
    if (tabsOptionOn && i >= 0 && i < NoteTabCount) {
        const NoteTab& tab = NoteTabList[static_cast<size_t>(i)];
        editor.setCaret(tab.Line, tab.column);
        ActiveNoteTab = i;
    }
    editor.raise();
    editor.setFocus();
}

void NoteTabs::RefindNoteTabs(NotesTextEditor& editor) {
    for (int i = 0; i < NoteTabCount; ++i) {
        NoteTab& tab = NoteTabList[static_cast<size_t>(i)];
        if (FindNoteHeading(editor, tab.NoteNumber)) {
            tab.Line = editor.caretLine();
            tab.column = editor.caretColumn();
        } else {
            tab.Line = 1;
            tab.column = 1;
        }
    }
}
