#include "commands/optionscommands.h"

#include <QAction>

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

OptionsCommands::OptionsCommands(CardDocument& document, SectionView& view,
                                 EditorSettings& settings, UserDialogs& dialogs,
                                 OutputModule& output, MenuActions& menu)
    : document_(document), view_(view), settings_(settings), dialogs_(dialogs), output_(output) {
    const QKeySequence ctrlL(Qt::ControlModifier | Qt::Key_L);
    menu.add(*this, QStringLiteral("chooseCardFont"), QStringLiteral("System &Font..."), {}, {},
             [this] { chooseCardFont(); });
    menu.add(*this, QStringLiteral("chooseNotesFont"), QStringLiteral("&Notes Font..."), {}, {},
             [this] { chooseNotesFont(); });
    menu.add(*this, QStringLiteral("editPrintLayout"), QStringLiteral("&Card layout..."), ctrlL, {},
             [this] { editPrintLayout(); });
    // The File menu's way to the same window; Ctrl+L belongs to the item
    // above, and this one only shows it.
    QAction* fileItem =
        menu.add(*this, QStringLiteral("printLayout"), QStringLiteral("Print &Layout"), {}, {},
                 [this] { editPrintLayout(); });
    fileItem->setText(QStringLiteral("Print &Layout\t") + ctrlL.toString(QKeySequence::NativeText));

    bindTick(
        menu.add(*this, QStringLiteral("toggleNoteTabs"), QStringLiteral("Note &Tabs"), {}, {}, {}),
        settings.noteTabs(), settings, &EditorSettings::noteTabsChanged,
        [&settings](bool on) { settings.setNoteTabs(on); });
    bindTick(menu.add(*this, QStringLiteral("toggleRightMousePrompts"),
                      QStringLiteral("&Right Mouse button prompts"), {}, {}, {}),
             settings.rightMousePrompts(), settings, &EditorSettings::rightMousePromptsChanged,
             [&settings](bool on) { settings.setRightMousePrompts(on); });
    bindTick(menu.add(*this, QStringLiteral("toggleColouredSuits"),
                      QStringLiteral("C&oloured suits"), {}, {}, {}),
             settings.colourSuits(), settings, &EditorSettings::colourSuitsChanged,
             [&settings](bool on) { settings.setColourSuits(on); });
    QAction* symbols =
        menu.add(*this, QStringLiteral("chooseSuitSymbols"), QStringLiteral("Card &symbols..."), {},
                 {}, [this] { chooseSuitSymbols(); });
    symbols->setVisible(false);
    // The auctions window and the true-width choice are kept in the menu,
    // hidden, for cards that carry them; nothing here acts on them.
    menu.addUnavailable(*this, QStringLiteral("editAuctions"), QStringLiteral("A&uctions..."),
                        QKeySequence(Qt::ControlModifier | Qt::Key_U))
        ->setVisible(false);
    QAction* trueWidth = menu.addUnavailable(*this, QStringLiteral("toggleTrueColumnWidth"),
                                             QStringLiteral("True column &width"));
    trueWidth->setCheckable(true);
    trueWidth->setChecked(true);
    trueWidth->setVisible(false);
    QAction* printAuctions = menu.add(*this, QStringLiteral("togglePrintAuctions"),
                                      QStringLiteral("&Print Auctions"), {}, {}, {});
    bindTick(printAuctions, settings.printAuctions(), settings,
             &EditorSettings::printAuctionsChanged,
             [&settings](bool on) { settings.setPrintAuctions(on); });
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
