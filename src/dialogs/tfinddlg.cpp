#include "tfinddlg.h"

TFindDlg::TFindDlg(QWidget* parent)
    : NotesSearchDialog(QStringLiteral("Find"), parent),
      CheckBox1(Options->addCheckBox(QStringLiteral("CheckBox1"), QStringLiteral("&Match Case"))),
      CheckBox2(
          Options->addCheckBox(QStringLiteral("CheckBox2"), QStringLiteral("&Global Search"))) {
    setObjectName(QStringLiteral("FindDlg"));
}
