#pragma once

#include <QDialog>

class QLineEdit;

// "Select note number": the note number of the active cell, three digits
// typed into the field or stepped with the spinner beside it. 0 means no note.
class NoteNumberDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinimum = -32768;
    static constexpr int kMaximum = 32767;

    explicit NoteNumberDialog(QWidget* parent = nullptr);

    // Shows the number, selected, so that typing replaces it.
    void setNoteNumber(int value);
    // The field's number; an empty field counts as 0.
    int noteNumber() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void step(int delta);

    QLineEdit* noteField_ = nullptr;
};
