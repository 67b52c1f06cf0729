#include "views/notestexteditor.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "card/cardindex.h"
#include "card/notesformat.h"
#include "card/textfile.h"
#include "dialogs/cardtextvalidator.h"
#include "document/cardtext.h"

namespace {

// Soft line breaks have no place in a file of plain lines; inside the text
// they would also make line numbers disagree with the saved file.
QString withPlainLineBreaks(QString text) {
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// Start positions of the matches a replace-all changes, ascending. Forward,
// matches begin at or after start; backward, before it, collected from the
// end so that the last match before start wins where matches would overlap.
std::vector<int> findMatches(const QTextDocument& doc, const QString& needle, int start,
                             bool backward, Qt::CaseSensitivity cs) {
    std::vector<int> matches;
    const int length = static_cast<int>(needle.size());
    QTextBlock block = doc.findBlock(start);
    if (!backward) {
        int from = start - block.position();
        for (; block.isValid(); block = block.next(), from = 0) {
            const QString text = block.text();
            for (qsizetype at = text.indexOf(needle, from, cs); at >= 0;
                 at = text.indexOf(needle, from, cs)) {
                matches.push_back(block.position() + static_cast<int>(at));
                from = static_cast<int>(at) + length;
            }
        }
        return matches;
    }
    // limit: the last index in the block at which a match may begin.
    int limit = start - block.position() - 1;
    for (; block.isValid(); block = block.previous(), limit = INT_MAX) {
        const QString text = block.text();
        limit = std::min(limit, static_cast<int>(text.size()) - length);
        while (limit >= 0) {
            const qsizetype at = text.lastIndexOf(needle, limit, cs);
            if (at < 0) break;
            matches.push_back(block.position() + static_cast<int>(at));
            limit = static_cast<int>(at) - length;
        }
    }
    std::reverse(matches.begin(), matches.end());
    return matches;
}

// The text of a notes file's paragraphs, one paragraph per line.
QString notesText(const std::vector<std::string>& paragraphs) {
    size_t length = paragraphs.size();
    for (const std::string& paragraph : paragraphs) length += paragraph.size();
    QString text;
    text.reserve(static_cast<qsizetype>(length));
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) text += QLatin1Char('\n');
        text += fromCardText(paragraphs[i]);
    }
    return text;
}

}  // namespace

// Colours the suit characters of every line of the notes. The colours live
// in the lines' layouts, not in the text.
class SuitHighlighter : public QSyntaxHighlighter {
public:
    SuitHighlighter(QTextDocument* document, const QPalette& palette)
        : QSyntaxHighlighter(document), palette_(palette) {}

    void setSuitText(const SuitText& suits, const QPalette& palette) {
        suits_ = suits;
        palette_ = palette;
        rehighlight();
    }

protected:
    void highlightBlock(const QString& text) override {
        for (const QTextLayout::FormatRange& range : suits_.colourRanges(text, palette_))
            setFormat(range.start, range.length, range.format);
    }

private:
    SuitText suits_;
    QPalette palette_;
};

NotesTextEditor::NotesTextEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    suitColours_ = new SuitHighlighter(document(), palette());
}

void NotesTextEditor::setSuitText(const SuitText& suits) {
    suitChars_ = suits.suitChars();
    suitColours_->setSuitText(suits, palette());
}

QString NotesTextEditor::enteredText(const QString& text) {
    CardTextEntry entry = enterCardText(text, suitChars_);
    if (!entry.replaced.empty()) emit charactersReplaced(entry.replaced);
    return std::move(entry.shown);
}

bool NotesTextEditor::loadFile(const std::string& path) {
    // Read within the limits of what the editor holds: a file past them is
    // refused whole rather than filling the memory.
    const auto paragraphs = zqw::readNotesFile(path);
    if (!paragraphs) return false;
    setPlainText(notesText(*paragraphs));
    moveCursor(QTextCursor::Start);
    document()->setModified(false);
    fileName_ = QString::fromStdString(path);
    return true;
}

std::string NotesTextEditor::fileBytes() const {
    std::vector<std::string> paragraphs;
    paragraphs.reserve(static_cast<size_t>(document()->blockCount()));
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        paragraphs.push_back(enterCardText(block.text(), suitChars_).bytes);
    }
    return zqw::serializeNotes(paragraphs);
}

void NotesTextEditor::restoreText(const std::string& bytes) {
    setPlainText(notesText(zqw::parseNotes(bytes)));
    document()->setModified(true);
}

