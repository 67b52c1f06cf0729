#pragma once

#include <QObject>

class CardDocument;
class MenuActions;
class NotesTextEditor;
class SectionView;

// Copy, Cut and Paste on the active cell or in the notes.
class ClipboardCommands : public QObject {
    Q_OBJECT

public:
    ClipboardCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                      MenuActions& menu);

    void updateActions();

    void copy();
    void cut();
    void paste();

private:
    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    MenuActions& menu_;
};
