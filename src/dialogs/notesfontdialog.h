#pragma once

#include <QDialog>
#include <QFont>

class QLabel;
class QSpinBox;

// "Notes fixed pitch font": only the size of the notes font can change.
class NotesFontDialog : public QDialog {
    Q_OBJECT

public:
    explicit NotesFontDialog(QWidget* parent = nullptr);

    void setFontChoice(const QFont& notesFont);
    // After OK: the font handed in with the spin's size. Otherwise the
    // font last handed in.
    QFont chosenFont() const { return chosen_; }
    int chosenSize() const { return chosen_.pointSize(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSample();
    void applyChoice();

    QFont chosen_;
    QSpinBox* size_ = nullptr;
    QLabel* sample_ = nullptr;
};