bool NotesTextEditor::saveFile(const std::string& path) {
    if (!zqw::writeFileAtomically(path, fileBytes())) return false;
    fileName_ = QString::fromStdString(path);
    document()->setModified(false);
    return true;
}

void NotesTextEditor::startEmpty() {
    clear();
    fileName_.clear();
    document()->setModified(false);
}

bool NotesTextEditor::isModified() const { return document()->isModified(); }

QStringList NotesTextEditor::unstorableCharacters(int limit) const {
    QStringList found;
    const QString text = toPlainText();
    for (qsizetype i = 0; i < text.size() && found.size() < limit; ++i) {
        const auto [c, length] = characterAt(text, i);
        if (c != QChar::ParagraphSeparator &&
            zqw::toCardCharacter(c, suitChars_).kind == zqw::CardCharacterKind::Replaced) {
            const QString character = text.mid(i, length);
            if (!found.contains(character)) found << character;
        }
        i += length - 1;
    }
    return found;
}

bool NotesTextEditor::search(const QString& text, SearchOptions options) {
    // Looked for as it would have gone into the notes: "1♣" finds the club
    // pasted from a printed card.
    const QString needle = enterCardText(text.left(kMaxSearchLength), suitChars_).shown;
    if (needle.isEmpty()) return true;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QTextDocument* doc = document();
    const int length = static_cast<int>(needle.size());
    const int start = options.global ? (options.backward ? doc->characterCount() - 1 : 0)
                                     : textCursor().position();
    QTextBlock block = doc->findBlock(start);
    // Only the blocks between the caret and the match are looked at, so
    // stepping through many matches costs no more than one pass over them.
    if (!options.backward) {
        for (int from = start - block.position(); block.isValid(); block = block.next(), from = 0) {
            const qsizetype at = block.text().indexOf(needle, from, cs);
            if (at >= 0) {
                selectMatch(block.position() + static_cast<int>(at), length, false);
                return true;
            }
        }
        return false;
    }
    for (int limit = start - block.position() - 1; block.isValid();
         block = block.previous(), limit = INT_MAX) {
        const QString line = block.text();
        limit = std::min(limit, static_cast<int>(line.size()) - length);
        if (limit < 0) continue;
        const qsizetype at = line.lastIndexOf(needle, limit, cs);
        if (at >= 0) {
            selectMatch(block.position() + static_cast<int>(at), length, true);
            return true;
        }
    }
    return false;
}

