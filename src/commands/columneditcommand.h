#pragma once

#include <QObject>
#include <memory>

class CardDocument;
class ColumnEditDialog;
class EditorSettings;
class MenuActions;
class PromptController;
class SectionView;
class UserDialogs;

// "&Notepad column edit" (F12): a column of the current section as wrapped
// lines of text in the "Edit column" window, written back as rows.
class ColumnEditCommand : public QObject {
    Q_OBJECT

public:
    ColumnEditCommand(CardDocument& document, SectionView& view, EditorSettings& settings,
                      PromptController& prompts, UserDialogs& dialogs, MenuActions& menu);
    ~ColumnEditCommand() override;

    void editColumn();
    // Made on first use and kept.
    ColumnEditDialog& dialog();

private:
    CardDocument& document_;
    SectionView& view_;
    EditorSettings& settings_;
    PromptController& prompts_;
    UserDialogs& dialogs_;
    std::unique_ptr<ColumnEditDialog> dialog_;
};
