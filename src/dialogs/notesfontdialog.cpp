#include "dialogs/notesfontdialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/dialogparts.h"

NotesFontDialog::NotesFontDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("notesFontDialog"));
    setWindowTitle(QStringLiteral("Notes fixed pitch font"));
    auto* name = new QLabel(QStringLiteral("Font name is \"Courier\" "), this);
    name->setObjectName(QStringLiteral("fontNameLabel"));
    // A font needs a positive size; above a few hundred points the notes
    // would not fit a page, so these bounds take nothing useful away.
    size_ = fontSizeSpin(this, 1, 999);
    sample_ = fontSample(this);

    auto* form = new QFormLayout;
    form->addRow(name);
    form->addRow(QStringLiteral("Font size"), size_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(sample_);
    column->addLayout(okCancelRow(*this));

    connect(size_, &QSpinBox::valueChanged, this, &NotesFontDialog::showSample);
    connect(findChild<QPushButton*>(QStringLiteral("okButton")), &QPushButton::clicked, this,
            &NotesFontDialog::applyChoice);
}

void NotesFontDialog::setFontChoice(const QFont& notesFont) {
    chosen_ = notesFont;
    sample_->setFont(notesFont);
    const QSignalBlocker block(size_);
    size_->setValue(notesFont.pointSize());
}

void NotesFontDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
}

void NotesFontDialog::showSample() {
    QFont sample = sample_->font();
    sample.setPointSize(size_->value());
    sample_->setFont(sample);
}

void NotesFontDialog::applyChoice() {
    chosen_.setPointSize(size_->value());
    accept();
}
