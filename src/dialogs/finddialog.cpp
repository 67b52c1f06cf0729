#include "dialogs/finddialog.h"

FindDialog::FindDialog(QWidget* parent) : NotesSearchDialog(QStringLiteral("Find"), parent) {
    setObjectName(QStringLiteral("findDialog"));
}
