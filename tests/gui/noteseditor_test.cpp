#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <csignal>

#include "guitestmain.h"
#include "guitestsupport.h"
#include "views/notestexteditor.h"
#include "views/notetabs.h"

namespace {

std::string local(const QString& path) { return path.toStdString(); }

SearchOptions options(bool backward, bool matchCase, bool global) {
    SearchOptions result;
    result.backward = backward;
    result.matchCase = matchCase;
    result.global = global;
    return result;
}

// Line of the first paragraph holding the text, from 1, found without the
// editor's own search.
int lineHolding(const QString& text, const QString& part) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(part)) return i + 1;
    }
    return -1;
}

// Number of lines the paragraph takes on screen.
int shownLines(const NotesTextEditor& editor, int line) {
    const QTextBlock block = editor.document()->findBlockByNumber(line - 1);
    return block.layout() ? block.layout()->lineCount() : -1;
}

}  // namespace

class NotesEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadAndSave_data();
    void loadAndSave();
    void textSavedAsNotesFile_data();
    void textSavedAsNotesFile();
    void fileNameAndModifiedFlag();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void failedSaveLeavesOldFile();

    void search_data();
    void search();
    void searchAgainStopsAfterLastMatch();
    void replaceAll_data();
    void replaceAll();
    void replaceAllIsOneUndoStep();
    void insertReplacesSelection();

    void caretLineAndColumn_data();
    void caretLineAndColumn();
    void lineBreaksAreAlwaysNewLines();
    void enteredTextIsWhatTheFileHolds_data();
    void enteredTextIsWhatTheFileHolds();
    void keyReleaseIsReported();
    void inputCanBeDisabled();
    void wrapColumnOnlyChangesTheView();

    void findNoteHeading_data();
    void findNoteHeading();
    void findOrAppendAppendsOnceThenFinds();
    void eleventhNoteReplacesFirstTab();
    void buildNoteTabs_data();
    void buildNoteTabs();
    void buildSelectsActiveTabAndFocusesEditor();
    void refindFollowsHeadingsAfterNarrowing();

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    // The editor fills the window, as it fills its page in the main window.
    void resizeWindow(int width, int height) {
        window_->resize(width, height);
        editor_->setGeometry(0, 0, width, height);
    }

    QTemporaryDir* dir_ = nullptr;
    // The editor is a child, as in the main window.
    QWidget* window_ = nullptr;
    NotesTextEditor* editor_ = nullptr;
};

void NotesEditorTest::init() {
    dir_ = new QTemporaryDir;
    QVERIFY(dir_->isValid());
    window_ = new QWidget;
    editor_ = new NotesTextEditor(window_);
    resizeWindow(640, 400);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void NotesEditorTest::cleanup() {
    delete window_;
    window_ = nullptr;
    editor_ = nullptr;
    delete dir_;
    dir_ = nullptr;
}

void NotesEditorTest::loadAndSave_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("CR LF lines") << QByteArray("Note:..1: Stayman\r\nsecond line\r\n")
                                 << QStringLiteral("Note:..1: Stayman\nsecond line\n")
                                 << QByteArray("Note:..1: Stayman\r\nsecond line\r\n");
    QTest::newRow("last line without line end gets one")
        << QByteArray("one\r\ntwo") << QStringLiteral("one\ntwo") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("LF and CR alone end lines")
        << QByteArray("a\nb\rc\r\n") << QStringLiteral("a\nb\nc\n")
        << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("blank lines kept, no empty last line added")
        << QByteArray("a\r\n\r\n\r\n") << QStringLiteral("a\n\n\n") << QByteArray("a\r\n\r\n\r\n");
    QTest::newRow("TAB shown, saved as a blank")
        << QByteArray("1\tNT\r\n") << QStringLiteral("1\tNT\n") << QByteArray("1 NT\r\n");
    QTest::newRow("Windows-1252 letters and euro sign")
        << QByteArray("caf\xE9 \x80 5 \x9C\r\n") << QStringLiteral("café € 5 œ\n")
        << QByteArray("caf\xE9 \x80 5 \x9C\r\n");
    QTest::newRow("undefined byte survives")
        << QByteArray("x\x81y\r\n") << QStringLiteral("x\u0081y\n") << QByteArray("x\x81y\r\n");
    QTest::newRow("control bytes saved as blanks") << QByteArray(
                                                          "a\x01"
                                                          "b\x09"
                                                          "c\x0B"
                                                          "d\r\n")
                                                   << QStringLiteral("a\u0001b\tc\u000Bd\n")
                                                   << QByteArray(
                                                          "a b c\x0B"
                                                          "d\r\n");
    QTest::newRow("empty file") << QByteArray() << QString() << QByteArray();
}

