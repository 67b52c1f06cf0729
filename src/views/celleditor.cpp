#include "views/celleditor.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "dialogs/cardtextvalidator.h"

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setMouseTracking(true);
    setObjectName(QStringLiteral("cellEditor"));
    // The validator holds the text to the limit: a line edit's own limit
    // would cut pasted text without a word.
    validator_ = new CardTextValidator(this);
    validator_->setLengthLimit(kCellLength);
    setValidator(validator_);
    // The cell that takes the typing stands out: a frame and a light fill
    // while its grid has the keyboard.
    const QPalette colours = palette();
    const QColor frame = colours.color(QPalette::Highlight);
    QColor fill = colours.color(QPalette::Base);
    fill = QColor((fill.red() * 5 + frame.red()) / 6, (fill.green() * 5 + frame.green()) / 6,
                  (fill.blue() * 5 + frame.blue()) / 6);
    setStyleSheet(QStringLiteral("QLineEdit:focus { border: 2px solid %1; background: %2; }")
                      .arg(frame.name(), fill.name()));
    connect(this, &QLineEdit::textChanged, this, &CellEditor::refreshSuits);
}

void CellEditor::setSuitText(const SuitText& suits) {
    suits_ = suits;
    // A suit symbol typed or pasted becomes the character drawn as that suit.
    validator_->setSuitChars(suits.suitChars());
    refreshSuits();
}

void CellEditor::refreshSuits() {
    colourSuits();
    // The text a screen reader gets is the text as typed, brackets and
    // all; the description says it with suits as words.
    const QString said = suits_.spoken(text());
    setAccessibleDescription(said != text() ? said : QString());
}

// A line edit has no formats of its own; the ones an input method shows
// with its text are the way to colour stretches of it. They stay where
// they were set, so they are set again whenever the text changes.
void CellEditor::colourSuits() {
    if (composing_) return;
    QList<QInputMethodEvent::Attribute> formats;
    const int caret = cursorPosition();
    for (const QTextLayout::FormatRange& range : suits_.colourRanges(text(), palette())) {
        // Formats are placed from the caret.
        formats.append(QInputMethodEvent::Attribute(
            QInputMethodEvent::TextFormat, range.start - caret, range.length, range.format));
    }
    QInputMethodEvent colours(QString(), formats);
    QCoreApplication::sendEvent(this, &colours);
}

void CellEditor::inputMethodEvent(QInputMethodEvent* event) {
    // While text is being composed its formats are the input method's.
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    keysPressedHere_.insert(event->key());
    QLineEdit::keyPressEvent(event);
}

void CellEditor::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    // The release of a key pressed elsewhere (Shift+F5 choosing a tab, which
    // opened this editor) is not a key typed here.
    if (event->isAutoRepeat() || !keysPressedHere_.remove(event->key())) return;
    emit keyReleased(event->key());
}

void CellEditor::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focused();
}

// The middle button opens the prompts; the line edit would also paste the
// X selection, so it never sees that button.
void CellEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) QLineEdit::mousePressEvent(event);
    emit mousePressed(event->button());
}

void CellEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) QLineEdit::mouseReleaseEvent(event);
    emit mouseReleased(event->button());
}

void CellEditor::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    emit mouseMoved();
}
