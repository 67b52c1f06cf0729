#include "commands/columneditcommand.h"

#include <QTextEdit>

#include "card/columnedit.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "commands/promptcontroller.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"
#include "prompts/columneditdialog.h"
#include "prompts/promptlistwindow.h"
#include "views/cardgrid.h"
#include "views/sectionview.h"

ColumnEditCommand::ColumnEditCommand(const CommandContext& context, PromptController& prompts)
    : document_(context.document),
      view_(context.view),
      settings_(context.settings),
      prompts_(prompts),
      dialogs_(context.dialogs) {
    context.menu.add(*this, QStringLiteral("editColumn"), QStringLiteral("&Notepad column edit"),
                     QKeySequence(Qt::Key_F12), {}, [this] { editColumn(); });
}

ColumnEditCommand::~ColumnEditCommand() = default;

ColumnEditDialog& ColumnEditCommand::dialog() {
    if (dialog_) return *dialog_;
    dialog_ = std::make_unique<ColumnEditDialog>(&view_);
    ColumnEditDialog& memo = *dialog_;
    connect(&memo, &ColumnEditDialog::memoTouched, this,
            [this] { prompts_.captureMemo(dialog_->memo()); });
    connect(&memo, &ColumnEditDialog::promptsRequested, &prompts_, &PromptController::showList);
    connect(&memo, &ColumnEditDialog::rightButtonPressed, this, [this](QPoint mouse) {
        if (settings_.rightMousePrompts()) prompts_.placeAndShowList(dialog_->pos(), mouse);
    });
    return memo;
}

void ColumnEditCommand::editColumn() {
    zqw::Card& card = document_.card();
    if (card.isNoCard) return;
    const int section = card.sectionIndexOf(view_.activeGroup(), view_.activeSectionTab());
    if (section < 0 || view_.notesShowing()) return;
    int gridNumber = view_.activeGrid() == 2 ? 2 : 1;
    if (view_.grid(gridNumber).isHidden()) gridNumber = gridNumber == 1 ? 2 : 1;
    CardGrid& grid = view_.grid(gridNumber);
    if (grid.isHidden()) return;
    for (int number : {1, 2}) {
        if (view_.grid(number).isEditing()) view_.grid(number).stopEditing(true);
    }
    const int activeRow = grid.activeRow();
    const int activeColumn = grid.activeColumn();
    const auto resumeEditing = [&] {
        // Both grids stay in editing state; the keyboard goes back to the
        // one the edit started from.
        for (int number : {1, 2}) {
            CardGrid& each = view_.grid(number);
            if (each.isHidden()) continue;
            each.gridModel().refresh();
            each.startEditing(&each == &grid);
        }
    };
    const auto range = zqw::columnEditRangeAt(card, section, gridNumber, activeRow, activeColumn);
    if (!range) {
        resumeEditing();
        return;
    }

    PromptListWindow& list = prompts_.promptList();
    list.setFont(settings_.displayFont());
    list.setPrompts(prompts_.cellPrompts(range->activeLine, range->column));
    ColumnEditDialog& memo = dialog();
    memo.setCardFont(settings_.displayFont());
    const zqw::SuitChars chars = settings_.suitChars();
    memo.setSuitChars(chars);
    QStringList lines;
    for (const std::string& text : zqw::readColumn(card, *range, chars))
        lines.append(fromCardText(text));
    memo.setLines(lines);
    memo.setColumnWidth(grid.columnWidth(range->column));
    memo.memo().setContextMenuPolicy(settings_.rightMousePrompts() ? Qt::PreventContextMenu
                                                                   : Qt::DefaultContextMenu);

    // While the column edit is open only it and its own windows take
    // input; the prompt list becomes one of them for the while.
    const Qt::WindowFlags flags = list.windowFlags();
    QWidget* listParent = list.parentWidget();
    list.hide();
    list.setParent(&memo, flags);
    const int result = dialogs_.execDialog(memo);
    list.hide();
    list.setParent(listParent, flags);
    prompts_.clearInsertionPoint();

    if (result == QDialog::Accepted) {
        std::vector<std::string> written;
        std::vector<zqw::ReplacedCharacter> replaced;
        for (const QString& line : memo.displayedLines()) {
            CardTextEntry entry = enterCardText(line, chars);
            written.push_back(std::move(entry.bytes));
            for (const zqw::ReplacedCharacter& each : entry.replaced)
                zqw::noteReplaced(replaced, each);
        }
        // An OK that changed nothing leaves the card unchanged.
        document_.recordChange(QStringLiteral("Column edit"), [&] {
            zqw::writeColumn(card, *range, written, chars);
            return true;
        });
        view_.reloadRows(gridNumber, activeRow, activeColumn);
        if (!replaced.empty())
            dialogs_.message(replacementNote(replaced, QStringLiteral("a card file")));
    }
    resumeEditing();
}
