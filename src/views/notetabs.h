#pragma once

#include <QStringList>
#include <array>

class NotesTextEditor;

// A recently used note number and the notes editor's caret on it.
struct NoteTab {
    int noteNumber = 0;
    int line = 1;    // from 1, as the notes editor counts lines
    int column = 1;  // from 1, as the notes editor counts columns
};

// The note tabs of the notes group: up to ten recently used note numbers,
// in tab order, shown as the right-hand tabs while the notes are showing.
class NoteTabs {
public:
    static constexpr int kMaxNoteTabs = 10;

    // Selects the first "Note:..N" in the text, capital and small letters
    // alike, with the caret at its end. No colon is looked for, so note 1 is
    // found at note 12's heading when that comes first.
    static bool findNoteHeading(NotesTextEditor& editor, int noteNumber);
    // Finds note N's heading, or appends it as a new last line with the
    // caret after it. Returns whether the heading was already there.
    static bool findOrAppendNoteHeading(NotesTextEditor& editor, int noteNumber);

    int count() const { return count_; }
    const NoteTab& tab(int i) const { return tabs_[static_cast<size_t>(i)]; }
    // Index of the tab last created, found or selected.
    int activeTab() const { return activeTab_; }
    void setActiveTab(int i) { activeTab_ = i; }

    // Makes a tab for the note the active one; an eleventh replaces the
    // first. The caller stores the caret in it (storeCaret).
    void addNoteTab(int noteNumber);
    // Index of the first tab for the note, or -1.
    int indexOfNote(int noteNumber) const;
    void storeCaret(const NotesTextEditor& editor);

    // The captions of the right-hand tabs: one per note tab when the option
    // is on and there are tabs (the active one is then selected), otherwise
    // a single empty caption, for which every "Right" menu item is hidden.
    QStringList buildCaptions(NotesTextEditor& editor, bool tabsOptionOn);
    // Moves the caret to tab i's stored position (only with the option on
    // and tabs present) and brings the editor to the front with the focus.
    void selectTab(NotesTextEditor& editor, int i, bool tabsOptionOn);
    // Stores each tab's heading position again, as wrapping or editing may
    // have moved it; a tab whose heading has gone goes to line 1, column 1.
    // Leaves the caret at the last heading found.
    void refindTabs(NotesTextEditor& editor);
    void clear() { count_ = 0; }

private:
    std::array<NoteTab, kMaxNoteTabs> tabs_{};
    int count_ = 0;
    int activeTab_ = 0;
};
