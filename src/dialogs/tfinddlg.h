#pragma once

#include "dialogs/notessearchdialog.h"

// The Find dialog of the notes: the search text, the direction, "&Match
// Case" and "&Global Search". Search again reads it without showing it.
class TFindDlg : public NotesSearchDialog {
    Q_OBJECT

public:
    explicit TFindDlg(QWidget* parent = nullptr);

    QCheckBox* const CheckBox1;  // "&Match Case"
    QCheckBox* const CheckBox2;  // "&Global Search"
};
