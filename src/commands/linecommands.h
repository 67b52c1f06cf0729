#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "card/lineops.h"

struct CommandContext;
class CardDocument;
class MenuActions;
class SectionView;

// The Edit menu's line commands on the active cell's grid: insert a row
// before or after, delete a row, copy a cell's text down the column.
class LineCommands : public QObject {
    Q_OBJECT

public:
    explicit LineCommands(const CommandContext& context);

    void updateActions();

    void insertLineBefore();
    void insertLineAfter();
    void deleteLine();
    void replicateDown();

signals:
    // The card's rows changed: an open print preview is to show them.
    void refreshPreview();

private:
    // What a line command works on: the grid of the section the window
    // shows, and its active cell when the command began.
    struct Target {
        int section = -1;
        int grid = 1;
        int row = 0;
        int column = 0;
        bool focus = false;
    };
    // Nothing on the notes group, nor when the grids show another section
    // than the one being edited; otherwise the active cell's edit is stored,
    // so the command sees what was typed.
    std::optional<Target> begin();
    // Opens the active cell's editor again after a command that left the
    // rows as they were.
    void resumeEditing(const Target& target);
    // After a command that changed the rows: the grid's new rows, with
    // activeRow the active row.
    void showChangedRows(const Target& target, int activeRow);
    // Inserts or deletes a row with `edit`, as one undoable change named
    // `text`; the grid then shows its rows, the active row moved down by
    // rowsDown. On the notes group it refreshes an open print preview.
    void editRows(const QString& text, int rowsDown,
                  const std::function<zqw::LineResult(const Target&)>& edit);

    CardDocument& document_;
    SectionView& view_;
    MenuActions& menu_;
};
