#include "dialogs/replacedialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

ReplaceDialog::ReplaceDialog(QWidget* parent)
    : NotesSearchDialog(QStringLiteral("Replace"), parent) {
    setObjectName(QStringLiteral("replaceDialog"));
    replacement_ = addTextGroup(QStringLiteral("replaceTextGroup"), QStringLiteral("&Replace Text"),
                                QStringLiteral("replaceText"));
    replaceAll_ = addOption(QStringLiteral("replaceAll"), QStringLiteral("Replace &All"));
    confirm_ = addOption(QStringLiteral("confirm"), QStringLiteral("&Confirm"));
    // The replacement box is made after the options; Tab follows the fields
    // as they stand, top to bottom.
    setTabOrder(searchText(), replacement_);
    setTabOrder(replacement_, forwardButton());
}

SearchRequest ReplaceDialog::request() const {
    SearchRequest request = NotesSearchDialog::request();
    request.replacement = replacement_->text();
    request.replaceAll = replaceAll_->isChecked();
    request.confirm = confirm_->isChecked();
    return request;
}
