#include "commands/printcommands.h"

#include <QAction>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "commands/outputmodule.h"
#include "commands/outputparts.h"
#include "document/carddocument.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

PrintCommands::PrintCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      notes_(context.notes),
      settings_(context.settings),
      dialogs_(context.dialogs),
      output_(context.output),
      menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    context.menu.add(*this, QStringLiteral("printCard"), QStringLiteral("&Print"),
                     QKeySequence(Qt::ControlModifier | Qt::Key_P), update,
                     [this] { printCard(); });
    context.menu.add(*this, QStringLiteral("printNotes"), QStringLiteral("&Print"),
                     QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_P), update,
                     [this] { printNotes(); });
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::updateActions() {
    // What is being typed into a cell prints too.
    view_.storePendingEdits();
    MenuActions::setItemEnabled(menu_.find(QStringLiteral("printCard")), document_.isOpen());
    MenuActions::setItemEnabled(menu_.find(QStringLiteral("printNotes")), document_.notesOpen());
}

void PrintCommands::printCard() {
    if (!document_.isOpen()) return;
    if (PrintWindowControl* window = cardWindow()) window->showWindow();
}

void PrintCommands::printNotes() {
    if (!document_.notesOpen()) return;
    if (PrintWindowControl* window = notesWindow()) window->showWindow();
}

void PrintCommands::refreshPreview() {
    // A window never made has no preview to refresh.
    if (cardWindow_) cardWindow_->refreshPreview();
}

PrintWindowControl* PrintCommands::cardWindow() {
    if (!cardWindow_) {
        OutputParts* parts = output_.parts();
        if (!parts) return nullptr;
        cardWindow_ = parts->cardPrintWindow(document_.card(), settings_, dialogs_, &view_);
    }
    return cardWindow_.get();
}

PrintWindowControl* PrintCommands::notesWindow() {
    if (!notesWindow_) {
        OutputParts* parts = output_.parts();
        if (!parts) return nullptr;
        notesWindow_ = parts->notesPrintWindow(
            document_.card(), notes_, [this] { return notes_.fileName(); }, settings_, dialogs_,
            &view_);
    }
    return notesWindow_.get();
}
