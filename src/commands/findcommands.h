#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class CardDocument;
class FindDialog;
class MenuActions;
class NotesTextEditor;
class ReplaceDialog;
class SectionView;
class UserDialogs;

// Find and replace in the notes. The notes editor's caret and selection
// carry the search position from one command to the next, and each dialog
// keeps what was typed and ticked for the next time.
class FindCommands : public QObject {
    Q_OBJECT

public:
    explicit FindCommands(const CommandContext& context);
    ~FindCommands() override;

    void updateActions();

    void find();
    void replace();
    void findAgain();

    // Made on first use and kept, with what was typed and ticked.
    FindDialog& findDialog();
    ReplaceDialog& replaceDialog();

private:
    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    UserDialogs& dialogs_;
    MenuActions& menu_;
    std::unique_ptr<FindDialog> findDialog_;
    std::unique_ptr<ReplaceDialog> replaceDialog_;
};
