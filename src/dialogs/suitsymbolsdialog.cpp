#include "dialogs/suitsymbolsdialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/dialogparts.h"
#include "dialogs/widgettext.h"

namespace {

struct SymbolRow {
    const char* label;
    const char* field;
    const char* caption;
    // The label shows the suit drawn by the card font, which a screen
    // reader would read as the character behind it: the field says its
    // own name.
    const char* spoken;
    int zqw::SuitChars::*code;
};

const SymbolRow kSymbolRows[4] = {
    {"clubLabel", "clubCode", "Club (", "Club character number", &zqw::SuitChars::club},
    {"diamondLabel", "diamondCode", "Diamond (", "Diamond character number",
     &zqw::SuitChars::diamond},
    {"heartLabel", "heartCode", "Heart (", "Heart character number", &zqw::SuitChars::heart},
    {"spadeLabel", "spadeCode", "Spade (", "Spade character number", &zqw::SuitChars::spade}};

}  // namespace

SuitSymbolsDialog::SuitSymbolsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("suitSymbolsDialog"));
    setWindowTitle(QStringLiteral("Card symbol numbers"));
    auto* text = new QLabel(QStringLiteral("These character numbers are used to select  the card "
                                           "symbols from the currently chosen "
                                           "system card font."),
                            this);
    text->setObjectName(QStringLiteral("explanation"));
    text->setWordWrap(true);

    auto* form = new QFormLayout;
    for (int row = 0; row < 4; ++row) {
        labels_[row] = new QLabel(this);
        labels_[row]->setObjectName(QLatin1String(kSymbolRows[row].label));
        // A character code is one byte of the card font: three digits at most.
        fields_[row] = new QSpinBox(this);
        fields_[row]->setObjectName(QLatin1String(kSymbolRows[row].field));
        fields_[row]->setAccessibleName(QLatin1String(kSymbolRows[row].spoken));
        fields_[row]->setRange(0, 255);
        fields_[row]->setButtonSymbols(QAbstractSpinBox::NoButtons);
        labels_[row]->setBuddy(fields_[row]);
        form->addRow(labels_[row], fields_[row]);
        connect(fields_[row], &QSpinBox::valueChanged, this, [this, row] { showSymbol(row); });
    }
    auto* column = new QVBoxLayout(this);
    column->addWidget(text);
    column->addLayout(form);
    column->addLayout(okCancelRow(*this));
    connect(findChild<QPushButton*>(QStringLiteral("okButton")), &QPushButton::clicked, this,
            &SuitSymbolsDialog::applyChoice);
}

void SuitSymbolsDialog::setSymbols(const QFont& displayFont, const zqw::SuitChars& chars) {
    QFont shown = font();
    shown.setFamily(displayFont.family());
    setFont(shown);
    chars_ = chars;
    for (int row = 0; row < 4; ++row) {
        const QSignalBlocker block(fields_[row]);
        fields_[row]->setValue(chars.*kSymbolRows[row].code);
        showSymbol(row);
    }
}

void SuitSymbolsDialog::showSymbol(int row) {
    labels_[row]->setText(QLatin1String(kSymbolRows[row].caption) +
                          fromCardByte(static_cast<char>(fields_[row]->value())) +
                          QLatin1Char(')'));
}

void SuitSymbolsDialog::applyChoice() {
    for (int row = 0; row < 4; ++row) chars_.*kSymbolRows[row].code = fields_[row]->value();
    accept();
}
