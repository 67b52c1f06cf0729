#include "treplacedlg.h"

TReplaceDlg::TReplaceDlg(QWidget* parent)
    : NotesSearchDialog(QStringLiteral("Replace"), parent),
      Edit2(addTextGroup(QStringLiteral("ReplaceGroup"), QStringLiteral("&Replace Text"),
                         QStringLiteral("Edit2"))),
      CheckBox1(Options->addCheckBox(QStringLiteral("CheckBox1"), QStringLiteral("&Match Case"))),
      CheckBox2(
          Options->addCheckBox(QStringLiteral("CheckBox2"), QStringLiteral("&Global Search"))),
      CheckBox3(Options->addCheckBox(QStringLiteral("CheckBox3"), QStringLiteral("Replace &All"))),
      CheckBox4(Options->addCheckBox(QStringLiteral("CheckBox4"), QStringLiteral("&Confirm"))) {
    setObjectName(QStringLiteral("ReplaceDlg"));
}
