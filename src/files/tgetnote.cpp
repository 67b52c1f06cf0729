#include "tgetnote.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

#include "files/updownspinner.h"

Tgetnote::Tgetnote(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tgetnote"));
    setWindowTitle(QStringLiteral("Select note number"));
    setFixedSize(286, 156);
    move(265, 208);

    Label1 = new QLabel(QStringLiteral("Enter the note number:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    NoteNum = new QLineEdit(this);
    NoteNum->setObjectName(QStringLiteral("NoteNum"));
    NoteNum->setAccessibleName(QStringLiteral("Note number"));
    // Up to three digits can be typed; the spinner may step beyond them
    // within the field's range.
    NoteNum->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), NoteNum));
    NoteNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NoteNum->setFixedWidth(
        QFontMetrics(NoteNum->font()).horizontalAdvance(QStringLiteral("-00000")) + 12);
    Label1->setBuddy(NoteNum);

    OvcSpinner1 = new UpDownSpinner(this);
    OvcSpinner1->setObjectName(QStringLiteral("OvcSpinner1"));
    OvcSpinner1->setFixedHeight(NoteNum->sizeHint().height());
    connect(OvcSpinner1, &UpDownSpinner::stepped, this, &Tgetnote::OvcSpinner1Click);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* field = new QHBoxLayout;
    field->setSpacing(0);
    field->addWidget(NoteNum);
    field->addWidget(OvcSpinner1);
    field->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(field);
    layout->addStretch();
    layout->addLayout(buttons);

    setNoteNumber(0);
}

void Tgetnote::setNoteNumber(int value) {
    NoteNum->setText(QString::number(std::clamp(value, kMinimum, kMaximum)));
    NoteNum->selectAll();
}

int Tgetnote::noteNumber() const {
    bool ok = false;
    const int value = NoteNum->text().trimmed().toInt(&ok);
    return ok ? std::clamp(value, kMinimum, kMaximum) : 0;
}

void Tgetnote::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    NoteNum->setFocus(Qt::OtherFocusReason);
    NoteNum->selectAll();
}

void Tgetnote::OvcSpinner1Click(int delta) {
    const int value = std::clamp(noteNumber() + delta, kMinimum, kMaximum);
    NoteNum->setText(QString::number(value));
}
