#pragma once

#include "dialogs/notessearchdialog.h"

// The Replace dialog of the notes: search text and replacement, the
// direction, "&Match Case", "&Global Search", "Replace &All" and "&Confirm".
class ReplaceDialog : public NotesSearchDialog {
    Q_OBJECT

public:
    explicit ReplaceDialog(QWidget* parent = nullptr);

    SearchRequest request() const override;

private:
    QLineEdit* replacement_ = nullptr;
    QCheckBox* replaceAll_ = nullptr;
    QCheckBox* confirm_ = nullptr;
};
