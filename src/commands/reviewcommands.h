#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "card/cardchecks.h"
#include "card/cardcompare.h"
#include "card/cardtextinput.h"

struct CommandContext;
class CardDocument;
class CheckWindow;
class CompareWindow;
class EditorSettings;
class OutputModule;
class NotesTextEditor;
class SectionView;
class UserDialogs;

// The items that look at the card as a whole before it leaves the editor:
// File > "Compare with…" (a partner's copy), Options > "Check card…" and
// File > "Export as web page…". Produce and E-mail ask checkBeforeSending()
// first.
class ReviewCommands : public QObject {
    Q_OBJECT

public:
    explicit ReviewCommands(const CommandContext& context);
    ~ReviewCommands() override;

    void updateActions();
    void compareWithCard();
    void checkCard();
    void exportWebPage();

    // Runs the check; with errors, offers to show them instead of going on.
    // True when the caller may go on.
    bool checkBeforeSending();

private:
    struct TheirCard;

    void refreshDifferences();
    void goToDifference(int index);
    void takeTheirs(const QList<int>& indexes);
    std::vector<zqw::CheckFinding> runChecks();
    void showFindings(std::vector<zqw::CheckFinding> findings);
    void goToFinding(int index);
    void goToCell(int section, int grid, int gridRow, int gridColumn);
    void goToNotesParagraph(int paragraph);
    // The notes editor's text as notes paragraphs (Windows-1252).
    std::vector<std::string> notesParagraphs(
        std::vector<zqw::ReplacedCharacter>* replaced = nullptr) const;
    CompareWindow& compareWindow();
    CheckWindow& checkWindow();

    CardDocument& document_;
    SectionView& view_;
    NotesTextEditor& notes_;
    EditorSettings& settings_;
    UserDialogs& dialogs_;
    OutputModule& output_;
    std::unique_ptr<TheirCard> theirs_;
    QString theirsFile_;
    std::vector<zqw::CardDifference> differences_;
    std::vector<zqw::CheckFinding> findings_;
    std::unique_ptr<CompareWindow> compareWindow_;
    std::unique_ptr<CheckWindow> checkWindow_;
};
