#include "dialogs/cardfontdialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/dialogparts.h"

namespace {

const QString kCardPrefix = QStringLiteral("Card");

}  // namespace

CardFontDialog::CardFontDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("cardFontDialog"));
    setWindowTitle(QStringLiteral("Select convention card font"));
    family_ = new QComboBox(this);
    family_->setObjectName(QStringLiteral("fontName"));
    family_->addItems(cardFontBaseNames());
    size_ = fontSizeSpin(this, 6, 20);
    sample_ = fontSample(this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Font name"), family_);
    form->addRow(QStringLiteral("Font size"), size_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(sample_);
    column->addLayout(okCancelRow(*this));

    connect(family_, &QComboBox::currentIndexChanged, this, [this] {
        QFont sample = sample_->font();
        sample.setFamily(kCardPrefix + family_->currentText());
        sample_->setFont(sample);
    });
    connect(size_, &QSpinBox::valueChanged, this, [this] {
        QFont sample = sample_->font();
        sample.setPointSize(size_->value());
        sample_->setFont(sample);
    });
    connect(findChild<QPushButton*>(QStringLiteral("okButton")), &QPushButton::clicked, this,
            &CardFontDialog::applyChoice);
}

QStringList CardFontDialog::cardFontBaseNames() {
    return {QStringLiteral("Arial"), QStringLiteral("Courier"), QStringLiteral("Footlight"),
            QStringLiteral("Times")};
}

void CardFontDialog::setFontChoice(const QFont& displayFont) {
    chosen_ = displayFont;
    sample_->setFont(displayFont);
    // Card font names hold at most ten characters after "Card".
    const QString baseName = displayFont.family().mid(kCardPrefix.size(), 10);
    // The sample already shows the font; the change handlers would only
    // rename it after a list entry the font may not have.
    const QSignalBlocker blockSpin(size_);
    const QSignalBlocker blockList(family_);
    size_->setValue(displayFont.pointSize());
    family_->setCurrentIndex(
        family_->findText(baseName, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void CardFontDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(*this);
}

void CardFontDialog::applyChoice() {
    chosen_.setFamily(kCardPrefix + family_->currentText());
    chosen_.setPointSize(size_->value());
    accept();
}
