#pragma once

#include <QObject>

struct CommandContext;
class CardDocument;
class MenuActions;
class NotesTextEditor;
class SectionView;

// Undo and Redo. They act on the page that shows: the notes' own history,
// or on a card page the open cell's typing first, then the card's history.
class UndoCommands : public QObject {
    Q_OBJECT

public:
    explicit UndoCommands(const CommandContext& context);

    void updateActions();

    void undo();
    void redo();

private:
    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    MenuActions& menu_;
};
