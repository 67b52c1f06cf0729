#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "card/card.h"
#include "card/noteslink.h"
#include "dialogs/userdialogs.h"
#include "document/filefingerprints.h"

class QLockFile;

namespace zqw {
class NotesAppender;
}

class ProfileStore;

// The open card: the card itself, whether a template was read, whether it
// changed since it was saved, its notes link and the window caption that
// names the card's file. Everything that replaces, saves or changes the card
// goes through here, so whoever shows the card learns of it from the
// signals. Whether the card changed is not a flag anyone sets: it is the undo
// stack's distance from the saved state, so a change that is not made here
// cannot mark the card changed, nor be forgotten by a save.
//
// A card's notes link that leads out of the card's folder is followed
// without a question only when this user linked that pair (the per-user
// store remembers the pairs saved or agreed to); otherwise the user is asked,
// No by default.
//
// Another program may change the card or notes file while the editor has it
// open (most often a second editor on the same card): before either file is
// written over, the editor checks that it still holds what the editor read
// or wrote there, and otherwise asks, No by default. A card open in another
// editor of this user is named as such when it is opened.
class CardDocument : public QObject, private zqw::MessageSink, private zqw::NotesLinkApproval {
    Q_OBJECT

public:
    CardDocument(zqw::NotesEditor& notes, UserDialogs& dialogs, ProfileStore& profile);
    ~CardDocument() override;

    zqw::Card& card() { return card_; }
    const zqw::Card& card() const { return card_; }

    // Reads the template; false (with no card shape at all) when it cannot
    // be read. Without a template the editor has nothing to save: every
    // write is refused.
    bool loadTemplate(const QString& path);
    bool hasTemplate() const { return hasTemplate_; }

    bool isOpen() const { return card_.isOpen; }
    // The card differs from its file (the notes editor keeps its own
    // changes): a change since the last save, a recovered copy, an imported
    // DOS card, a notes link made or moved.
    bool isModified() const { return !undo_.isClean(); }

    QString fileName() const { return QString::fromStdString(card_.cardFileName); }
    bool isUnnamed() const { return card_.cardFileName == zqw::kUnnamedFile; }
    // "ZQW Convention card editor: " and the card's file name.
    QString caption() const;

    // A blank card, as New makes it.
    void startBlankCard();
    // Reads a card file (a damaged one is reported and gives a blank card).
    // False when the file was refused unread; the card stays as it was.
    bool openCard(const QString& path);
    // Reads a card just extracted from a package; its notes are only ever
    // one of the notes files extracted with it.
    void openPackagedCard(const QString& path, const QStringList& extractedNotes);
    // No card: the rows stay on screen but cannot be changed or saved.
    void closeCard();
    // A copy kept of a card with unsaved changes, read back as the card it
    // stands for, changed, so that the user saves it where they choose.
    // cardState: what the editor that wrote the copy knew of the card file.
    void openRecoveredCopy(const QString& copyPath, const QString& cardFile,
                           const QByteArray& cardState);
    // Whether a card save writes the linked notes too: not after the user
    // declined to save the notes.
    enum class LinkedNotes { Write, LeaveAsTheyAre };
    // Writes the card under its name, and the linked notes; false when it
    // could not be written (already reported) or the user chose not to
    // write over another program's changes.
    bool save(LinkedNotes notes = LinkedNotes::Write);
    // Writes the card under a new name. A write that fails leaves the card
    // under its old name: the new one names no card.
    bool saveAs(const QString& path, LinkedNotes notes = LinkedNotes::Write);

    // Fills the blank card from a card of the old DOS edition, its notes
    // lines going to `notes`; false (already reported) when the file cannot
    // be read. The filled card is a change, with nothing before it to undo.
    bool importDosCard(const QString& path, zqw::NotesAppender& notes,
                       const zqw::SuitChars& suitChars);

