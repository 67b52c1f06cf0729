#pragma once

#include <QObject>

class CardDocument;
class MenuActions;
class NotesTextEditor;
class SectionView;

// Undo and Redo. They act on the page that shows: the notes' own history,
// or on a card page the open cell's typing first, then the card's history.
class UndoCommands : public QObject {
    Q_OBJECT

public:
    UndoCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                 MenuActions& menu);

    void updateActions();

    void undo();
    void redo();

private:
    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    MenuActions& menu_;
};
