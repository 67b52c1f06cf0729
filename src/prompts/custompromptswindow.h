#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

#include "card/texthelpers.h"
#include "dialogs/suittext.h"

class QLabel;
class QLineEdit;
class QMenuBar;
class QMimeData;
class QTableView;
class UserDialogs;

class CustomPromptList;
class CustomPromptGrid;
class CustomPromptDelegate;

// "Custom prompts": the user's own prompts, one a row in a one-column grid,
// kept in a text file of the user's choosing. Rows are edited in place (F5 to
// F8 type the suits), filled by dragging prompts from the prompt list, and an
// entry goes into the card by Enter or a double click. The window stays on
// top of the editor; it is shown and hidden, and its list survives hiding.
class CustomPromptsWindow : public QWidget {
    Q_OBJECT

public:
    explicit CustomPromptsWindow(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~CustomPromptsWindow() override;

    // The prompt file; empty for none. The file is read when the window is
    // shown with an empty list.
    QString fileName() const { return fileName_; }
    void setFileName(const QString& path);
    // The characters the card font draws as suits: the file holds suit
    // codes, the list these characters. A change translates the list.
    void setSuitChars(const zqw::SuitChars& chars);
    // Whether the rows show hearts and diamonds red, clubs and spades
    // black, as the card does; on until turned off.
    void setColourSuits(bool on);
    void setCardFont(const QFont& font);

    // The entries, as the rows show them.
    QStringList prompts() const;
    int rowCount() const;
    bool isModified() const { return modified_; }

    // The menus' commands. The save question is asked first where one is
    // due; saving returns whether the list was written.
    void newList();
    void openList();
    bool saveList();
    bool saveListAs();
    void insertLine();
    void deleteLine();
    // A prompt dropped from the prompt list at a point of the grid's
    // viewport: a new entry on the row there.
    void dropPrompt(const QMimeData& data, const QPoint& position);
    // Whether a drag carries a prompt from the prompt list.
    static bool isPromptDrag(const QMimeData& data, const QObject* source);
    // Asks whether to save a changed list before the program ends: Yes
    // saves it, No leaves it.
    void offerSaveAtExit();

    QTableView& grid();
    QMenuBar& menuBar() { return *menuBar_; }
    // The window's note on what the typing did (characters replaced, the
    // length reached); empty when none shows.
    QString statusText() const;

signals:
    // Enter or a double click on an entry.
    void promptChosen(const QString& prompt);
    void fileNameChanged(const QString& path);
    void shownChanged(bool shown);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The save question before New and Open; false when the command stops.
    bool mayDiscardList();
    void readFile();
    bool writeTo(const QString& path);
    void setCaptionFor(const QString& path);
    void chooseRow(int row);
    void typeSuit(int key);
    // Down on the last row: as in a spreadsheet, a blank row opens below
    // the last entry.
    void moveDownFromLastRow();
    void endEditing(bool keep);
    // The suits as the rows draw them and a screen reader says them.
    SuitText suitText() const { return SuitText(suitChars_, colourSuits_); }
    void showSuits();
    void setUpEditor(QLineEdit& editor);
    void showStatus(const QString& text);

    UserDialogs& dialogs_;
    QString fileName_;
    zqw::SuitChars suitChars_;
    bool colourSuits_ = true;
    bool modified_ = false;
    std::unique_ptr<CustomPromptList> list_;
    CustomPromptGrid* grid_ = nullptr;
    CustomPromptDelegate* rowPainter_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QLabel* status_ = nullptr;
    bool noteJustShown_ = false;
};
