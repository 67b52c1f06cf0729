#pragma once

#include <QUndoCommand>
#include <functional>

#include "card/cardanswers.h"

// The undo commands of the card. Each is made after its change was applied
// (its first redo does nothing) and calls `restored` whenever undo or redo
// puts the card back into one of its states, so the view can show it.
using CardRestored = std::function<void()>;

// Any change: the card's answers before and after it.
class AnswersChange : public QUndoCommand {
public:
    // Changes with the same merge id merge into one step while they follow
    // each other (a column border dragged in many small moves); -1 never
    // merges.
    AnswersChange(zqw::Card& card, const QString& text, zqw::CardAnswers before,
                  zqw::CardAnswers after, CardRestored restored, int mergeId = -1);

    void undo() override;
    void redo() override;
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    zqw::Card& card_;
    zqw::CardAnswers before_;
    zqw::CardAnswers after_;
    CardRestored restored_;
    int mergeId_;
    bool applied_ = true;
};

// One row's text and note number, the common case of a cell edit: cheap
// whatever the size of the card.
class RowChange : public QUndoCommand {
public:
    RowChange(zqw::Card& card, const QString& text, int row, zqw::RowText before,
              zqw::RowText after, CardRestored restored);

    void undo() override;
    void redo() override;

private:
    void put(const zqw::RowText& value);

    zqw::Card& card_;
    int row_;
    zqw::RowText before_;
    zqw::RowText after_;
    CardRestored restored_;
    bool applied_ = true;
};
