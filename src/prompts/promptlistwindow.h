#pragma once

#include <QDialog>
#include <QListWidget>
#include <QStringList>
#include <optional>

#include "dialogs/suittext.h"

class QMimeData;
class SuitTextDelegate;

// The prompt texts of the list. An item dragged out carries its text as
// plain text, which the custom prompts window takes as a new prompt.
class PromptListBox : public QListWidget {
    Q_OBJECT

public:
    explicit PromptListBox(QWidget* parent = nullptr);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
};

// "Select prompt": a small window that stays on top and lists the suggested
// answers of one cell, in alphabetical order whatever their order in the
// template. Enter or a double click chooses the selected prompt and hides
// the window; Esc hides it. It is shown and hidden, never rebuilt, and keeps
// its items until it is filled again.
class PromptListWindow : public QDialog {
    Q_OBJECT

public:
    explicit PromptListWindow(QWidget* parent = nullptr);

    // Replaces the items; they are kept sorted ignoring case.
    void setPrompts(const QStringList& prompts);
    // Suits in colour, as in the grids, and said as words.
    void setSuitText(const SuitText& suits);
    QStringList prompts() const;
    std::optional<QString> selectedPrompt() const;
    QListWidget& listBox() { return *list_; }

    // Shows the window (not modal) with the first item selected and the
    // keyboard in the list.
    void showList();

signals:
    // Enter or a double click on this prompt. Nothing is chosen from an
    // empty list.
    void promptChosen(const QString& prompt);

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Reports the choice, then hides the window.
    void chooseSelected();
    void selectFirst();
    // Hides the list after Enter, Esc or a double click in it.
    void closeList();
    // Each item as high as the design's, or as its font needs.
    void sizeItems();

    PromptListBox* list_ = nullptr;
    SuitTextDelegate* painter_ = nullptr;
};