void NotesEditorTest::loadAndSave() {
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);

    QVERIFY(tryWriteBytes(path(QStringLiteral("in.txt")), file));
    QVERIFY(editor_->loadFile(local(path(QStringLiteral("in.txt")))));
    QCOMPARE(editor_->toPlainText(), shown);
    QVERIFY(!editor_->isModified());

    QVERIFY(editor_->saveFile(local(path(QStringLiteral("out.txt")))));
    QCOMPARE(readBytes(path(QStringLiteral("out.txt"))), saved);

    // A saved file loads and saves again to the same bytes.
    QVERIFY(editor_->loadFile(local(path(QStringLiteral("out.txt")))));
    QVERIFY(editor_->saveFile(local(path(QStringLiteral("again.txt")))));
    QCOMPARE(readBytes(path(QStringLiteral("again.txt"))), saved);
}

void NotesEditorTest::textSavedAsNotesFile_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("plain lines") << QStringLiteral("one\ntwo") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("empty last line left out") << QStringLiteral("one\n") << QByteArray("one\r\n");
    QTest::newRow("only the last empty line left out")
        << QStringLiteral("one\n\n") << QByteArray("one\r\n\r\n");
    QTest::newRow("accents, euro, TAB")
        << QStringLiteral("d\u00e9j\u00e0\t\u20ac") << QByteArray("d\xE9j\xE0 \x80\r\n");
    // Suits as the display characters the notes font draws as suits.
    QTest::newRow("suit symbols") << QStringLiteral("1\u2663 1\u2666 1\u2665 1\u2660 \u2664")
                                  << QByteArray("1} 1{ 1] 1[ [\r\n");
    QTest::newRow("characters Windows-1252 lacks")
        << QStringLiteral("\u4e2d \u2212") << QByteArray("? -\r\n");
    QTest::newRow("non-breaking space kept") << QStringLiteral("a\u00a0b")
                                             << QByteArray(
                                                    "a\xA0"
                                                    "b\r\n");
    QTest::newRow("empty text") << QString() << QByteArray();
}

void NotesEditorTest::textSavedAsNotesFile() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);

    editor_->setPlainText(typed);
    QVERIFY(editor_->saveFile(local(path(QStringLiteral("notes.txt")))));
    QCOMPARE(readBytes(path(QStringLiteral("notes.txt"))), saved);
}

void NotesEditorTest::fileNameAndModifiedFlag() {
    const QString first = path(QStringLiteral("first.txt"));
    const QString second = path(QStringLiteral("second.txt"));
    QVERIFY(tryWriteBytes(first, "text\r\n"));

    QVERIFY(editor_->loadFile(local(first)));
    QCOMPARE(editor_->fileName(), first);
    QVERIFY(!editor_->isModified());

    QTest::keyClicks(editor_, QStringLiteral("more "));
    QVERIFY(editor_->isModified());
    QCOMPARE(editor_->toPlainText(), QStringLiteral("more text\n"));

    QVERIFY(editor_->saveFile(local(second)));
    QCOMPARE(editor_->fileName(), second);
    QVERIFY(!editor_->isModified());
    QCOMPARE(readBytes(first), QByteArray("text\r\n"));

    editor_->startEmpty();
    QCOMPARE(editor_->toPlainText(), QString());
    QCOMPARE(editor_->fileName(), QString());
    QVERIFY(!editor_->isModified());
    QCOMPARE(editor_->lineCount(), 1);
    QVERIFY(!editor_->document()->isUndoAvailable());

    editor_->setFileName(first);
    QCOMPARE(editor_->fileName(), first);
}

void NotesEditorTest::failedLoadChangesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << QStringLiteral("missing.txt");
    QTest::newRow("a folder") << QStringLiteral("folder");
}

void NotesEditorTest::failedLoadChangesNothing() {
    QFETCH(QString, name);
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
    editor_->setPlainText(QStringLiteral("unsaved"));
    editor_->setFileName(QStringLiteral("old.txt"));

    QVERIFY(!editor_->loadFile(local(path(name))));
    QCOMPARE(editor_->toPlainText(), QStringLiteral("unsaved"));
    QCOMPARE(editor_->fileName(), QStringLiteral("old.txt"));
}

void NotesEditorTest::failedSaveLeavesOldFile() {
    const QString target = path(QStringLiteral("notes.txt"));
    const QByteArray old("old notes\r\n");
    QVERIFY(tryWriteBytes(target, old));
    QVERIFY(editor_->loadFile(local(target)));
    editor_->insertAtCaret(QString(4000, QLatin1Char('x')));
    editor_->setFileName(QStringLiteral("kept.txt"));

    // A file size limit makes the write fail part way, even for root.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = editor_->saveFile(local(target));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!ok);
    QCOMPARE(readBytes(target), old);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
    QVERIFY(editor_->isModified());
    QCOMPARE(editor_->fileName(), QStringLiteral("kept.txt"));
}

