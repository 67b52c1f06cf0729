#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class CardDocument;
class ColumnEditDialog;
class EditorSettings;
class PromptController;
class SectionView;
class UserDialogs;

// "&Notepad column edit" (F12): a column of the current section as wrapped
// lines of text in the "Edit column" window, written back as rows.
class ColumnEditCommand : public QObject {
    Q_OBJECT

public:
    ColumnEditCommand(const CommandContext& context, PromptController& prompts);
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
