#pragma once

#include <QDialog>
#include <QStringList>

#include "card/texthelpers.h"

class QMenuBar;
class QPushButton;
class QTextEdit;
class QWidget;

// "Edit column": one column of the card as plain text, one line per row.
// The memo wraps at the column's width on screen, and its displayed lines,
// wrapped ones included, are what goes back into the rows. F5-F8 type the
// suit symbols; the prompt list inserts into the memo as into a cell.
class ColumnEditDialog : public QDialog {
    Q_OBJECT

public:
    explicit ColumnEditDialog(QWidget* parent = nullptr);

    QTextEdit& memo() { return *memo_; }
    QPushButton& okButton() { return *okButton_; }
    QPushButton& cancelButton() { return *cancelButton_; }

    // The window and the memo show the card's display font.
    void setCardFont(const QFont& font);
    // The user's suit characters, which F5 to F8 type.
    void setSuitChars(const zqw::SuitChars& chars) { suitChars_ = chars; }
    // One line per row, caret at the start.
    void setLines(const QStringList& lines);
    // Wraps the memo at this many pixels, the width of the column on
    // screen; the window is made as narrow as its buttons allow.
    void setColumnWidth(int pixels);
    int columnWidth() const { return columnWidth_; }
    // The memo's lines as shown: a text that wraps counts as several lines,
    // without the spaces at which it wraps. An empty last line after a final
    // line break is no line, unless the column's own rows ended in empty
    // rows and the memo still ends in no more empty lines than those.
    QStringList displayedLines() const;

signals:
    // The menu's "&Prompts" (F2): show the prompt list as filled.
    void promptsRequested();
    // A key or mouse button was released in the memo, or it got the
    // focus: where a prompt would go now.
    void memoTouched();
    // The right button went down in the memo at this point (memo
    // coordinates).
    void rightButtonPressed(QPoint position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void memoKeyReleased(int key);
    void typeSymbol(const QString& symbol);

    QMenuBar* menuBar_ = nullptr;
    QWidget* memoPanel_ = nullptr;
    QWidget* buttonPanel_ = nullptr;
    QTextEdit* memo_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    zqw::SuitChars suitChars_;
    int columnWidth_ = 0;
    // Empty rows at the end of the lines the memo was filled with.
    int trailingEmptyRows_ = 0;
};
