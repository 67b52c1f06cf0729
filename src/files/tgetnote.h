#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class UpDownSpinner;

// "Select note number": the note number of the active cell, three digits
// typed into NoteNum or stepped with the spinner beside it. 0 means no note.
class Tgetnote : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinimum = -32768;
    static constexpr int kMaximum = 32767;

    explicit Tgetnote(QWidget* parent = nullptr);

    // Shows the number, selected, so that typing replaces it.
    void setNoteNumber(int value);
    // The field's number; an empty field counts as 0.
    int noteNumber() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OvcSpinner1Click(int delta);

    QLabel* Label1 = nullptr;
    QLineEdit* NoteNum = nullptr;
    UpDownSpinner* OvcSpinner1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