void NotesEditorTest::search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("lineAfter");
    QTest::addColumn<int>("columnAfter");

    const QString text = QStringLiteral("club spade Spade\nheart club\nSPADE diamond");
    // Forward: the first match at or after the caret, caret at its end.
    QTest::newRow("forward from the start")
        << text << 1 << 1 << "spade" << false << false << false << true << "spade" << 1 << 11;
    QTest::newRow("forward match right at the caret")
        << text << 1 << 6 << "spade" << false << false << false << true << "spade" << 1 << 11;
    QTest::newRow("forward onto a later line")
        << text << 1 << 14 << "club" << false << false << false << true << "club" << 2 << 11;
    QTest::newRow("forward past the last match")
        << text << 3 << 2 << "spade" << false << false << false << false << "" << 3 << 2;
    // Backward: the last match beginning before the caret, caret at its start.
    QTest::newRow("backward on the same line")
        << text << 1 << 17 << "spade" << true << false << false << true << "Spade" << 1 << 12;
    QTest::newRow("backward onto the line above")
        << text << 2 << 1 << "club" << true << false << false << true << "club" << 1 << 1;
    QTest::newRow("backward match may reach past the caret")
        << text << 2 << 9 << "club" << true << false << false << true << "club" << 2 << 7;
    QTest::newRow("backward from the start of the text")
        << text << 1 << 1 << "club" << true << false << false << false << "" << 1 << 1;
    // Global starts at an end of the text whatever the caret.
    QTest::newRow("global forward starts at the top")
        << text << 3 << 14 << "club" << false << false << true << true << "club" << 1 << 5;
    QTest::newRow("global backward starts at the bottom")
        << text << 1 << 1 << "club" << true << false << true << true << "club" << 2 << 7;
    // Capital and small letters.
    QTest::newRow("small letters find capitals")
        << text << 2 << 1 << "spade" << false << false << false << true << "SPADE" << 3 << 6;
    QTest::newRow("match case skips other spellings")
        << text << 1 << 1 << "Spade" << false << true << false << true << "Spade" << 1 << 17;
    QTest::newRow("match case, no such spelling")
        << text << 1 << 1 << "sPADE" << false << true << true << false << "" << 1 << 1;
    // A match lies within one line.
    QTest::newRow("text across two lines")
        << text << 1 << 1 << "Spade\nheart" << false << false << true << false << "" << 1 << 1;
    QTest::newRow("text across two lines, backward")
        << text << 1 << 1 << "club\nSPADE" << true << false << true << false << "" << 1 << 1;
    QTest::newRow("empty text counts as found")
        << text << 2 << 3 << "" << false << false << false << true << "" << 2 << 3;
    QTest::newRow("search text cut at 255 characters")
        << QString(255, QLatin1Char('x')) + QStringLiteral("y") << 1 << 1
        << QString(255, QLatin1Char('x')) + QStringLiteral("zzz") << false << false << false << true
        << QString(255, QLatin1Char('x')) << 1 << 256;
}

void NotesEditorTest::search() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, find);
    QFETCH(bool, backward);
    QFETCH(bool, matchCase);
    QFETCH(bool, global);
    QFETCH(bool, found);
    QFETCH(QString, selected);
    QFETCH(int, lineAfter);
    QFETCH(int, columnAfter);

    editor_->setPlainText(text);
    editor_->setCaret(line, column);
    QCOMPARE(editor_->search(find, options(backward, matchCase, global)), found);
    QCOMPARE(editor_->textCursor().selectedText(), selected);
    QCOMPARE(editor_->caretLine(), lineAfter);
    QCOMPARE(editor_->caretColumn(), columnAfter);
    QCOMPARE(editor_->toPlainText(), text);
}

void NotesEditorTest::searchAgainStopsAfterLastMatch() {
    editor_->setPlainText(QStringLiteral("Open 1NT.\nAfter 1NT, Stayman."));
    editor_->setCaret(1, 1);
    const SearchOptions forward;
    QVERIFY(editor_->search(QStringLiteral("1nt"), forward));
    QCOMPARE(editor_->textCursor().selectionStart(), 5);
    QVERIFY(editor_->search(QStringLiteral("1nt"), forward));
    QCOMPARE(editor_->textCursor().selectionStart(), 16);
    QVERIFY(!editor_->search(QStringLiteral("1nt"), forward));
    QCOMPARE(editor_->textCursor().selectionStart(), 16);
    QCOMPARE(editor_->textCursor().selectedText(), QStringLiteral("1NT"));

    // Turning back, the caret is at the end of the selected match, which
    // begins before it: that match comes first, then the one before.
    const SearchOptions back = options(true, false, false);
    QVERIFY(editor_->search(QStringLiteral("1nt"), back));
    QCOMPARE(editor_->textCursor().selectionStart(), 16);
    QCOMPARE(editor_->caretColumn(), 7);
    QVERIFY(editor_->search(QStringLiteral("1nt"), back));
    QCOMPARE(editor_->textCursor().selectionStart(), 5);
    QVERIFY(!editor_->search(QStringLiteral("1nt"), back));
    QCOMPARE(editor_->textCursor().selectionStart(), 5);
}

