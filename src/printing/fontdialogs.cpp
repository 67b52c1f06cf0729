#include "fontdialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include "card/cp1252.h"

namespace {

const QString kSampleText = QStringLiteral("ABCDEFGHIabcdefghi123456789");
const QString kCardPrefix = QStringLiteral("Card");

// OK (default) and Cancel, closing the dialog with their results; Esc
// cancels through QDialog itself.
QHBoxLayout* okCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QLabel* sampleLabel(QWidget* parent) {
    auto* sample = new QLabel(kSampleText, parent);
    sample->setObjectName(QStringLiteral("Label3"));
    sample->setMinimumHeight(40);
    return sample;
}

QSpinBox* sizeSpin(QWidget* parent, int minimum, int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QStringLiteral("SpinEdit1"));
    spin->setRange(minimum, maximum);
    return spin;
}

// The font dialogs open in the middle of the screen, not over the editor.
void centreOnScreen(QDialog* dialog) {
    if (const QScreen* screen = dialog->screen()) {
        dialog->move(screen->availableGeometry().center() - dialog->rect().center());
    }
}

}  // namespace

// ---------------------------------------------------------------------------

TOKFontDlg::TOKFontDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKFontDlg"));
    setWindowTitle(QStringLiteral("Select convention card font"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(cardFontBaseNames());
    SpinEdit1 = sizeSpin(this, 6, 20);
    Label3 = sampleLabel(this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Font name"), ComboBox1);
    form->addRow(QStringLiteral("Font size"), SpinEdit1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(Label3);
    column->addLayout(okCancelRow(this, OKBtn, CancelBtn));

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TOKFontDlg::ComboBox1Change);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TOKFontDlg::SpinEdit1Change);
    connect(OKBtn, &QPushButton::clicked, this, &TOKFontDlg::OKBtnClick);
}

QStringList TOKFontDlg::cardFontBaseNames() {
    return {QStringLiteral("Arial"), QStringLiteral("Courier"), QStringLiteral("Footlight"),
            QStringLiteral("Times")};
}

void TOKFontDlg::setFontChoice(const QFont& displayFont) {
    chosen_ = displayFont;
    Label3->setFont(displayFont);
    // Card font names hold at most ten characters after "Card".
    const QString family = displayFont.family();
    const QString baseName = family.mid(kCardPrefix.size(), 10);
    // The sample already shows the font; the change handlers would only
    // rename it after a list entry the font may not have.
    const QSignalBlocker blockSpin(SpinEdit1);
    const QSignalBlocker blockList(ComboBox1);
    SpinEdit1->setValue(displayFont.pointSize());
    ComboBox1->setCurrentIndex(
        ComboBox1->findText(baseName, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TOKFontDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TOKFontDlg::ComboBox1Change() {
    QFont sample = Label3->font();
    sample.setFamily(kCardPrefix + ComboBox1->currentText());
    Label3->setFont(sample);
}

void TOKFontDlg::SpinEdit1Change() {
    QFont sample = Label3->font();
    sample.setPointSize(SpinEdit1->value());
    Label3->setFont(sample);
}

void TOKFontDlg::OKBtnClick() {
    chosen_.setFamily(kCardPrefix + ComboBox1->currentText());
    chosen_.setPointSize(SpinEdit1->value());
    accept();
}

// ---------------------------------------------------------------------------

TOKNoteDlg::TOKNoteDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKNoteDlg"));
    setWindowTitle(QStringLiteral("Notes fixed pitch font"));
    auto* name = new QLabel(QStringLiteral("Font name is \"Courier\" "), this);
    name->setObjectName(QStringLiteral("Label1"));
    // A font needs a positive size; above a few hundred points the notes
    // would not fit a page, so these bounds take nothing useful away.
    SpinEdit1 = sizeSpin(this, 1, 999);
    Label3 = sampleLabel(this);

    auto* form = new QFormLayout;
    form->addRow(name);
    form->addRow(QStringLiteral("Font size"), SpinEdit1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(Label3);
    column->addLayout(okCancelRow(this, OKBtn, CancelBtn));

    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TOKNoteDlg::SpinEdit1Change);
    connect(OKBtn, &QPushButton::clicked, this, &TOKNoteDlg::OKBtnClick);
}

void TOKNoteDlg::setFontChoice(const QFont& notesFont) {
    chosen_ = notesFont;
    Label3->setFont(notesFont);
    const QSignalBlocker block(SpinEdit1);
    SpinEdit1->setValue(notesFont.pointSize());
}

void TOKNoteDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TOKNoteDlg::SpinEdit1Change() {
    QFont sample = Label3->font();
    sample.setPointSize(SpinEdit1->value());
    Label3->setFont(sample);
}

void TOKNoteDlg::OKBtnClick() {
    chosen_.setPointSize(SpinEdit1->value());
    accept();
}

// ---------------------------------------------------------------------------

namespace {

struct SymbolRow {
    const char* label;
    const char* field;
    const char* caption;
};

const SymbolRow kSymbolRows[4] = {{"LClub", "ClubNo", "Club ("},
                                  {"LDiamond", "DiamondNo", "Diamond ("},
                                  {"LHeart", "HeartNo", "Heart ("},
                                  {"LSpade", "SpadeNo", "Spade ("}};

}  // namespace

Tsymbolno::Tsymbolno(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("symbolno"));
    setWindowTitle(QStringLiteral("Card symbol numbers"));
    auto* text = new QLabel(QStringLiteral("These character numbers are used to select  the card "
                                           "symbols from the currently chosen "
                                           "system card font."),
                            this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);

    auto* form = new QFormLayout;
    for (int row = 0; row < 4; ++row) {
        labels_[row] = new QLabel(this);
        labels_[row]->setObjectName(QLatin1String(kSymbolRows[row].label));
        // A character code is one byte of the card font: three digits at most.
        fields_[row] = new QSpinBox(this);
        fields_[row]->setObjectName(QLatin1String(kSymbolRows[row].field));
        fields_[row]->setRange(0, 255);
        fields_[row]->setButtonSymbols(QAbstractSpinBox::NoButtons);
        form->addRow(labels_[row], fields_[row]);
        connect(fields_[row], &QSpinBox::valueChanged, this, [this, row] { showSymbol(row); });
    }
    auto* column = new QVBoxLayout(this);
    column->addWidget(text);
    column->addLayout(form);
    column->addLayout(okCancelRow(this, OKBtn, CancelBtn));
    connect(OKBtn, &QPushButton::clicked, this, &Tsymbolno::OKBtnClick);
}

void Tsymbolno::setSymbols(const QFont& displayFont, int clubChar, int diamondChar, int heartChar,
                           int spadeChar) {
    QFont font = this->font();
    font.setFamily(displayFont.family());
    setFont(font);
    const int chars[4] = {clubChar, diamondChar, heartChar, spadeChar};
    for (int row = 0; row < 4; ++row) {
        chars_[row] = chars[row];
        const QSignalBlocker block(fields_[row]);
        fields_[row]->setValue(chars[row]);
        showSymbol(row);
    }
}

void Tsymbolno::symbols(int& clubChar, int& diamondChar, int& heartChar, int& spadeChar) const {
    clubChar = chars_[0];
    diamondChar = chars_[1];
    heartChar = chars_[2];
    spadeChar = chars_[3];
}

void Tsymbolno::showSymbol(int row) {
    const char32_t code = zqw::cp1252ToUnicode(static_cast<unsigned char>(fields_[row]->value()));
    const QString symbol = QString::fromUcs4(&code, 1);
    labels_[row]->setText(QLatin1String(kSymbolRows[row].caption) + symbol + QLatin1Char(')'));
}

void Tsymbolno::OKBtnClick() {
    for (int row = 0; row < 4; ++row) chars_[row] = fields_[row]->value();
    accept();
}
