#pragma once

#include <QDialog>
#include <array>

#include "card/texthelpers.h"

class QLabel;
class QSpinBox;

// "Card symbol numbers": the character codes at which the card font draws
// the four suits.
class SuitSymbolsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SuitSymbolsDialog(QWidget* parent = nullptr);

    // The labels are drawn in the display font so that they show the suit
    // symbols the codes select.
    void setSymbols(const QFont& displayFont, const zqw::SuitChars& chars);
    // After OK the fields' values; otherwise the codes last handed in.
    zqw::SuitChars symbols() const { return chars_; }

private:
    void showSymbol(int row);
    void applyChoice();

    zqw::SuitChars chars_;
    std::array<QLabel*, 4> labels_{};
    std::array<QSpinBox*, 4> fields_{};
};
