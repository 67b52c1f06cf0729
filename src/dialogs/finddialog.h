#pragma once

#include "dialogs/notessearchdialog.h"

// The Find dialog of the notes: the search text, the direction, "&Match
// Case" and "&Global Search". Search again reads it without showing it.
class FindDialog : public NotesSearchDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget* parent = nullptr);
};
