#pragma once

#include <QPlainTextEdit>
#include <QSet>
#include <QString>
#include <vector>

#include "card/cardtextinput.h"
#include "card/noteseditor.h"
#include "dialogs/searchrequest.h"
#include "dialogs/suittext.h"

class QKeyEvent;
class QMimeData;
class SuitHighlighter;

// The notes editor: the notes text as paragraphs (one per line of the notes
// file), its file name, a modified flag and the undo history.
//
// Positions are given as line and column, both counted from 1: line L is
// the L-th paragraph, whatever the word wrap shows on screen, so a stored
// position stays valid when the widget is resized; column C is the caret
// before the C-th character of the line (column 1 is the start of a line,
// one past the length is its end).
class NotesTextEditor : public QPlainTextEdit, public zqw::NotesEditor {
    Q_OBJECT

public:
    // A search text longer than this is cut.
    static constexpr int kMaxSearchLength = 255;

    explicit NotesTextEditor(QWidget* parent = nullptr);

    // Reads a Windows-1252 notes file (regular files only). On success the
    // editor takes the path as its file name and is not modified; on failure
    // text, file name and modified flag stay as they were.
    bool loadFile(const std::string& path) override;
    // Writes the text as a notes file, atomically. On success the editor
    // takes the path as its file name and is no longer modified.
    bool saveFile(const std::string& path) override;
    // The bytes saveFile writes.
    std::string fileBytes() const;
    // Replaces the text with a notes file's bytes, as a change: the file
    // name stays and the notes count as modified (a recovered copy).
    void restoreText(const std::string& bytes);
    // Empty text, no file name, not modified, no undo history.
    void startEmpty() override;

    QString fileName() const { return fileName_; }
    // Characters of the text that a notes file (Windows-1252) cannot hold,
    // each once, in the order they first appear; at most `limit`.
    QStringList unstorableCharacters(int limit) const;
    void setFileName(const QString& name) { fileName_ = name; }
    // The text differs from what was last loaded, saved or started empty.
    bool isModified() const;

    // Search and replacement texts are taken as typed text would be
    // (suit symbols as suits).
    // Finds text from the caret (or from an end of the text with global).
    // Forward, the first match at or after the start point; backward, the
    // last match that begins before it. A found match is selected with the
    // caret at its end (forward) or its start (backward); when nothing is
    // found nothing changes. An empty text counts as found.
    bool search(const QString& text, SearchOptions options);
    // Replaces every match from the start point of search() onwards in the
    // search direction, matches not overlapping, as one undoable edit.
    // Returns the number of replacements, -1 when there was no match, and 0
    // for an empty search text (nothing to look for, nothing changed).
    int replaceAll(const QString& text, const QString& replacement, SearchOptions options);
    // Replaces the selection (or inserts at the caret) and puts the caret
    // after the inserted text. "\r\n" or "\n" starts a new line.
    void insertAtCaret(const QString& text);

    int caretLine() const;
    int caretColumn() const;
    // Clamped to the text: a line past the last means the last line, a
    // column past the end of its line means the end of the line.
    void setCaret(int line, int column);
    int lineCount() const;

    void setInputEnabled(bool enabled);
    bool isInputEnabled() const;

    // Wraps lines at this many character columns, or at the widget's width
    // when that is narrower; 0 wraps at the widget's width. Wrapping only
    // changes how the text is shown, never the text or its line numbers.
    void setWrapColumn(int columns);
    int wrapColumn() const { return wrapColumn_; }
    // Character columns the widget has room for, at its current width.
    int visibleColumns() const;

    // The notes are shown in one fixed-pitch font; the wrap column counts
    // its character width.
    void setFixedFont(const QFont& font);
    QFont fixedFont() const { return font(); }

    // Suits in colour, as in the grids. Only the screen changes: the text,
    // its modified flag and its undo history stay as they are.
    void setSuitText(const SuitText& suits);

signals:
    // A key was released (auto-repeat releases are not reported).
    void keyReleased(int key);
    // Typed, pasted, dropped or inserted characters a notes file cannot
    // store were replaced.
    void charactersReplaced(const std::vector<zqw::ReplacedCharacter>& replaced);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Text put into the notes as the notes file will hold it: suit symbols
    // as the display characters, other characters it lacks replaced (and
    // said).
    QString enteredText(const QString& text);
    void applyWrapColumn();
    void selectMatch(int start, int length, bool caretAtStart);
    double characterWidth() const;
    // Width the text could use if no wrap column narrowed the viewport.
    int fullTextWidth() const;

    QSet<int> keysPressedHere_;
    SuitHighlighter* suitColours_ = nullptr;
    zqw::SuitChars suitChars_;
    QString fileName_;
    int wrapColumn_ = 0;
    int wrapMargin_ = 0;
};
