#include "help/hintswindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "card/cp1252.h"
#include "dialogs/suittext.h"

// A title and a close box only. Asked for a title alone, Qt tells the window
// manager which functions the window has but not which buttons it shows,
// and a window manager may then draw minimise and maximise buttons anyway.
HintsWindow::HintsWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("hintsWindow"));
    setWindowTitle(QStringLiteral("Hints for using the ZQW Convention card editor"));

    heading_ = new QLabel(QStringLiteral("Did you know..."), this);
    QFont large = heading_->font();
    large.setPointSize(18);
    large.setBold(true);
    heading_->setFont(large);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("hintText"));
    text_->setAccessibleName(QStringLiteral("Hint"));
    text_->setReadOnly(true);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nextButton_ = new QPushButton(QStringLiteral("&Next hint"), this);
    nextButton_->setObjectName(QStringLiteral("nextHint"));
    closeButton_ = new QPushButton(QStringLiteral("&Close"), this);
    closeButton_->setObjectName(QStringLiteral("closeHints"));
    closeButton_->setDefault(true);
    doNotShowBox_ = new QCheckBox(
        QStringLiteral("Do not show this screen when the program next starts up"), this);
    doNotShowBox_->setObjectName(QStringLiteral("doNotShowHints"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(nextButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);
    layout->addWidget(doNotShowBox_);
    setFixedSize(454, 322);

    connect(nextButton_, &QPushButton::clicked, this, &HintsWindow::showNextHint);
    connect(closeButton_, &QPushButton::clicked, this, &HintsWindow::reject);
    connect(doNotShowBox_, &QCheckBox::toggled, this, &HintsWindow::doNotShowAtStartChanged);
}

void HintsWindow::setCardFont(const QFont& font) { text_->setFont(font); }

bool HintsWindow::doNotShowAtStart() const { return doNotShowBox_->isChecked(); }

void HintsWindow::setDoNotShowAtStart(bool ticked) { doNotShowBox_->setChecked(ticked); }

QString HintsWindow::hintText() const { return text_->toPlainText(); }

void HintsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showHint(hintNumber_);
    closeButton_->setFocus();
}

void HintsWindow::showNextHint() { showHint(zqw::nextHintNumber(hintNumber_)); }

void HintsWindow::reject() {
    changeHintNumber(zqw::nextHintNumber(hintNumber_));
    QDialog::reject();
}

void HintsWindow::showHint(int wanted) {
    const zqw::HintsFile::Choice choice = hints_.choose(wanted, suitChars_);
    changeHintNumber(choice.number);
    if (!choice.text) return;
    QStringList lines;
    for (const std::string& line : *choice.text)
        lines.append(QString::fromStdString(zqw::cp1252ToUtf8(line)));
    const QString text = lines.join(QLatin1Char('\n'));
    text_->setPlainText(text);
    // A screen reader gets the hint with the card font's suit characters;
    // the description says the suits as words.
    const QString said = SuitText(suitChars_, false).spoken(text);
    text_->setAccessibleDescription(said != text ? said : QString());
}

void HintsWindow::changeHintNumber(int number) {
    if (number == hintNumber_) return;
    hintNumber_ = number;
    emit hintNumberChanged(number);
}
