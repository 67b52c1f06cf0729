#pragma once

#include <QDialog>
#include <QFont>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// "Select convention card font": one of the four card fonts and a size.
// The main window hands in DisplayFont before showing the dialog and takes
// chosenFont() when it closes with OK.
class TOKFontDlg : public QDialog {
    Q_OBJECT

public:
    explicit TOKFontDlg(QWidget* parent = nullptr);

    // The card fonts are "Card" followed by one of these.
    static QStringList cardFontBaseNames();

    // Shows displayFont: the sample in it, the list on its base name (no
    // selection for a font that is not a card font), the size in the spin.
    void setFontChoice(const QFont& displayFont);
    // After OK: "Card" + the list's text ("Card" alone when nothing is
    // selected) at the spin's size. Otherwise the font last handed in.
    QFont chosenFont() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ComboBox1Change();
    void SpinEdit1Change();
    void OKBtnClick();

    QFont chosen_;
    QComboBox* ComboBox1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

// "Notes fixed pitch font": only the size of the notes font can change.
class TOKNoteDlg : public QDialog {
    Q_OBJECT

public:
    explicit TOKNoteDlg(QWidget* parent = nullptr);

    void setFontChoice(const QFont& notesFont);
    // After OK: the notes font handed in with the spin's size. Otherwise the
    // font last handed in.
    QFont chosenFont() const { return chosen_; }
    int chosenSize() const { return chosen_.pointSize(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SpinEdit1Change();
    void OKBtnClick();

    QFont chosen_;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

// "Card symbol numbers": the character codes at which the card font draws
// the four suits.
class Tsymbolno : public QDialog {
    Q_OBJECT

public:
    explicit Tsymbolno(QWidget* parent = nullptr);

    // The labels are drawn in the display font so that they show the suit
    // symbols the codes select.
    void setSymbols(const QFont& displayFont, int clubChar, int diamondChar, int heartChar,
                    int spadeChar);
    // After OK the field values; otherwise the codes last handed in.
    void symbols(int& clubChar, int& diamondChar, int& heartChar, int& spadeChar) const;

private:
    void showSymbol(int row);
    void OKBtnClick();

    int chars_[4] = {'}', '{', ']', '['};
    QLabel* labels_[4] = {};
    QSpinBox* fields_[4] = {};
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
