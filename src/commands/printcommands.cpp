#include "commands/printcommands.h"

#include <QAction>

#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "printing/cardprintwindow.h"
#include "printing/notesprintwindow.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

PrintCommands::PrintCommands(CardDocument& document, SectionView& view, NotesTextEditor& notes,
                             const EditorSettings& settings, UserDialogs& dialogs,
                             MenuActions& menu)
    : document_(document),
      view_(view),
      notes_(notes),
      settings_(settings),
      dialogs_(dialogs),
      menu_(menu) {
    const auto update = [this] { updateActions(); };
    menu.add(*this, QStringLiteral("printCard"), QStringLiteral("&Print"),
             QKeySequence(Qt::ControlModifier | Qt::Key_P), update, [this] { printCard(); });
    menu.add(*this, QStringLiteral("printNotes"), QStringLiteral("&Print"),
             QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_P), update,
             [this] { printNotes(); });
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::updateActions() {
    // What is being typed into a cell prints too.
    view_.storePendingEdits();
    MenuActions::setItemEnabled(menu_.find(QStringLiteral("printCard")), document_.isOpen());
    MenuActions::setItemEnabled(menu_.find(QStringLiteral("printNotes")),
                                document_.card().notesOpen);
}

void PrintCommands::printCard() {
    if (!document_.isOpen()) return;
    cardWindow().showWindow();
}

void PrintCommands::printNotes() {
    if (!document_.card().notesOpen) return;
    notesWindow().showWindow();
}

void PrintCommands::refreshPreview() {
    // A window never made has no preview to refresh.
    if (cardWindow_) cardWindow_->refreshPreview();
}

CardPrintWindow& PrintCommands::cardWindow() {
    if (!cardWindow_) {
        cardWindow_ =
            std::make_unique<CardPrintWindow>(document_.card(), settings_, dialogs_, &view_);
    }
    return *cardWindow_;
}

NotesPrintWindow& PrintCommands::notesWindow() {
    if (!notesWindow_) {
        notesWindow_ = std::make_unique<NotesPrintWindow>(
            document_.card(), notes_, [this] { return notes_.fileName(); }, settings_, dialogs_,
            &view_);
    }
    return *notesWindow_;
}
