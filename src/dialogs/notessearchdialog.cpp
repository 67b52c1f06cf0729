#include "notessearchdialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLineEdit* makeEdit(QWidget* parent, const QString& objectName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    return button;
}

}  // namespace

NotesSearchDialog::NotesSearchDialog(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Edit1(makeEdit(this, QStringLiteral("Edit1"))),
      Options(new SearchOptionsGroup(this)),
      RadioButton1(Options->forwardButton()),
      RadioButton2(Options->backwardButton()),
      OKBtn(makeButton(this, QStringLiteral("OKBtn"), QStringLiteral("OK"))),
      CancelBtn(makeButton(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"))) {
    setWindowTitle(caption);
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setStyleHint(QFont::SansSerif);
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);

    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    groups_ = new QVBoxLayout;
    outer->addLayout(groups_);
    auto* searchGroup = new QGroupBox(QStringLiteral("&Search Text"), this);
    searchGroup->setObjectName(QStringLiteral("SearchGroup"));
    auto* searchLayout = new QVBoxLayout(searchGroup);
    searchLayout->addWidget(Edit1);
    groups_->addWidget(searchGroup);
    outer->addWidget(Options);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    outer->addLayout(buttons);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    Edit1->setMinimumWidth(Edit1->fontMetrics().averageCharWidth() * 36);
}

QLineEdit* NotesSearchDialog::addTextGroup(const QString& groupObjectName, const QString& caption,
                                           const QString& editObjectName) {
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(groupObjectName);
    QLineEdit* edit = makeEdit(group, editObjectName);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(edit);
    groups_->addWidget(group);
    return edit;
}

void NotesSearchDialog::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // Polished first: the style and font may still change the size.
        ensurePolished();
        if (layout()) layout()->activate();
        adjustSize();
        // A window that exists knows its frame, so the frame is what is centred.
        create();
        if (const QScreen* shown = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(shown->availableGeometry().center());
            move(frame.topLeft());
        }
        // The search text is typed over, or kept by moving on with Tab.
        Edit1->selectAll();
        Edit1->setFocus(Qt::OtherFocusReason);
    }
    QDialog::setVisible(visible);
}
