#include "document/cardchanges.h"

AnswersChange::AnswersChange(zqw::Card& card, const QString& text, zqw::CardAnswers before,
                             zqw::CardAnswers after, CardRestored restored, int mergeId)
    : QUndoCommand(text),
      card_(card),
      before_(std::move(before)),
      after_(std::move(after)),
      restored_(std::move(restored)),
      mergeId_(mergeId) {}

void AnswersChange::undo() {
    zqw::restoreAnswers(card_, before_);
    restored_();
}

void AnswersChange::redo() {
    // Pushed after the change was made: the first redo is the change itself.
    if (applied_) {
        applied_ = false;
        return;
    }
    zqw::restoreAnswers(card_, after_);
    restored_();
}

bool AnswersChange::mergeWith(const QUndoCommand* other) {
    if (other->id() != id()) return false;
    after_ = static_cast<const AnswersChange*>(other)->after_;
    return true;
}

RowChange::RowChange(zqw::Card& card, const QString& text, int row, zqw::RowText before,
                     zqw::RowText after, CardRestored restored)
    : QUndoCommand(text),
      card_(card),
      row_(row),
      before_(std::move(before)),
      after_(std::move(after)),
      restored_(std::move(restored)) {}

void RowChange::put(const zqw::RowText& value) {
    if (row_ <= 0 || row_ >= static_cast<int>(card_.rows.size())) return;
    // Only what the edit changed: the row's place in its chain is not
    // this command's.
    card_.rows[row_].text = value.text;
    card_.rows[row_].noteNo = value.noteNo;
    restored_();
}

void RowChange::undo() { put(before_); }

void RowChange::redo() {
    if (applied_) {
        applied_ = false;
        return;
    }
    put(after_);
}
