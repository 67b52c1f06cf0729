#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "document/carddocument.h"

struct CommandContext;
class EditorSettings;
class MenuActions;
class NotesCommands;
class NotesTextEditor;
class OutputModule;
class QWidget;
class SectionView;
class UserDialogs;
class WorkProgress;

// The File menu: New, Open (cards and packages), Import of DOS cards, Save,
// Save As, Close, Exit, and the question asked before the window closes.
class FileCommands : public QObject {
    Q_OBJECT

public:
    FileCommands(const CommandContext& context, NotesCommands& notesCommands, QWidget& window);
    ~FileCommands() override;

    void updateActions();

    // True when a blank card took the old one's place.
    bool newCard();
    void openCard();
    // Opens a card file, or a package (".zqw" in any letter case) after
    // asking for the folder to extract it into.
    void openCardOrPackage(const QString& path);
    // A new card and notes filled from a card of the old DOS edition.
    void importDosCard();
    void saveCard();
    void saveCardAs();
    void closeCard();
    void exit();
    // The close question; true when the window may close.
    bool confirmClose();
    // Opens a card or package named from outside the menus (the command
    // line, a file manager), after the save question Open asks.
    void openNamedFile(const QString& path);

private:
    enum class SaveResult { Saved, Cancelled, Failed };
    // What the save question left the calling command to do: go on (no
    // question, No, or Yes and the card written), stop at Cancel, or stop
    // because the card was not written (a cancelled dialog, a failed save).
    enum class SaveOffer { GoOn, Cancelled, NotSaved };
    // Which changes the save question is about: the card's, or the notes'
    // too, which a card save writes when the card links them.
    enum class Changes { Card, CardOrNotes };
    // The save question for a changed card; Yes saves it.
    // notes: whether the linked notes are written with the card.
    SaveOffer offerToSave(Changes changes,
                          CardDocument::LinkedNotes notes = CardDocument::LinkedNotes::Write);
    // Writes a named card, or asks for a name first for an unnamed one.
    SaveResult saveUnderName(CardDocument::LinkedNotes notes = CardDocument::LinkedNotes::Write);
    // The card save dialog; nullopt when cancelled.
    std::optional<QString> askSaveName();
    struct ExtractedPackage {
        QString cardFile;
        // The notes files extracted beside it: the only notes it may link.
        QStringList notesFiles;
    };
    // Extracts a package into a folder the user picks; nullopt when the
    // command stops.
    std::optional<ExtractedPackage> extractPackage(const QString& packagePath);
    WorkProgress& extractionProgress();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    NotesCommands& notesCommands_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    OutputModule& output_;
    MenuActions& menu_;
    QWidget& window_;
    std::unique_ptr<WorkProgress> extractionProgress_;
};
