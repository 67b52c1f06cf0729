#pragma once

#include <QValidator>

// Keeps a cell's text storable: a card file holds Windows-1252 text on one
// line, so a character it cannot hold is left out (and reported), and a
// control character (TAB, line breaks, Ctrl-Z ...) becomes a space, whatever
// the way it came in: typing, pasting or dropping.
class CellTextValidator : public QValidator {
    Q_OBJECT

public:
    explicit CellTextValidator(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

    // The same cleaning for text put into a cell by the program (a prompt).
    // Returns the characters left out, in order, each once.
    static QString clean(QString& text, int* pos = nullptr);

signals:
    // Characters a card file cannot store were left out of the text.
    void charactersLeftOut(const QString& characters) const;
};
