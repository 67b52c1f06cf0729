#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

struct CommandContext;
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
    explicit NotesCommands(const CommandContext& context);
    ~NotesCommands() override;

    void updateActions();

    // True when empty notes took the old ones' place.
    bool newNotes();
    void openNotes();
    void saveNotes();
    void saveNotesAs();
    void closeNotes();
    void linkNotesToCard();
    void attachNoteToCell();

    // What the notes save question came to: saved, declined (No), or Stop
    // when the calling command is to stop (Cancel, a cancelled dialog or a
    // failed save).
    enum class SaveOffer { Saved, Declined, Stop };
    // The notes save question for changed notes; Yes saves them, asking
    // for a name when they have none.
    SaveOffer offerToSave();
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
