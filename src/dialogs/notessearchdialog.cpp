#include "dialogs/notessearchdialog.h"

#include <QCheckBox>
#include <QFrame>
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
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
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
    searchText_ = addTextGroup(QStringLiteral("searchTextGroup"), QStringLiteral("&Search Text"),
                               QStringLiteral("searchText"));
    searchText_->setMinimumWidth(searchText_->fontMetrics().averageCharWidth() * 36);

    auto* options = new QGroupBox(QStringLiteral("Search &Options"), this);
    options->setObjectName(QStringLiteral("searchOptions"));
    options_ = new QVBoxLayout(options);
    forward_ = new QRadioButton(QStringLiteral("Search &Forward"), options);
    forward_->setObjectName(QStringLiteral("searchForward"));
    forward_->setChecked(true);
    backward_ = new QRadioButton(QStringLiteral("Search &Backward"), options);
    backward_->setObjectName(QStringLiteral("searchBackward"));
    auto* line = new QFrame(options);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    options_->addWidget(forward_);
    options_->addWidget(backward_);
    options_->addWidget(line);
    outer->addWidget(options);
    matchCase_ = addOption(QStringLiteral("matchCase"), QStringLiteral("&Match Case"));
    global_ = addOption(QStringLiteral("globalSearch"), QStringLiteral("&Global Search"));

    auto* ok = makeButton(this, QStringLiteral("okButton"), QStringLiteral("OK"));
    auto* cancel = makeButton(this, QStringLiteral("cancelButton"), QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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

QCheckBox* NotesSearchDialog::addOption(const QString& objectName, const QString& caption) {
    auto* box = new QCheckBox(caption, options_->parentWidget());
    box->setObjectName(objectName);
    options_->addWidget(box);
    return box;
}

SearchRequest NotesSearchDialog::request() const {
    SearchRequest request;
    request.text = searchText_->text();
    request.options.backward = backward_->isChecked();
    request.options.matchCase = matchCase_->isChecked();
    request.options.global = global_->isChecked();
    return request;
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
        searchText_->selectAll();
        searchText_->setFocus(Qt::OtherFocusReason);
    }
    QDialog::setVisible(visible);
}