    // Whether the notes group has notes to edit: new notes, notes read, or
    // the notes a card links.
    bool notesOpen() const { return card_.notesOpen; }
    void setNotesOpen(bool open) { card_.notesOpen = open; }
    // The notes file the card links; empty when it links none.
    QString linkedNotesFile() const;
    // The card links notes that are open: a card save writes them too.
    bool hasOpenLinkedNotes() const { return card_.notesOpen && !card_.notesFileName.empty(); }
    // Links the card to this notes file, now open; the link is the card's
    // to save.
    void linkNotes(const QString& notesFile);
    // The link command gave unnamed notes a file: the card counts as
    // changed whether or not the user then links that file to it.
    void markNotesNamedForLink();

    // Reads a notes file into the notes editor; false when it cannot be read.
    bool loadNotes(const QString& path);
    // Writes the notes editor's text to a file; false when it could not be
    // written. Callers ask mayOverwrite first.
    bool saveNotes(const QString& path);
    // True unless the file changed on disk since this editor read or wrote
    // it and the user answers No to writing over it.
    bool mayOverwrite(const QString& path);
    // What this editor knows of a file it read or wrote, kept with a copy of
    // unsaved work; given back when the copy is restored, so that a save of
    // the restored work still notices another program's changes (empty:
    // the file as it stands now).
    QByteArray knownState(const QString& path) const { return fingerprints_.token(path); }
    void restoreKnownState(const QString& path, const QByteArray& state);
    // The caption names the card's file again (after a save under a new
    // name; Close keeps the closed card's caption).
    void refreshCaption();

    // Every change to the card's answers, for Undo and Redo. Its clean
    // state is the saved card: undoing back to it makes the card unchanged.
    QUndoStack& undoStack() { return undo_; }
    // Makes a change with `apply` (which says whether it ran) and records it
    // under `text` ("Delete line"). A change that ran but changed nothing
    // marks the card changed with nothing to undo. Changes with the same
    // mergeId merge while they follow each other.
    bool recordChange(const QString& text, const std::function<bool()>& apply, int mergeId = -1);
    // Puts one row's text and note number in place as one undoable step (the
    // same text and number again only mark the card changed).
    void changeRow(const QString& text, int row, const std::string& rowText, int noteNo);
    // A suit symbol or a prompt put into an open editor of the card's text
    // (a cell's, or the column edit's): the card counts as changed at once,
    // though the text is stored (as an undoable step) only when the editor
    // closes. Plain typing counts from then on.
    void markPendingEdit();

    // The card file's bytes for a copy of unsaved work: what is typed in
    // open cells (row, text), not yet stored, is in the copy in place of the
    // rows' stored text; the card itself stays as it is.
    std::string recoverySnapshot(QList<std::pair<int, std::string>> typedRows);

signals:
    void modifiedChanged(bool modified);
    void captionChanged(const QString& caption);
    // Undo or Redo put the card's answers back into an earlier state.
    void answersRestored();

private:
    class WatchedNotes;

    void showMessage(std::string_view text) override;
    bool followOutside(const std::string& cardPath, const std::string& notesPath) override;
    // After a save: the card and the notes it links out of its folder are a
    // pair this user made.
    void rememberNotesLink();
    bool writeCard(const std::function<bool()>& write, LinkedNotes notes);
    // Holds the lock that tells other editors this card is open here, and
    // says so when another editor holds it.
    void markCardOpen();
    void releaseCardOpen();
    // A change with nothing to undo: the saved state cannot be reached by
    // undoing any more.
    void markChanged();

    // A new card, a card read from a file or a closed card: nothing before
    // it can be undone. changedWhenRead: reading it changed the card (a
    // notes link it carried was found elsewhere and now names that file).
    void startHistory(bool changedWhenRead = false);

    UserDialogs& dialogs_;
    ProfileStore& profile_;
    // The card file a recovered copy stands for, while the copy is read.
    QString recoveredCardFile_;
    FileFingerprints fingerprints_;
    std::unique_ptr<WatchedNotes> notes_;
    std::unique_ptr<QLockFile> openLock_;
    zqw::Card card_;
    QUndoStack undo_;
    bool hasTemplate_ = false;
};
