#include "document/carddocument.h"

#include "document/cardchanges.h"
#include "document/cardtext.h"

namespace {

// Enough steps to take back an evening's work without keeping every card
// state there ever was.
constexpr int kUndoSteps = 500;

}  // namespace

CardDocument::CardDocument(zqw::NotesEditor& notes, UserDialogs& dialogs)
    : dialogs_(dialogs), card_(*this, notes) {
    undo_.setUndoLimit(kUndoSteps);
    // The stack's clean state is the saved card; a change made outside the
    // stack (setModified) makes it unreachable until the next save.
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (card_.isModified == !clean) return;
        card_.isModified = !clean;
        emit modifiedChanged(card_.isModified);
    });
}

void CardDocument::startHistory() {
    undo_.clear();
    undo_.setClean();
}

bool CardDocument::recordChange(const QString& text, const std::function<bool()>& apply,
                                int mergeId) {
    zqw::CardAnswers before = zqw::captureAnswers(card_);
    const bool wasModified = card_.isModified;
    const bool applied = apply();
    // The core's operations mark the card changed themselves; here the
    // stack decides, so that undoing to the saved state makes it unchanged.
    card_.isModified = wasModified;
    if (!applied) return false;
    zqw::CardAnswers after = zqw::captureAnswers(card_);
    if (after == before) {
        // A command that ran but changed nothing (an OK on an unchanged
        // column) still counts as a change, with nothing to undo.
        setModified(true);
        return false;
    }
    undo_.push(new AnswersChange(
        card_, text, std::move(before), std::move(after), [this] { emit answersRestored(); },
        mergeId));
    return true;
}

void CardDocument::changeRow(const QString& text, int row, const std::string& rowText, int noteNo) {
    if (row <= 0 || row >= static_cast<int>(card_.rows.size())) return;
    zqw::RowText& target = card_.rows[row];
    if (target.text == rowText && target.noteNo == noteNo) {
        setModified(true);
        return;
    }
    const zqw::RowText before = target;
    target.text = rowText;
    target.noteNo = noteNo;
    undo_.push(new RowChange(card_, text, row, before, target, [this] { emit answersRestored(); }));
}

void CardDocument::showMessage(std::string_view text) {
    dialogs_.message(fromMessageText(std::string(text)));
}

bool CardDocument::loadTemplate(const QString& path) {
    hasTemplate_ = card_.parseTemplateFile(path.toStdString());
    // Without a template there is no card; the notes group still works.
    if (!hasTemplate_) card_.parseTemplate({});
    return hasTemplate_;
}

void CardDocument::setModified(bool modified) {
    if (modified) {
        undo_.resetClean();
    } else {
        undo_.setClean();
    }
    if (card_.isModified == modified) return;
    card_.isModified = modified;
    emit modifiedChanged(modified);
}

QString CardDocument::caption() const {
    return QStringLiteral("ZQW Convention card editor: ") + fileName();
}

void CardDocument::cardStateChanged(bool wasModified) {
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
    emit captionChanged(caption());
}

void CardDocument::startBlankCard() {
    const bool wasModified = card_.isModified;
    card_.resetToBlankCard();
    startHistory();
    cardStateChanged(wasModified);
}

bool CardDocument::openCard(const QString& path) {
    const bool wasModified = card_.isModified;
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    if (!card_.readCardFile()) {
        card_.cardFileName = previous;  // refused unread: the card stays as it was
        return false;
    }
    startHistory();
    cardStateChanged(wasModified);
    return true;
}

void CardDocument::openRecoveredCopy(const QString& copyPath, const QString& cardFile) {
    const bool wasModified = card_.isModified;
    const std::string previous = card_.cardFileName;
    card_.cardFileName = copyPath.toStdString();
    if (!card_.readCardFile()) {
        card_.cardFileName = previous;
        return;
    }
    card_.cardFileName =
        cardFile.isEmpty() ? std::string(zqw::kUnnamedFile) : cardFile.toStdString();
    startHistory();
    setModified(true);
    cardStateChanged(wasModified);
}

void CardDocument::closeCard() {
    const bool wasModified = card_.isModified;
    card_.resetToNoCard();
    startHistory();
    // The caption keeps naming the closed card, whose rows stay on screen.
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
}

bool CardDocument::save() {
    if (!hasTemplate_) return false;
    const bool wasModified = card_.isModified;
    const bool written = card_.writeCardFile();
    if (written) undo_.setClean();
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
    return written;
}

bool CardDocument::saveAs(const QString& path) {
    if (!hasTemplate_) return false;
    const std::string previous = card_.cardFileName;
    card_.cardFileName = path.toStdString();
    const bool wasModified = card_.isModified;
    if (!card_.writeCardFile()) {
        card_.cardFileName = previous;
        return false;
    }
    undo_.setClean();
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
    return true;
}

void CardDocument::refreshCaption() { emit captionChanged(caption()); }