void NotesEditorTest::replaceAll_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");
    // The caret after it: where a search in the same direction goes on.
    QTest::addColumn<int>("lineAfter");
    QTest::addColumn<int>("columnAfter");

    const QString text = QStringLiteral("a cat\nCat, cat.\nno pets\nthe CAT");
    QTest::newRow("forward from the start, any case")
        << text << 1 << 1 << "cat"
        << "dog" << false << false << false << 4 << "a dog\ndog, dog.\nno pets\nthe dog" << 4 << 8;
    QTest::newRow("forward from the caret only")
        << text << 2 << 2 << "cat"
        << "dog" << false << false << false << 2 << "a cat\nCat, dog.\nno pets\nthe dog" << 4 << 8;
    QTest::newRow("global forward ignores the caret")
        << text << 4 << 8 << "cat"
        << "dog" << false << false << true << 4 << "a dog\ndog, dog.\nno pets\nthe dog" << 4 << 8;
    QTest::newRow("backward: those before the caret")
        << text << 2 << 6 << "cat"
        << "dog" << true << false << false << 2 << "a dog\ndog, cat.\nno pets\nthe CAT" << 1 << 3;
    QTest::newRow("global backward: all")
        << text << 1 << 1 << "cat"
        << "dog" << true << false << true << 4 << "a dog\ndog, dog.\nno pets\nthe dog" << 1 << 3;
    QTest::newRow("match case") << text << 1 << 1 << "cat"
                                << "dog" << false << true << false << 2
                                << "a dog\nCat, dog.\nno pets\nthe CAT" << 2 << 9;
    QTest::newRow("no match") << text << 1 << 1 << "cow"
                              << "dog" << false << false << true << -1 << text << 1 << 1;
    QTest::newRow("no match after the caret")
        << text << 4 << 8 << "cat"
        << "dog" << false << false << false << -1 << text << 4 << 8;
    QTest::newRow("empty search text") << text << 1 << 1 << ""
                                       << "dog" << false << false << true << 0 << text << 1 << 1;
    QTest::newRow("replacement holding the search text")
        << text << 1 << 1 << "cat"
        << "cats" << false << true << true << 2 << "a cats\nCat, cats.\nno pets\nthe CAT" << 2
        << 10;
    QTest::newRow("empty replacement")
        << text << 1 << 1 << "cat"
        << "" << false << false << true << 4 << "a \n, .\nno pets\nthe " << 4 << 5;
    QTest::newRow("overlaps forward, from the left")
        << QStringLiteral("aaa") << 1 << 1 << "aa"
        << "X" << false << false << true << 1 << "Xa" << 1 << 2;
    QTest::newRow("overlaps backward, from the right")
        << QStringLiteral("aaa") << 1 << 1 << "aa"
        << "X" << true << false << true << 1 << "aX" << 1 << 2;
    QTest::newRow("never across lines")
        << QStringLiteral("cat\ncat") << 1 << 1 << "t\nc"
        << "-" << false << false << true << -1 << "cat\ncat" << 1 << 1;
    QTest::newRow("replacement with a line break")
        << QStringLiteral("x;y;z") << 1 << 1 << ";"
        << "\n"
        << false << false << true << 2 << "x\ny\nz" << 3 << 1;
}

void NotesEditorTest::replaceAll() {
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, backward);
    QFETCH(bool, matchCase);
    QFETCH(bool, global);
    QFETCH(int, count);
    QFETCH(QString, result);
    QFETCH(int, lineAfter);
    QFETCH(int, columnAfter);

    editor_->setPlainText(text);
    editor_->document()->setModified(false);
    editor_->setCaret(line, column);
    QCOMPARE(editor_->replaceAll(find, replacement, options(backward, matchCase, global)), count);
    QCOMPARE(editor_->toPlainText(), result);
    QCOMPARE(editor_->isModified(), count > 0);
    QCOMPARE(editor_->caretLine(), lineAfter);
    QCOMPARE(editor_->caretColumn(), columnAfter);
}

