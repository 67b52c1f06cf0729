#include "document/carddocument.h"

#include "document/cardtext.h"

CardDocument::CardDocument(zqw::NotesEditor& notes, UserDialogs& dialogs)
    : dialogs_(dialogs), card_(*this, notes) {}

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
    cardStateChanged(wasModified);
}

void CardDocument::openCard(const QString& path) {
    const bool wasModified = card_.isModified;
    card_.cardFileName = path.toStdString();
    card_.readCardFile();
    cardStateChanged(wasModified);
}

void CardDocument::closeCard() {
    const bool wasModified = card_.isModified;
    card_.resetToNoCard();
    // The caption keeps naming the closed card, whose rows stay on screen.
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
}

bool CardDocument::save() {
    if (!hasTemplate_) return false;
    const bool wasModified = card_.isModified;
    const bool written = card_.writeCardFile();
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
    if (card_.isModified != wasModified) emit modifiedChanged(card_.isModified);
    return true;
}

void CardDocument::refreshCaption() { emit captionChanged(caption()); }
