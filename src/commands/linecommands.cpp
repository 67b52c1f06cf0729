#include "commands/linecommands.h"

#include <QAction>
#include <QFontMetrics>

#include "card/lineops.h"
#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "views/cardgrid.h"
#include "views/sectionview.h"

LineCommands::LineCommands(const CommandContext& context)
    : document_(context.document), view_(context.view), menu_(context.menu) {
    const auto update = [this] { updateActions(); };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::ControlModifier | key); };
    context.menu.add(*this, QStringLiteral("insertLineBefore"),
                     QStringLiteral("Insert line &before"), ctrl(Qt::Key_B), update,
                     [this] { insertLineBefore(); });
    context.menu.add(*this, QStringLiteral("deleteLine"), QStringLiteral("&Delete line"),
                     ctrl(Qt::Key_D), update, [this] { deleteLine(); });
    context.menu.add(*this, QStringLiteral("insertLineAfter"), QStringLiteral("&Insert line After"),
                     ctrl(Qt::Key_I), update, [this] { insertLineAfter(); });
    context.menu.add(*this, QStringLiteral("replicateDown"), QStringLiteral("Replicate do&wn"),
                     ctrl(Qt::Key_W), update, [this] { replicateDown(); });
}

void LineCommands::updateActions() {
    for (const char* name : {"insertLineBefore", "deleteLine", "insertLineAfter", "replicateDown"})
        menu_.find(QLatin1String(name))->setVisible(!view_.notesShowing());
}

std::optional<LineCommands::Target> LineCommands::begin() {
    const zqw::Card& card = document_.card();
    if (!document_.isOpen() || card.isNotesGroup(view_.activeGroup())) return std::nullopt;
    const int section = card.sectionIndexOf(view_.activeGroup(), view_.activeSectionTab());
    if (section < 0 || section != view_.currentSection()) return std::nullopt;
    Target target;
    target.section = section;
    target.grid = view_.commandGrid();
    CardGrid& grid = view_.grid(target.grid);
    if (grid.isHidden()) return std::nullopt;
    target.row = grid.activeRow();
    target.column = grid.activeColumn();
    target.focus = view_.isActiveWindow();
    if (grid.isEditing()) grid.stopEditing(true);
    return target;
}

void LineCommands::resumeEditing(const Target& target) {
    CardGrid& grid = view_.grid(target.grid);
    grid.gridModel().refresh();
    grid.startEditing(target.focus);
}

void LineCommands::showChangedRows(const Target& target, int activeRow) {
    view_.reloadRows(target.grid, activeRow, target.column);
    view_.grid(target.grid).startEditing(target.focus);
    emit refreshPreview();
}

void LineCommands::editRows(const QString& text, int rowsDown,
                            const std::function<zqw::LineResult(const Target&)>& edit) {
    const auto target = begin();
    if (!target) {
        if (document_.card().isNotesGroup(view_.activeGroup())) emit refreshPreview();
        return;
    }
    zqw::LineResult result = zqw::LineResult::NoRow;
    document_.recordChange(text, [&] {
        result = edit(*target);
        return result == zqw::LineResult::Done;
    });
    if (result != zqw::LineResult::Done) {
        resumeEditing(*target);
        return;
    }
    showChangedRows(*target, target->row + rowsDown);
}

void LineCommands::insertLineBefore() {
    // The active row number now names the new (or shown again) row.
    editRows(QStringLiteral("Insert line before"), 0, [this](const Target& target) {
        return zqw::insertRowBefore(document_.card(), target.section, target.grid, target.row);
    });
}

void LineCommands::deleteLine() {
    editRows(QStringLiteral("Delete line"), 0, [this](const Target& target) {
        return zqw::deleteRow(document_.card(), target.section, target.grid, target.row);
    });
}

void LineCommands::insertLineAfter() {
    editRows(QStringLiteral("Insert line after"), 1, [this](const Target& target) {
        zqw::Card& card = document_.card();
        CardGrid& grid = view_.grid(target.grid);
        // A row kept in the cell must show whole there: what counts is the
        // room its editor gives the text, not the column.
        std::vector<int> widths;
        for (int c = 0; c < grid.gridModel().columnCount(); ++c)
            widths.push_back(grid.textWidth(c));
        // Fields are measured as the grid draws them: suit codes as their
        // display characters, in the grid's font.
        const QFontMetrics metrics(grid.font());
        const zqw::SuitChars chars = grid.gridModel().suitText().suitChars();
        const auto widthOf = [&chars, &metrics](const std::string& text) {
            std::string shown = text;
            zqw::codesToDisplay(shown, chars);
            return metrics.horizontalAdvance(fromCardText(shown));
        };
        return zqw::insertRowAfter(card, target.section, target.grid, target.row, widths, widthOf);
    });
}

void LineCommands::replicateDown() {
    const auto target = begin();
    if (!target) return;
    zqw::LineResult result = zqw::LineResult::NoRow;
    document_.recordChange(QStringLiteral("Replicate down"), [&] {
        result = zqw::replicateDown(document_.card(), target->section, target->grid, target->row,
                                    target->column);
        return result == zqw::LineResult::Done;
    });
    resumeEditing(*target);
    if (result == zqw::LineResult::Done) emit refreshPreview();
}