void NotesEditorTest::replaceAllIsOneUndoStep() {
    QString text;
    for (int i = 0; i < 300; ++i) text += QStringLiteral("line %1 with a club and a CLUB\n").arg(i);
    editor_->setPlainText(text);
    QVERIFY(!editor_->document()->isUndoAvailable());

    QCOMPARE(editor_->replaceAll(QStringLiteral("club"), QStringLiteral("spade"),
                                 options(false, false, true)),
             600);
    QCOMPARE(editor_->toPlainText(),
             QString(text).replace(QStringLiteral("club"), QStringLiteral("spade"),
                                   Qt::CaseInsensitive));
    QCOMPARE(editor_->lineCount(), 301);
    // The caret is after the last replacement, where searching on goes on.
    QCOMPARE(editor_->caretLine(), 300);
    QCOMPARE(editor_->caretColumn(),
             QStringLiteral("line 299 with a spade and a spade").size() + 1);

    editor_->undo();
    QCOMPARE(editor_->toPlainText(), text);
    QVERIFY(!editor_->document()->isUndoAvailable());
    editor_->redo();
    QCOMPARE(editor_->toPlainText().count(QStringLiteral("spade")), 600);
}

void NotesEditorTest::insertReplacesSelection() {
    editor_->setPlainText(QStringLiteral("one two three"));
    QVERIFY(editor_->search(QStringLiteral("two"), options(false, false, true)));
    editor_->insertAtCaret(QStringLiteral("2"));
    QCOMPARE(editor_->toPlainText(), QStringLiteral("one 2 three"));
    QVERIFY(!editor_->textCursor().hasSelection());
    QCOMPARE(editor_->caretColumn(), 6);
    QVERIFY(editor_->isModified());
}

void NotesEditorTest::caretLineAndColumn_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("lineAfter");
    QTest::addColumn<int>("columnAfter");
    QTest::addColumn<QString>("afterInsert");

    // Text "abcdef\n\nxy"; "|" is inserted at the caret.
    QTest::newRow("line 1, column 1 is the start") << 1 << 1 << 1 << 1 << "|abcdef\n\nxy";
    QTest::newRow("inside a line") << 1 << 3 << 1 << 3 << "ab|cdef\n\nxy";
    QTest::newRow("end of a line") << 1 << 7 << 1 << 7 << "abcdef|\n\nxy";
    QTest::newRow("past the end of a line") << 1 << 80 << 1 << 7 << "abcdef|\n\nxy";
    QTest::newRow("empty line") << 2 << 5 << 2 << 1 << "abcdef\n|\nxy";
    QTest::newRow("last line") << 3 << 2 << 3 << 2 << "abcdef\n\nx|y";
    QTest::newRow("past the last line") << 9 << 80 << 3 << 3 << "abcdef\n\nxy|";
    QTest::newRow("below the first") << 0 << 0 << 1 << 1 << "|abcdef\n\nxy";
}

void NotesEditorTest::caretLineAndColumn() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, lineAfter);
    QFETCH(int, columnAfter);
    QFETCH(QString, afterInsert);

    editor_->setPlainText(QStringLiteral("abcdef\n\nxy"));
    QCOMPARE(editor_->lineCount(), 3);
    editor_->setCaret(line, column);
    QCOMPARE(editor_->caretLine(), lineAfter);
    QCOMPARE(editor_->caretColumn(), columnAfter);
    editor_->insertAtCaret(QStringLiteral("|"));
    QCOMPARE(editor_->toPlainText(), afterInsert);
    QCOMPARE(editor_->caretColumn(), columnAfter + 1);
}

void NotesEditorTest::lineBreaksAreAlwaysNewLines() {
    // Shift+Enter and pasted separators would otherwise make soft breaks,
    // which the notes file cannot hold.
    editor_->setFocus();
    QTest::keyClicks(editor_, QStringLiteral("a"));
    QTest::keyClick(editor_, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor_, QStringLiteral("b"));
    QCOMPARE(editor_->lineCount(), 2);

    QGuiApplication::clipboard()->setText(QStringLiteral("c\u2028d\u2029e"));
    editor_->paste();
    QCOMPARE(editor_->lineCount(), 4);
    editor_->insertAtCaret(QStringLiteral("\r\nf\ng"));
    QCOMPARE(editor_->lineCount(), 6);
    QCOMPARE(editor_->toPlainText(), QStringLiteral("a\nbc\nd\ne\nf\ng"));
    QCOMPARE(editor_->caretLine(), 6);
}

