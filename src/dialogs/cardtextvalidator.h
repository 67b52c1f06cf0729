#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <vector>

#include "card/cardtextinput.h"
#include "dialogs/widgettext.h"

// Keeps a one-line editor's text storable in a card, whatever the way in
// (typing, pasting, dropping, the program's setText): the characters as
// enterCardText gives them, and a control character (TAB, line breaks,
// Ctrl-Z ...) as a space, since a card row is one line of fields that a
// TAB would shift. The suit codes 3-6 stay what they are. With a length
// limit, text that would pass it is cut where it was put in, at the caret,
// so what was there before stays whole.
class CardTextValidator : public QValidator {
    Q_OBJECT

public:
    explicit CardTextValidator(QObject* parent = nullptr);

    void setSuitChars(const zqw::SuitChars& chars) { chars_ = chars; }
    // The most characters the text may hold; 0 for no limit.
    void setLengthLimit(int limit) { limit_ = limit; }
    int lengthLimit() const { return limit_; }

    State validate(QString& input, int& pos) const override;

    struct Cleaned {
        std::vector<zqw::ReplacedCharacter> replaced;
        bool cut = false;  // the length limit cut the text
    };
    // The same cleaning for text the program puts in (a prompt); pos is
    // the caret, kept on the same character.
    static Cleaned clean(QString& text, const zqw::SuitChars& chars, int limit = 0,
                         int* pos = nullptr);

signals:
    // Characters the card cannot store were replaced (see replacementNote).
    void charactersReplaced(const std::vector<zqw::ReplacedCharacter>& replaced) const;
    // Text was cut at the length limit.
    void lengthLimitReached() const;

private:
    zqw::SuitChars chars_;
    int limit_ = 0;
};
