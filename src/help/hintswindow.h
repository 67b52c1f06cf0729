#pragma once

#include <QDialog>

#include "card/hintsfile.h"
#include "card/texthelpers.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "Hints for using the ZQW Convention card editor": one numbered hint at a
// time. Each time it is shown it shows the hint of the current number;
// "Next hint" steps the number, and closing (the Close button, Enter or Esc)
// steps it once more, so the next showing starts with a new hint. A number
// past the last hint starts again at hint 1.
class HintsWindow : public QDialog {
    Q_OBJECT

public:
    explicit HintsWindow(QWidget* parent = nullptr);

    void setHints(zqw::HintsFile hints) { hints_ = std::move(hints); }
    // The characters the card font draws as suits, for the hints' suit
    // markers.
    void setSuitChars(const zqw::SuitChars& chars) { suitChars_ = chars; }
    // The hint is shown in the card's display font, so that its suit
    // characters show as suits.
    void setCardFont(const QFont& font);

    // The number of the hint shown next.
    int hintNumber() const { return hintNumber_; }
    void setHintNumber(int number) { hintNumber_ = number; }
    bool doNotShowAtStart() const;
    void setDoNotShowAtStart(bool ticked);

    QString hintText() const;
    QPushButton& nextButton() { return *nextButton_; }
    QPushButton& closeButton() { return *closeButton_; }
    QCheckBox& doNotShowBox() { return *doNotShowBox_; }

    void showNextHint();

public slots:
    // Every way of closing the window counts as Close.
    void reject() override;

signals:
    void hintNumberChanged(int number);
    void doNotShowAtStartChanged(bool ticked);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows hint wanted, or hint 1 when there is no such hint; with neither,
    // the text stays as it was.
    void showHint(int wanted);
    void changeHintNumber(int number);

    zqw::HintsFile hints_;
    zqw::SuitChars suitChars_;
    int hintNumber_ = 1;
    QLabel* heading_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QCheckBox* doNotShowBox_ = nullptr;
};
