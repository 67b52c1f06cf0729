#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class CustomPromptsWindow;
class EditorSettings;
class PromptController;
class QAction;
class SectionView;
class UserDialogs;

// Help > "Custom prompts" (F4): shows and hides the user's own prompt list,
// whose entries go into the card where the prompt list's would. The item is
// ticked while the window shows. The window's file is the card's custom
// prompt file, kept in the settings.
class CustomPromptsCommand : public QObject {
    Q_OBJECT

public:
    CustomPromptsCommand(const CommandContext& context, PromptController& prompts);
    ~CustomPromptsCommand() override;

    void toggleCustomPrompts();
    // Made on first use and kept.
    CustomPromptsWindow& window();

protected:
    // The editor's window closing: a changed list is offered for saving
    // first, as it would be lost with the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SectionView& view_;
    EditorSettings& settings_;
    PromptController& prompts_;
    UserDialogs& dialogs_;
    QAction* item_ = nullptr;
    // The window is placed beside the editor's once; then where the user
    // left it.
    bool placed_ = false;
    std::unique_ptr<CustomPromptsWindow> window_;
};
