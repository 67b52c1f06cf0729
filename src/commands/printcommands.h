#pragma once

#include <QObject>
#include <memory>

class CardDocument;
class CardPrintWindow;
class EditorSettings;
class MenuActions;
class NotesPrintWindow;
class NotesTextEditor;
class SectionView;
class UserDialogs;

// File > Print and Notes > Print: the card and notes print windows, and
// keeping an open card preview in step with the card's rows.
class PrintCommands : public QObject {
    Q_OBJECT

public:
    PrintCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                  const EditorSettings& settings, UserDialogs& dialogs, MenuActions& menu);
    ~PrintCommands() override;

    // Print is there for an open card, and for open notes.
    void updateActions();

    void printCard();
    void printNotes();
    // The card's rows changed: an open card preview is to show them.
    void refreshPreview();

private:
    CardPrintWindow& cardWindow();
    NotesPrintWindow& notesWindow();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    MenuActions& menu_;
    std::unique_ptr<CardPrintWindow> cardWindow_;
    std::unique_ptr<NotesPrintWindow> notesWindow_;
};
