#include "views/notetabs.h"

#include "views/notestexteditor.h"

namespace {

QString headingSearchText(int noteNumber) {
    return QStringLiteral("Note:..") + QString::number(noteNumber);
}

}  // namespace

bool NoteTabs::findNoteHeading(NotesTextEditor& editor, int noteNumber) {
    SearchOptions options;
    options.global = true;
    return editor.search(headingSearchText(noteNumber), options);
}

bool NoteTabs::findOrAppendNoteHeading(NotesTextEditor& editor, int noteNumber) {
    if (findNoteHeading(editor, noteNumber)) return true;
    // Headings the program adds always become a new last line; going to the
    // end of the text (rather than to some column of the last line) keeps a
    // long last line whole.
    editor.moveCursor(QTextCursor::End);
    editor.insertAtCaret(QStringLiteral("\r\n") + headingSearchText(noteNumber) + QLatin1Char(':'));
    return false;
}

void NoteTabs::addNoteTab(int noteNumber) {
    int index = count_;
    if (++count_ > kMaxNoteTabs) {
        count_ = kMaxNoteTabs;
        index = 0;
    }
    activeTab_ = index;
    tabs_[static_cast<size_t>(index)] = NoteTab{noteNumber, 1, 1};
}

int NoteTabs::indexOfNote(int noteNumber) const {
    for (int i = 0; i < count_; ++i) {
        if (tabs_[static_cast<size_t>(i)].noteNumber == noteNumber) return i;
    }
    return -1;
}

void NoteTabs::storeCaret(const NotesTextEditor& editor) {
    if (activeTab_ < 0 || activeTab_ >= count_) return;
    NoteTab& tab = tabs_[static_cast<size_t>(activeTab_)];
    tab.line = editor.caretLine();
    tab.column = editor.caretColumn();
}

QStringList NoteTabs::buildCaptions(NotesTextEditor& editor, bool tabsOptionOn) {
    if (!tabsOptionOn || count_ <= 0) return {QString()};
    QStringList captions;
    for (int i = 0; i < count_; ++i) {
        captions << QString::number(tabs_[static_cast<size_t>(i)].noteNumber);
    }
    selectTab(editor, activeTab_, tabsOptionOn);
    return captions;
}

void NoteTabs::selectTab(NotesTextEditor& editor, int i, bool tabsOptionOn) {
    if (tabsOptionOn && i >= 0 && i < count_) {
        const NoteTab& tab = tabs_[static_cast<size_t>(i)];
        editor.setCaret(tab.line, tab.column);
        activeTab_ = i;
    }
    editor.raise();
    editor.setFocus();
}

void NoteTabs::refindTabs(NotesTextEditor& editor) {
    for (int i = 0; i < count_; ++i) {
        NoteTab& tab = tabs_[static_cast<size_t>(i)];
        if (findNoteHeading(editor, tab.noteNumber)) {
            tab.line = editor.caretLine();
            tab.column = editor.caretColumn();
        } else {
            tab.line = 1;
            tab.column = 1;
        }
    }
}