void NotesEditorTest::enteredTextIsWhatTheFileHolds_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("replaced");  // as "character=replacement ..."
    QTest::newRow("suits pasted") << "paste" << QStringLiteral("1\u2663 2\u2666\n3\u2665 4\u2660")
                                  << QStringLiteral("1} 2{\n3] 4[") << QString();
    QTest::newRow("suits and others pasted")
        << "paste" << QStringLiteral("\u2667\u0416\u2212\u0416") << QStringLiteral("}?-?")
        << QStringLiteral("\u0416=? \u2212=-");
    QTest::newRow("a suit typed") << "typed" << QStringLiteral("\u2665") << QStringLiteral("]")
                                  << QString();
    QTest::newRow("a letter the file lacks typed")
        << "typed" << QStringLiteral("\u03a9") << QStringLiteral("?") << QStringLiteral("\u03a9=?");
    QTest::newRow("an input method's text") << "input method" << QStringLiteral("\u2666\u4e2d")
                                            << QStringLiteral("{?") << QStringLiteral("\u4e2d=?");
    QTest::newRow("a prompt or replacement put in")
        << "insert" << QStringLiteral("\u2660 \U0001F600") << QStringLiteral("[ ?")
        << QStringLiteral("\U0001F600=?");
}

void NotesEditorTest::enteredTextIsWhatTheFileHolds() {
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, replaced);
    editor_->setSuitText(SuitText(zqw::SuitChars{}, true));
    QSignalSpy said(editor_, &NotesTextEditor::charactersReplaced);
    editor_->setFocus();
    if (way == QLatin1String("paste")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(editor_, Qt::Key_V, Qt::ControlModifier);
    } else if (way == QLatin1String("typed")) {
        QTest::sendKeyEvent(QTest::Click, editor_, Qt::Key_unknown, text, Qt::NoModifier);
    } else if (way == QLatin1String("input method")) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(editor_, &event);
    } else {
        editor_->insertAtCaret(text);
    }
    QCOMPARE(editor_->toPlainText(), shown);
    QStringList pairs;
    for (const QList<QVariant>& signal : said) {
        for (const auto& each : signal.at(0).value<std::vector<zqw::ReplacedCharacter>>()) {
            pairs << QString::fromUcs4(&each.character, 1) + QLatin1Char('=') +
                         QLatin1Char(each.replacement);
        }
    }
    QCOMPARE(pairs.join(QLatin1Char(' ')), replaced);
    // What shows is what is saved: nothing is left for the save to change.
    QVERIFY(editor_->unstorableCharacters(5).isEmpty());
}

void NotesEditorTest::keyReleaseIsReported() {
    QSignalSpy spy(editor_, &NotesTextEditor::keyReleased);
    QTest::keyClick(editor_, Qt::Key_F5);
    QTest::keyClick(editor_, Qt::Key_Escape);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F6, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(editor_, &repeated);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), int(Qt::Key_F5));
    QCOMPARE(spy.at(1).at(0).toInt(), int(Qt::Key_Escape));
}

void NotesEditorTest::inputCanBeDisabled() {
    editor_->setInputEnabled(false);
    QVERIFY(!editor_->isInputEnabled());
    QTest::keyClicks(editor_, QStringLiteral("abc"));
    QCOMPARE(editor_->toPlainText(), QString());

    editor_->setInputEnabled(true);
    QVERIFY(editor_->isInputEnabled());
    editor_->setFocus();
    QTest::keyClicks(editor_, QStringLiteral("abc"));
    QCOMPARE(editor_->toPlainText(), QStringLiteral("abc"));
}

void NotesEditorTest::wrapColumnOnlyChangesTheView() {
    editor_->setFixedFont(QFont(QStringLiteral("Liberation Mono"), 10));
    const QString text = QString(50, QLatin1Char('x')) + QStringLiteral("\nshort");
    editor_->setPlainText(text);
    QVERIFY(editor_->visibleColumns() > 50);
    QTRY_COMPARE(shownLines(*editor_, 1), 1);

    editor_->setWrapColumn(20);
    QCOMPARE(editor_->wrapColumn(), 20);
    QTRY_COMPARE(shownLines(*editor_, 1), 3);
    const QTextLayout* layout = editor_->document()->firstBlock().layout();
    QCOMPARE(layout->lineAt(0).textLength(), 20);
    QCOMPARE(layout->lineAt(1).textLength(), 20);
    QCOMPARE(editor_->toPlainText(), text);
    QCOMPARE(editor_->lineCount(), 2);
    // The widget's own room is not changed by the wrap column.
    QVERIFY(editor_->visibleColumns() > 50);

    // Narrower than the wrap column: the widget's width rules.
    editor_->setWrapColumn(40);
    const int wide = editor_->visibleColumns();
    resizeWindow(window_->width() / 3, window_->height());
    QTRY_VERIFY(editor_->visibleColumns() < 40);
    QVERIFY(editor_->visibleColumns() < wide);
    QTRY_COMPARE(editor_->document()->firstBlock().layout()->lineAt(0).textLength(),
                 editor_->visibleColumns());

    editor_->setWrapColumn(0);
    resizeWindow(640, 400);
    QTRY_COMPARE(shownLines(*editor_, 1), 1);
}

