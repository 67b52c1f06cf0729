#pragma once

#include "dialogs/notessearchdialog.h"

// The Replace dialog of the notes: search text and replacement, the
// direction, "&Match Case", "&Global Search", "Replace &All" and "&Confirm".
class TReplaceDlg : public NotesSearchDialog {
    Q_OBJECT

public:
    explicit TReplaceDlg(QWidget* parent = nullptr);

    QLineEdit* const Edit2;      // the replacement
    QCheckBox* const CheckBox1;  // "&Match Case"
    QCheckBox* const CheckBox2;  // "&Global Search"
    QCheckBox* const CheckBox3;  // "Replace &All"
    QCheckBox* const CheckBox4;  // "&Confirm"
};
