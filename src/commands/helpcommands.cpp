#include "commands/helpcommands.h"

#include <QDir>
#include <QFile>

#include "card/hintsfile.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "help/aboutdialog.h"
#include "help/helpwindow.h"
#include "help/hintswindow.h"
#include "views/cardgrid.h"
#include "views/sectionview.h"

namespace {

// Topics the Help menu opens whatever the card template holds.
constexpr int kBasicHelpTopic = 2;
constexpr int kCompletionGuideTopic = 86;

// The help topics: a folder of pages beside the program, under the name of
// the help file.
const char* const kHelpFolder = "zqwcce.hlp";
const char* const kHintsFile = "ccehints.txt";

// The core's messages, in message boxes.
class DialogMessages : public zqw::MessageSink {
public:
    explicit DialogMessages(UserDialogs& dialogs) : dialogs_(dialogs) {}
    void showMessage(std::string_view text) override {
        dialogs_.message(fromMessageText(std::string(text)));
    }

private:
    UserDialogs& dialogs_;
};

}  // namespace

HelpCommands::HelpCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      settings_(context.settings),
      dialogs_(context.dialogs) {
    context.menu.add(*this, QStringLiteral("viewHints"), QStringLiteral("&View hints..."), {}, {},
                     [this] { viewHints(); });
    context.menu.add(*this, QStringLiteral("showAbout"), QStringLiteral("&About"), {}, {},
                     [this] { showAbout(); });
    context.menu.add(*this, QStringLiteral("showBasicHelp"), QStringLiteral("&Basic"),
                     QKeySequence(Qt::Key_F1), {}, [this] { showBasicHelp(); });
    context.menu.add(*this, QStringLiteral("showCompletionGuide"),
                     QStringLiteral("&Guide to completion"), {}, {},
                     [this] { showCompletionGuide(); });
    context.menu.add(*this, QStringLiteral("showCellHelp"), QStringLiteral("&Help hints"),
                     QKeySequence(Qt::Key_F9), {}, [this] { showCellHelp(); });
}

HelpCommands::~HelpCommands() = default;

HintsWindow& HelpCommands::hintsWindow() {
    if (hintsWindow_) return *hintsWindow_;
    hintsWindow_ = std::make_unique<HintsWindow>(&view_);
    HintsWindow& hints = *hintsWindow_;
    const std::string path =
        QFile::encodeName(QDir(settings_.programDir()).filePath(QLatin1String(kHintsFile)))
            .toStdString();
    DialogMessages messages(dialogs_);
    // Without the file the window still opens, with no hint to show.
    if (auto file = zqw::HintsFile::load(path, messages)) hints.setHints(std::move(*file));
    hints.setDoNotShowAtStart(!settings_.hintsAtStart());
    // The settings own the number and the start-up choice; the window only
    // shows them.
    connect(&hints, &HintsWindow::hintNumberChanged, this,
            [this](int number) { settings_.setHintNumber(number); });
    connect(&hints, &HintsWindow::doNotShowAtStartChanged, this,
            [this](bool ticked) { settings_.setHintsAtStart(!ticked); });
    return hints;
}

AboutDialog& HelpCommands::aboutDialog() {
    if (!aboutDialog_) aboutDialog_ = std::make_unique<AboutDialog>(&view_);
    return *aboutDialog_;
}

HelpWindow& HelpCommands::helpWindow() {
    // No parent: the help is a window of its own beside the editor, and
    // this controller ends it with the editor.
    if (!helpWindow_) helpWindow_ = std::make_unique<HelpWindow>();
    return *helpWindow_;
}

void HelpCommands::viewHints() {
    HintsWindow& hints = hintsWindow();
    hints.setCardFont(settings_.displayFont());
    hints.setSuitChars(settings_.suitChars());
    hints.setHintNumber(settings_.hintNumber());
    dialogs_.execDialog(hints);
}

void HelpCommands::showStartupHints() {
    if (settings_.hintsAtStart()) viewHints();
}

void HelpCommands::showAbout() { dialogs_.execDialog(aboutDialog()); }

void HelpCommands::showBasicHelp() { showHelpTopic(kBasicHelpTopic); }

void HelpCommands::showCompletionGuide() { showHelpTopic(kCompletionGuideTopic); }

void HelpCommands::showCellHelp() {
    const zqw::Card& card = document_.card();
    const int section = view_.notesShowing() ? -1 : view_.currentSection();
    int context = 0;
    if (section >= 0) {
        const int gridNumber = view_.commandGrid();
        const CardGrid& grid = view_.grid(gridNumber);
        if (grid.activeRow() >= 1) {
            const zqw::RowRef ref = card.findGridRow(section, gridNumber, grid.activeRow());
            if (ref) context = card.cellInfoOf(ref.line, grid.activeColumn()).helpContext;
        }
    }
    if (context > 0) {
        showHelpTopic(context);
    } else {
        dialogs_.message(QStringLiteral("No help available for this item"));
    }
}

void HelpCommands::showHelpTopic(int context) {
    HelpWindow& help = helpWindow();
    help.setHelpFolder(QDir(settings_.programDir()).filePath(QLatin1String(kHelpFolder)));
    help.showTopic(context);
}