void NotesEditorTest::findNoteHeading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("note");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");

    QTest::newRow("own heading") << "intro\nNote:..5: five\nNote:..7: seven" << 7 << true << 3 << 9;
    QTest::newRow("note 1 at note 12's heading")
        << "Note:..12: twelve\nNote:..1: one" << 1 << true << 1 << 9;
    QTest::newRow("typed in small letters") << "text\nnote:..7: by hand" << 7 << true << 2 << 9;
    QTest::newRow("anywhere in a line") << "see Note:..999: Brown" << 999 << true << 1 << 15;
    QTest::newRow("first of two") << "Note:..3:\nNote:..3:" << 3 << true << 1 << 9;
    QTest::newRow("missing") << "Note:..5: five\nNote:.. 6:" << 6 << false << 1 << 1;
    QTest::newRow("empty notes") << "" << 1 << false << 1 << 1;
}

void NotesEditorTest::findNoteHeading() {
    QFETCH(QString, text);
    QFETCH(int, note);
    QFETCH(bool, found);
    QFETCH(int, line);
    QFETCH(int, column);

    editor_->setPlainText(text);
    editor_->moveCursor(QTextCursor::End);
    if (!found) editor_->setCaret(1, 1);
    QCOMPARE(NoteTabs::findNoteHeading(*editor_, note), found);
    QCOMPARE(editor_->caretLine(), line);
    QCOMPARE(editor_->caretColumn(), column);
    if (found) {
        QCOMPARE(editor_->textCursor().selectedText().toLower(),
                 QStringLiteral("note:..") + QString::number(note));
    }
}

void NotesEditorTest::findOrAppendAppendsOnceThenFinds() {
    editor_->setPlainText(QStringLiteral("Stayman\nNote:..1: one"));
    editor_->document()->setModified(false);

    QVERIFY(!NoteTabs::findOrAppendNoteHeading(*editor_, 12));
    QCOMPARE(editor_->toPlainText(), QStringLiteral("Stayman\nNote:..1: one\nNote:..12:"));
    QCOMPARE(editor_->caretLine(), 3);
    QCOMPARE(editor_->caretColumn(), 11);
    QVERIFY(editor_->isModified());

    editor_->setCaret(1, 1);
    QVERIFY(NoteTabs::findOrAppendNoteHeading(*editor_, 12));
    QCOMPARE(editor_->lineCount(), 3);
    QCOMPARE(editor_->caretLine(), 3);
    QCOMPARE(editor_->caretColumn(), 10);

    // Saved, the heading is a line of its own.
    QVERIFY(editor_->saveFile(local(path(QStringLiteral("n.txt")))));
    QCOMPARE(readBytes(path(QStringLiteral("n.txt"))),
             QByteArray("Stayman\r\nNote:..1: one\r\nNote:..12:\r\n"));
}

void NotesEditorTest::eleventhNoteReplacesFirstTab() {
    NoteTabs tabs;
    for (int n = 101; n <= 110; ++n) {
        tabs.addNoteTab(n);
        QCOMPARE(tabs.activeTab(), n - 101);
    }
    QCOMPARE(tabs.count(), 10);
    tabs.addNoteTab(111);
    QCOMPARE(tabs.count(), 10);
    QCOMPARE(tabs.activeTab(), 0);
    QCOMPARE(tabs.tab(0).noteNumber, 111);
    QCOMPARE(tabs.indexOfNote(101), -1);
    QCOMPARE(tabs.indexOfNote(105), 4);
    tabs.addNoteTab(112);
    QCOMPARE(tabs.activeTab(), 0);
    QCOMPARE(tabs.tab(0).noteNumber, 112);

    QStringList expected{QStringLiteral("112")};
    for (int n = 102; n <= 110; ++n) expected << QString::number(n);
    QCOMPARE(tabs.buildCaptions(*editor_, true), expected);

    tabs.clear();
    QCOMPARE(tabs.count(), 0);
    QCOMPARE(tabs.indexOfNote(112), -1);
}

void NotesEditorTest::buildNoteTabs_data() {
    QTest::addColumn<QList<int>>("notes");
    QTest::addColumn<bool>("optionOn");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("three tabs") << QList<int>{12, 5, 999} << true
                                << QStringList{QStringLiteral("12"), QStringLiteral("5"),
                                               QStringLiteral("999")};
    QTest::newRow("option off") << QList<int>{12, 5, 999} << false << QStringList{QString()};
    QTest::newRow("no tabs") << QList<int>{} << true << QStringList{QString()};
    QTest::newRow("one tab") << QList<int>{7} << true << QStringList{QStringLiteral("7")};
}

