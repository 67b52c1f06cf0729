#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

struct CommandContext;
class CardDocument;
class EditorSettings;
class MenuActions;
class NotesTextEditor;
class PromptListWindow;
class QLineEdit;
class QTextEdit;
class SectionView;
class UserDialogs;

// The place a prompt goes: the editor that last received the focus or a key
// (a cell's editor or the column edit's text), with its text and selection
// as they were then. selStart -1 means nowhere.
struct InsertionPoint {
    QPointer<QLineEdit> editor;
    QPointer<QTextEdit> memo;
    QString text;
    int selStart = -1;
    int selLength = 0;
};

// The prompt list: the suggested answers of the active cell, shown by F2
// or the right (or middle) mouse button, and put into the cell at the
// insertion point when chosen.
class PromptController : public QObject {
    Q_OBJECT

public:
    explicit PromptController(const CommandContext& context);
    ~PromptController() override;

    PromptListWindow& promptList();
    const InsertionPoint& insertionPoint() const { return insertionPoint_; }

    // F2: the active cell's prompts in the list.
    void showPrompts();
    // A prompt chosen from the list: inserted, and a "*Brown" prompt on the
    // special methods section also attaches note 999.
    void choosePrompt(const QString& prompt);
    // Puts a prompt in place of the insertion point's selection.
    void insertPrompt(const QString& prompt);
    // The prompts of a line's grid column, as the list shows them.
    QStringList cellPrompts(int line, int gridColumn) const;

    // The column edit's text takes prompts while it is open.
    void captureMemo(QTextEdit& memo);
    // Puts the list by the mouse, a row below the active cell, and shows it.
    void placeAndShowList(QPoint windowOrigin, QPoint mouse);
    // Shows the list as it was last filled, on screen.
    void showList();
    void clearInsertionPoint();

private:
    // Puts the list by the mouse, a row below the active cell.
    void moveList(QPoint windowOrigin, QPoint mouse);
    void captureEditor(QLineEdit* editor);
    void editorMousePressed(QLineEdit* editor, Qt::MouseButton button);
    void editorMouseReleased(QLineEdit* editor, Qt::MouseButton button);
    void updateCaption();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    EditorSettings& settings_;
    UserDialogs& dialogs_;
    MenuActions& menu_;
    std::unique_ptr<PromptListWindow> list_;
    InsertionPoint insertionPoint_;
};
