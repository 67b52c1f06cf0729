#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <vector>

#include "card/cardtextinput.h"

// Text a user puts into the card, as the card will hold it. Widgets hold
// Unicode; the card holds Windows-1252 with the suits as display
// characters. Suit symbols (♣ ♦ ♥ ♠, filled or outline, as our own PDFs
// give them back) become the display characters; a character Windows-1252
// lacks is replaced, and the replacements are listed so they can be said.
// The character that starts at index i of a widget's text, a surrogate pair
// being one character, and how many UTF-16 units it takes there.
struct TextCharacter {
    char32_t code;
    qsizetype length;
};
inline TextCharacter characterAt(const QString& text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(text.at(i), text.at(i + 1)), 2};
    return {text.at(i).unicode(), 1};
}

struct CardTextEntry {
    // The text as the widget shows it: only characters the card holds.
    QString shown;
    // The same as card text (Windows-1252, suits as display characters).
    std::string bytes;
    std::vector<zqw::ReplacedCharacter> replaced;
};
CardTextEntry enterCardText(const QString& text, const zqw::SuitChars& chars);

// "Replaced, as a card file cannot store them: Ж by ?" with the store's
// name given ("a card file", "a notes file"); empty when nothing was.
QString replacementNote(const std::vector<zqw::ReplacedCharacter>& replaced, const QString& store);

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