void NotesEditorTest::buildNoteTabs() {
    QFETCH(QList<int>, notes);
    QFETCH(bool, optionOn);
    QFETCH(QStringList, captions);

    NoteTabs tabs;
    for (int n : notes) tabs.addNoteTab(n);
    QCOMPARE(tabs.buildCaptions(*editor_, optionOn), captions);
}

void NotesEditorTest::buildSelectsActiveTabAndFocusesEditor() {
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    editor_->setPlainText(QStringLiteral("intro\nNote:..12: twelve\nNote:..5: five"));
    NoteTabs tabs;
    for (int n : {12, 5}) {
        tabs.addNoteTab(n);
        QVERIFY(NoteTabs::findOrAppendNoteHeading(*editor_, n));
        tabs.storeCaret(*editor_);
    }
    QCOMPARE(tabs.tab(0).line, 2);
    QCOMPARE(tabs.tab(1).line, 3);
    QCOMPARE(tabs.tab(1).column, 9);

    tabs.setActiveTab(0);
    editor_->setCaret(1, 1);
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    tabs.buildCaptions(*editor_, true);
    QCOMPARE(editor_->caretLine(), 2);
    QCOMPARE(editor_->caretColumn(), 10);
    QVERIFY(editor_->hasFocus());

    tabs.selectTab(*editor_, 1, true);
    QCOMPARE(tabs.activeTab(), 1);
    QCOMPARE(editor_->caretLine(), 3);

    // With the option off the caret stays, yet the editor takes the focus.
    editor_->setCaret(1, 3);
    editor_->clearFocus();
    tabs.selectTab(*editor_, 0, false);
    QCOMPARE(tabs.activeTab(), 1);
    QCOMPARE(editor_->caretLine(), 1);
    QCOMPARE(editor_->caretColumn(), 3);
    QVERIFY(editor_->hasFocus());
}

void NotesEditorTest::refindFollowsHeadingsAfterNarrowing() {
    editor_->setFixedFont(QFont(QStringLiteral("Liberation Mono"), 10));
    editor_->setWrapColumn(editor_->visibleColumns() - 1);
    const QString words = QStringLiteral("The opening bid shows a balanced hand. ").repeated(6);
    editor_->setPlainText(words + QStringLiteral("\nNote:..7: seven\n") + words +
                          QStringLiteral("\nNote:..12: twelve\nNote:..3: three"));
    NoteTabs tabs;
    for (int n : {7, 12, 3}) {
        tabs.addNoteTab(n);
        QVERIFY(NoteTabs::findOrAppendNoteHeading(*editor_, n));
        tabs.storeCaret(*editor_);
    }
    QCOMPARE(tabs.tab(1).line, 4);
    const int wideLines = shownLines(*editor_, 1);

    // The notes change above the headings and note 3's heading is removed...
    editor_->setCaret(1, 1);
    editor_->insertAtCaret(QStringLiteral("added\nlines\n"));
    QVERIFY(NoteTabs::findNoteHeading(*editor_, 3));
    editor_->insertAtCaret(QStringLiteral("Old 3"));
    // ...and the window gets narrower, so the long lines wrap more often.
    const int wideColumns = editor_->visibleColumns();
    resizeWindow(window_->width() / 2, window_->height());
    QTRY_VERIFY(editor_->visibleColumns() < wideColumns * 2 / 3);
    editor_->setWrapColumn(editor_->visibleColumns() - 1);
    QTRY_VERIFY(shownLines(*editor_, 3) > wideLines);

    tabs.refindTabs(*editor_);
    const QString text = editor_->toPlainText();
    QCOMPARE(tabs.tab(0).line, lineHolding(text, QStringLiteral("Note:..7:")));
    QCOMPARE(tabs.tab(0).line, 4);
    QCOMPARE(tabs.tab(1).line, lineHolding(text, QStringLiteral("Note:..12:")));
    QCOMPARE(tabs.tab(1).column, 10);
    QCOMPARE(tabs.tab(2).line, 1);
    QCOMPARE(tabs.tab(2).column, 1);

    tabs.selectTab(*editor_, 1, true);
    QVERIFY(editor_->textCursor().block().text().startsWith(QStringLiteral("Note:..12:")));
    QCOMPARE(editor_->textCursor().positionInBlock(), 9);
    tabs.selectTab(*editor_, 2, true);
    QCOMPARE(editor_->textCursor().position(), 0);
}

ZQW_GUI_TEST(NotesEditorTest)
#include "noteseditor_test.moc"
