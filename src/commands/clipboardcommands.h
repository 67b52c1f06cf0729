#pragma once

#include <QObject>

struct CommandContext;
class CardDocument;
class MenuActions;
class NotesTextEditor;
class SectionView;

// Copy, Cut and Paste on the active cell or in the notes.
class ClipboardCommands : public QObject {
    Q_OBJECT

public:
    explicit ClipboardCommands(const CommandContext& context);

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