int NotesTextEditor::replaceAll(const QString& text, const QString& replacementText,
                                SearchOptions options) {
    const QString needle = enterCardText(text.left(kMaxSearchLength), suitChars_).shown;
    if (needle.isEmpty()) return 0;
    QTextDocument* doc = document();
    const int start = options.global ? (options.backward ? doc->characterCount() - 1 : 0)
                                     : textCursor().position();
    const std::vector<int> matches =
        findMatches(*doc, needle, start, options.backward,
                    options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (matches.empty()) return -1;
    const QString replacement = enteredText(replacementText);

    // The stretch from the first match to the end of the last is rebuilt as
    // one string and put in with one edit: one undo step, and the document
    // is changed once however many matches there are.
    const qsizetype length = needle.size();
    const int first = matches.front();
    const int end = matches.back() + static_cast<int>(length);
    QString rebuilt;
    rebuilt.reserve(end - first + static_cast<qsizetype>(matches.size()) * replacement.size());
    QTextBlock block = doc->findBlock(first);
    qsizetype copied = first - block.position();
    size_t next = 0;
    for (;;) {
        const QString line = block.text();
        const int base = block.position();
        while (next < matches.size() && matches[next] - base < line.size()) {
            const qsizetype at = matches[next] - base;
            rebuilt += QStringView(line).mid(copied, at - copied);
            rebuilt += replacement;
            copied = at + length;
            ++next;
        }
        if (next == matches.size()) break;
        rebuilt += QStringView(line).mid(copied);
        rebuilt += QLatin1Char('\n');
        block = block.next();
        copied = 0;
    }

    QTextCursor cursor(doc);
    cursor.setPosition(first);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.insertText(rebuilt);
    cursor.endEditBlock();
    // The caret ends where a search in the same direction would go on from.
    if (options.backward) cursor.setPosition(first);
    setTextCursor(cursor);
    ensureCursorVisible();
    return static_cast<int>(matches.size());
}

void NotesTextEditor::insertAtCaret(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(enteredText(withPlainLineBreaks(text)));
    setTextCursor(cursor);
    ensureCursorVisible();
}

int NotesTextEditor::caretLine() const { return zqw::notesLineOfBlock(textCursor().blockNumber()); }

int NotesTextEditor::caretColumn() const {
    return zqw::notesColumnOfOffset(textCursor().positionInBlock());
}

void NotesTextEditor::setCaret(int line, int column) {
    const QTextBlock block = document()->findBlockByNumber(
        std::clamp(zqw::blockOfNotesLine(line), 0, document()->blockCount() - 1));
    // length() counts the line end too, so length() - 1 is the end of the line.
    const int offset = std::clamp(zqw::offsetOfNotesColumn(column), 0, block.length() - 1);
    QTextCursor cursor(document());
    cursor.setPosition(block.position() + offset);
    setTextCursor(cursor);
    ensureCursorVisible();
}

int NotesTextEditor::lineCount() const { return document()->blockCount(); }

void NotesTextEditor::setInputEnabled(bool enabled) { setEnabled(enabled); }

bool NotesTextEditor::isInputEnabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void NotesTextEditor::setWrapColumn(int columns) {
    wrapColumn_ = std::max(0, columns);
    applyWrapColumn();
}

int NotesTextEditor::visibleColumns() const {
    // The same sum the text layout makes when it breaks a line.
    const double room = fullTextWidth() - 2 * document()->documentMargin();
    return std::max(0, static_cast<int>(std::floor(room / characterWidth())));
}

void NotesTextEditor::setFixedFont(const QFont& font) {
    QFont fixed = font;
    fixed.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    // The pitch is asked for only when the font lacks it. Asking for it
    // anyway makes a font request of its own, for which the font system
    // loads the same face a second time beside the one the rest of the
    // window shows in the notes font (the section caption).
    if (!QFontInfo(fixed).fixedPitch()) fixed.setFixedPitch(true);
    setFont(fixed);
    applyWrapColumn();
}

void NotesTextEditor::keyPressEvent(QKeyEvent* event) {
    keysPressedHere_.insert(event->key());
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        // Shift+Enter starts a new line like Enter (see withPlainLineBreaks).
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    // A suit symbol or a character the file lacks, from a keyboard layout
    // or a compose key: the character the notes can hold goes in instead.
    if (!event->text().isEmpty() &&
        (event->text().at(0).isPrint() || event->text().at(0).isSurrogate())) {
        const QString text = enteredText(event->text());
        if (text != event->text()) {
            QTextCursor cursor = textCursor();
            cursor.insertText(text);
            setTextCursor(cursor);
            ensureCursorVisible();
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void NotesTextEditor::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent storable(event->preeditString(), event->attributes());
    storable.setCommitString(enteredText(event->commitString()), event->replacementStart(),
                             event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&storable);
    event->setAccepted(storable.isAccepted());
}

void NotesTextEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    // A key pressed elsewhere (a shortcut that brought the notes forward)
    // is not this editor's key when it comes up here.
    if (!event->isAutoRepeat() && keysPressedHere_.remove(event->key()))
        emit keyReleased(event->key());
}

void NotesTextEditor::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData plain;
    plain.setText(enteredText(withPlainLineBreaks(source->text())));
    QPlainTextEdit::insertFromMimeData(&plain);
}

void NotesTextEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    applyWrapColumn();
}

void NotesTextEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) applyWrapColumn();
}

double NotesTextEditor::characterWidth() const {
    // Unrounded, as the text layout measures it.
    return std::max(1.0, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('x')));
}

int NotesTextEditor::fullTextWidth() const { return viewport()->width() + wrapMargin_; }

void NotesTextEditor::applyWrapColumn() {
    // QPlainTextEdit wraps only at its viewport's width, so a wrap column
    // narrower than the widget is made by a right margin beside the viewport.
    int margin = 0;
    if (wrapColumn_ > 0) {
        // One pixel to spare, so that rounding never loses the last column.
        const int wanted = static_cast<int>(std::ceil(wrapColumn_ * characterWidth() +
                                                      2 * document()->documentMargin())) +
                           1;
        margin = std::max(0, fullTextWidth() - wanted);
    }
    if (margin == wrapMargin_) return;
    // Set first: the viewport's resize comes back here and must see the
    // full width unchanged.
    wrapMargin_ = margin;
    setViewportMargins(0, 0, margin, 0);
}

void NotesTextEditor::selectMatch(int start, int length, bool caretAtStart) {
    QTextCursor cursor(document());
    cursor.setPosition(caretAtStart ? start + length : start);
    cursor.setPosition(caretAtStart ? start : start + length, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}
