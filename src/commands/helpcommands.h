#pragma once

#include <QObject>
#include <memory>

struct CommandContext;
class AboutDialog;
class CardDocument;
class EditorSettings;
class HelpWindow;
class HintsWindow;
class SectionView;
class UserDialogs;

// The Help menu's help and About items and Options > "View hints...": the
// help topics by context number (fixed ones and the active cell's), the
// start-up hints and the About box. The help window is this controller's
// own and goes when the editor ends.
class HelpCommands : public QObject {
    Q_OBJECT

public:
    explicit HelpCommands(const CommandContext& context);
    ~HelpCommands() override;

    void showAbout();
    void showBasicHelp();
    void showCompletionGuide();
    // F9: the help topic of the cell with the caret.
    void showCellHelp();
    void viewHints();
    // The editor's first showing: the hints, unless the user turned them off.
    void showStartupHints();

    // Made on first use and kept.
    HintsWindow& hintsWindow();
    AboutDialog& aboutDialog();
    HelpWindow& helpWindow();

private:
    void showHelpTopic(int context);

    CardDocument& document_;
    SectionView& view_;
    EditorSettings& settings_;
    UserDialogs& dialogs_;
    std::unique_ptr<HintsWindow> hintsWindow_;
    std::unique_ptr<AboutDialog> aboutDialog_;
    std::unique_ptr<HelpWindow> helpWindow_;
};
