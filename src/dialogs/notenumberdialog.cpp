#include "dialogs/notenumberdialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/updownspinner.h"

NoteNumberDialog::NoteNumberDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("noteNumberDialog"));
    setWindowTitle(QStringLiteral("Select note number"));
    setFixedSize(286, 156);
    move(265, 208);

    auto* prompt = new QLabel(QStringLiteral("Enter the note number:"), this);
    prompt->setObjectName(QStringLiteral("notePrompt"));

    noteField_ = new QLineEdit(this);
    noteField_->setObjectName(QStringLiteral("noteNumber"));
    noteField_->setAccessibleName(QStringLiteral("Note number"));
    // Up to three digits can be typed; the spinner may step beyond them
    // within the field's range.
    noteField_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,3}")), noteField_));
    noteField_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noteField_->setFixedWidth(
        QFontMetrics(noteField_->font()).horizontalAdvance(QStringLiteral("-00000")) + 12);
    prompt->setBuddy(noteField_);

    auto* spinner = new UpDownSpinner(this);
    spinner->setObjectName(QStringLiteral("noteSpinner"));
    spinner->setFixedHeight(noteField_->sizeHint().height());
    connect(spinner, &UpDownSpinner::stepped, this, &NoteNumberDialog::step);

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* field = new QHBoxLayout;
    field->setSpacing(0);
    field->addWidget(noteField_);
    field->addWidget(spinner);
    field->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(field);
    layout->addStretch();
    layout->addLayout(buttons);

    setNoteNumber(0);
}

void NoteNumberDialog::setNoteNumber(int value) {
    noteField_->setText(QString::number(std::clamp(value, kMinimum, kMaximum)));
    noteField_->selectAll();
}

int NoteNumberDialog::noteNumber() const {
    bool ok = false;
    const int value = noteField_->text().trimmed().toInt(&ok);
    return ok ? std::clamp(value, kMinimum, kMaximum) : 0;
}

void NoteNumberDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    noteField_->setFocus(Qt::OtherFocusReason);
    noteField_->selectAll();
}

void NoteNumberDialog::step(int delta) {
    const int value = std::clamp(noteNumber() + delta, kMinimum, kMaximum);
    noteField_->setText(QString::number(value));
}
