#pragma once

#include <QDialog>

#include "dialogs/searchoptionsgroup.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// What the Find and Replace dialogs have in common: the "&Search Text"
// group, the "Search &Options" group, OK and Cancel; a fixed border with
// only a close box, centred on the screen. Each dialog is made once and only
// hidden after use, so everything typed or ticked is offered again.
class NotesSearchDialog : public QDialog {
    Q_OBJECT

public:
    QLineEdit* const Edit1;
    SearchOptionsGroup* const Options;
    QRadioButton* const RadioButton1;  // "Search &Forward"
    QRadioButton* const RadioButton2;  // "Search &Backward"
    QPushButton* const OKBtn;
    QPushButton* const CancelBtn;

    void setVisible(bool visible) override;

protected:
    NotesSearchDialog(const QString& caption, QWidget* parent);

    // A group with one edit box, placed below the groups added before it
    // and above the options.
    QLineEdit* addTextGroup(const QString& groupObjectName, const QString& caption,
                            const QString& editObjectName);

private:
    QVBoxLayout* groups_ = nullptr;
};
