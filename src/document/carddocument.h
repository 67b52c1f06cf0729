#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "card/card.h"
#include "dialogs/userdialogs.h"

// The open card: the card itself, whether a template was read, the changed
// flag and the window caption that names the card's file. Everything that
// replaces, saves or changes the card goes through here, so whoever shows
// the card learns of it from the signals.
class CardDocument : public QObject, private zqw::MessageSink {
    Q_OBJECT

public:
    CardDocument(zqw::NotesEditor& notes, UserDialogs& dialogs);

    zqw::Card& card() { return card_; }
    const zqw::Card& card() const { return card_; }

    // Reads the template; false (with no card shape at all) when it cannot
    // be read. Without a template the editor has nothing to save: every
    // write is refused.
    bool loadTemplate(const QString& path);
    bool hasTemplate() const { return hasTemplate_; }

    bool isOpen() const { return card_.isOpen; }
    bool isModified() const { return card_.isModified; }
    void setModified(bool modified);

    QString fileName() const { return QString::fromStdString(card_.cardFileName); }
    bool isUnnamed() const { return card_.cardFileName == zqw::kUnnamedFile; }
    // "ZQW Convention card editor: " and the card's file name.
    QString caption() const;

    // A blank card, as New makes it.
    void startBlankCard();
    // Reads a card file (a damaged one is reported and gives a blank card).
    // False when the file was refused unread; the card stays as it was.
    bool openCard(const QString& path);
    // No card: the rows stay on screen but cannot be changed or saved.
    void closeCard();
    // A copy kept of a card with unsaved changes, read back as the card it
    // stands for, changed, so that the user saves it where they choose.
    void openRecoveredCopy(const QString& copyPath, const QString& cardFile);
    // Writes the card under its name, and the linked notes; false when it
    // could not be written (already reported).
    bool save();
    // Writes the card under a new name. A write that fails leaves the card
    // under its old name: the new one names no card.
    bool saveAs(const QString& path);
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

    // The button of the most recent save or link question of the card and
    // notes commands.
    UserDialogs::Answer lastAnswer() const { return lastAnswer_; }
    void setLastAnswer(UserDialogs::Answer answer) { lastAnswer_ = answer; }

signals:
    void modifiedChanged(bool modified);
    void captionChanged(const QString& caption);
    // Undo or Redo put the card's answers back into an earlier state.
    void answersRestored();

private:
    void showMessage(std::string_view text) override;
    void cardStateChanged(bool wasModified);

    // A new card, a card read from a file or a closed card: nothing before
    // it can be undone.
    void startHistory();

    UserDialogs& dialogs_;
    zqw::Card card_;
    QUndoStack undo_;
    bool hasTemplate_ = false;
    UserDialogs::Answer lastAnswer_ = UserDialogs::Answer::No;
};
