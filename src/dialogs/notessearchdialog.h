#pragma once

#include <QDialog>

#include "dialogs/searchrequest.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

// What the Find and Replace dialogs have in common: the "&Search Text"
// group, the "Search &Options" group (direction, a dividing line, then the
// dialog's own check boxes), OK and Cancel; a fixed border with only a close
// box, centred on the screen. Each dialog is made once and only hidden after
// use, so everything typed or ticked is offered again.
class NotesSearchDialog : public QDialog {
    Q_OBJECT

public:
    // The text and the options as the dialog shows them now.
    virtual SearchRequest request() const;

    void setVisible(bool visible) override;

protected:
    NotesSearchDialog(const QString& caption, QWidget* parent);

    // A group with one edit box, placed below the groups added before it
    // and above the options.
    QLineEdit* addTextGroup(const QString& groupObjectName, const QString& caption,
                            const QString& editObjectName);
    // A check box below the options' dividing line.
    QCheckBox* addOption(const QString& objectName, const QString& caption);
    QLineEdit* searchText() const { return searchText_; }
    // The last option control, for dialogs that set the tab order.
    QRadioButton* forwardButton() const { return forward_; }

private:
    QVBoxLayout* groups_ = nullptr;
    QVBoxLayout* options_ = nullptr;
    QLineEdit* searchText_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QRadioButton* backward_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* global_ = nullptr;
};
