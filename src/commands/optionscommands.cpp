#include "commands/optionscommands.h"

#include <QAction>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "commands/outputmodule.h"
#include "commands/outputparts.h"
#include "dialogs/cardfontdialog.h"
#include "dialogs/notesfontdialog.h"
#include "dialogs/suitsymbolsdialog.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "views/sectionview.h"

namespace {

// A ticked item that shows a setting: a click or its shortcut turns the
// setting over, and the tick follows the setting whoever changes it.
template <typename Changed>
void bindTick(QAction* item, bool on, EditorSettings& settings, Changed changed,
              std::function<void(bool)> set) {
    item->setCheckable(true);
    item->setChecked(on);
    QObject::connect(&settings, changed, item, [item](bool now) { item->setChecked(now); });
    // Qt ticks a checkable item itself before triggered; the setting decides.
    QObject::connect(item, &QAction::triggered, item, [item, set] {
        const bool wanted = item->isChecked();
        item->setChecked(!wanted);
        set(wanted);
    });
}

}  // namespace

OptionsCommands::OptionsCommands(const CommandContext& context)
    : document_(context.document),
      view_(context.view),
      settings_(context.settings),
      dialogs_(context.dialogs),
      output_(context.output) {
    const QKeySequence ctrlL(Qt::ControlModifier | Qt::Key_L);
    context.menu.add(*this, QStringLiteral("chooseCardFont"), QStringLiteral("System &Font..."), {},
                     {}, [this] { chooseCardFont(); });
    context.menu.add(*this, QStringLiteral("chooseNotesFont"), QStringLiteral("&Notes Font..."), {},
                     {}, [this] { chooseNotesFont(); });
    context.menu.add(*this, QStringLiteral("editPrintLayout"), QStringLiteral("&Card layout..."),
                     ctrlL, {}, [this] { editPrintLayout(); });
    // The File menu's way to the same window; Ctrl+L belongs to the item
    // above, and this one only shows it.
    QAction* fileItem =
        context.menu.add(*this, QStringLiteral("printLayout"), QStringLiteral("Print &Layout"), {},
                         {}, [this] { editPrintLayout(); });
    fileItem->setText(QStringLiteral("Print &Layout\t") + ctrlL.toString(QKeySequence::NativeText));

    bindTick(context.menu.add(*this, QStringLiteral("toggleNoteTabs"), QStringLiteral("Note &Tabs"),
                              {}, {}, {}),
             settings_.noteTabs(), settings_, &EditorSettings::noteTabsChanged,
             [this](bool on) { settings_.setNoteTabs(on); });
    bindTick(context.menu.add(*this, QStringLiteral("toggleRightMousePrompts"),
                              QStringLiteral("&Right Mouse button prompts"), {}, {}, {}),
             settings_.rightMousePrompts(), settings_, &EditorSettings::rightMousePromptsChanged,
             [this](bool on) { settings_.setRightMousePrompts(on); });
    bindTick(context.menu.add(*this, QStringLiteral("toggleColouredSuits"),
                              QStringLiteral("C&oloured suits"), {}, {}, {}),
             settings_.colourSuits(), settings_, &EditorSettings::colourSuitsChanged,
             [this](bool on) { settings_.setColourSuits(on); });
    QAction* symbols = context.menu.add(*this, QStringLiteral("chooseSuitSymbols"),
                                        QStringLiteral("Card &symbols..."), {}, {},
                                        [this] { chooseSuitSymbols(); });
    symbols->setVisible(false);
    // The auctions window and the true-width choice are kept in the menu,
    // hidden, for cards that carry them; nothing here acts on them.
    context.menu
        .addUnavailable(*this, QStringLiteral("editAuctions"), QStringLiteral("A&uctions..."),
                        QKeySequence(Qt::ControlModifier | Qt::Key_U))
        ->setVisible(false);
    QAction* trueWidth = context.menu.addUnavailable(*this, QStringLiteral("toggleTrueColumnWidth"),
                                                     QStringLiteral("True column &width"));
    trueWidth->setCheckable(true);
    trueWidth->setChecked(true);
    trueWidth->setVisible(false);
    QAction* printAuctions = context.menu.add(*this, QStringLiteral("togglePrintAuctions"),
                                              QStringLiteral("&Print Auctions"), {}, {}, {});
    bindTick(printAuctions, settings_.printAuctions(), settings_,
             &EditorSettings::printAuctionsChanged,
             [this](bool on) { settings_.setPrintAuctions(on); });
    printAuctions->setVisible(false);
}

OptionsCommands::~OptionsCommands() = default;

void OptionsCommands::editPrintLayout() {
    view_.storePendingEdits();
    if (!printLayoutDialog_) {
        OutputParts* parts = output_.parts();
        if (!parts) return;
        printLayoutDialog_ = parts->printLayoutDialog(settings_.printLayout(), dialogs_, &view_);
    }
    dialogs_.execDialog(*printLayoutDialog_);
    view_.rebuildGroup();
}

void OptionsCommands::chooseCardFont() {
    if (!cardFontDialog_) cardFontDialog_ = std::make_unique<CardFontDialog>(&view_);
    cardFontDialog_->setFontChoice(settings_.displayFont());
    if (dialogs_.execDialog(*cardFontDialog_) != QDialog::Accepted) return;
    settings_.setDisplayFont(cardFontDialog_->chosenFont());
}

void OptionsCommands::chooseNotesFont() {
    if (!notesFontDialog_) notesFontDialog_ = std::make_unique<NotesFontDialog>(&view_);
    notesFontDialog_->setFontChoice(settings_.notesFont());
    if (dialogs_.execDialog(*notesFontDialog_) != QDialog::Accepted) return;
    settings_.setNotesFontSize(notesFontDialog_->chosenSize());
}

void OptionsCommands::chooseSuitSymbols() {
    // The new symbols are read with the new mapping: what is being typed is
    // stored under the old one first.
    view_.storePendingEdits();
    if (!suitSymbolsDialog_) suitSymbolsDialog_ = std::make_unique<SuitSymbolsDialog>(&view_);
    suitSymbolsDialog_->setSymbols(settings_.displayFont(), settings_.suitChars());
    if (dialogs_.execDialog(*suitSymbolsDialog_) != QDialog::Accepted) return;
    settings_.setSuitChars(suitSymbolsDialog_->symbols());
}
