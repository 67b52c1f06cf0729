#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class CardDocument;
class EditorSettings;
class MenuActions;
class NotesTextEditor;
class OutputModule;
class PrintWindowControl;
class SectionView;
class UserDialogs;

// File > Print and Notes > Print: the card and notes print windows, and
// keeping an open card preview in step with the card's rows.
class PrintCommands : public QObject {
    Q_OBJECT

public:
    explicit PrintCommands(const CommandContext& context);
    ~PrintCommands() override;

    // Print is there for an open card, and for open notes.
    void updateActions();

    void printCard();
    void printNotes();
    // The card's rows changed: an open card preview is to show them.
    void refreshPreview();

private:
    // Null when the output module cannot be loaded.
    PrintWindowControl* cardWindow();
    PrintWindowControl* notesWindow();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    const EditorSettings& settings_;
    UserDialogs& dialogs_;
    OutputModule& output_;
    MenuActions& menu_;
    std::unique_ptr<PrintWindowControl> cardWindow_;
    std::unique_ptr<PrintWindowControl> notesWindow_;
};
