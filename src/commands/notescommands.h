#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class CardDocument;
class EditorSettings;
class MenuActions;
class NoteNumberDialog;
class NotesTextEditor;
class SectionView;
class UserDialogs;

// The Notes menu, and F3, which attaches a note number to the active cell
// and goes to its heading in the notes.
class NotesCommands : public QObject {
    Q_OBJECT

public:
    NotesCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                  const EditorSettings& settings, UserDialogs& dialogs, MenuActions& menu);
    ~NotesCommands() override;

    void updateActions();

    void newNotes();
    void openNotes();
    void saveNotes();
    void saveNotesAs();
    void closeNotes();
    void linkNotesToCard();
    void attachNoteToCell();

    // The notes save question for changed notes (the answer kept as the
    // last answer); Yes saves them, asking for a name when they have none.
    // False when the calling command is to stop: Cancel, a cancelled
    // dialog or a failed save.
    bool offerToSave();
    // Before the notes are written: when they hold characters a notes file
    // cannot store, says which and asks whether to save anyway. False when
    // the user would rather not.
    bool confirmStorable();

private:
    // The notes save dialog; nullopt when cancelled.
    std::optional<QString> askSaveName();
    // Gives the notes editor the name and saves it there; a failure is
    // shown and returns false.
    bool saveAs(const QString& path);
    NoteNumberDialog& noteNumberDialog();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    MenuActions& menu_;
    std::unique_ptr<NoteNumberDialog> noteNumberDialog_;
};
