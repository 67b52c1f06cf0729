#pragma once

#include <QDialog>
#include <QFont>

class QComboBox;
class QLabel;
class QSpinBox;

// "Select convention card font": one of the four card fonts and a size.
class CardFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit CardFontDialog(QWidget* parent = nullptr);

    // The card fonts are "Card" followed by one of these.
    static QStringList cardFontBaseNames();

    // Shows the font: the sample in it, the list on its base name (no
    // selection for a font that is not a card font), the size in the spin.
    void setFontChoice(const QFont& displayFont);
    // After OK: "Card" + the list's text ("Card" alone when nothing is
    // selected) at the spin's size. Otherwise the font last handed in.
    QFont chosenFont() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyChoice();

    QFont chosen_;
    QComboBox* family_ = nullptr;
    QSpinBox* size_ = nullptr;
    QLabel* sample_ = nullptr;
};
