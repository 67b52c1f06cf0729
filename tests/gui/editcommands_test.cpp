// The Edit menu on the real window: the line commands through their
// shortcuts, what the menu shows and enables on each page, the clipboard on
// a cell and in the notes, and the notes' undo and redo.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QTest>

#include "app/editorapp.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"

namespace {

// Group "Lines": section "Single" (one column, lines 1-3) and section "Both"
// (three columns with the label column, lines 4-6, and grid 2, lines 7-8);
// groups "Second" (lines 9-10) and "Third" (line 11), so that "Lines" is not
// the opening bids group; then the notes group.
const QByteArray kTemplate =
    "FLines\r\nPSingle\r\nC199\r\nL03\r\nPBoth\r\nC3204040\r\nHBid|Meaning|Notes|\r\n"
    "O1C\r\nO1D\r\nO1H\r\nA3070\r\nOX\r\nOY\r\nGSecond\r\nPOther\r\nC195\r\nL02\r\n"
    "GThird\r\nPMore\r\nC195\r\nL01\r\n";
constexpr int kTemplateLines = 11;
constexpr int kBothTab = 1;

// One row of a card file: its text (card bytes) and note number.
struct Row {
    Row(const QByteArray& text, int note = 0) : text(text), note(note) {}
    QByteArray text;
    int note = 0;
};
using CardLines = QList<QList<Row>>;

// Every template line with one empty row.
CardLines emptyLines() { return CardLines(kTemplateLines, QList<Row>{Row("")}); }

// A card file as the editor writes them: rows of every template line in
// template order; an empty list is a hidden line.
QByteArray cardBytes(const CardLines& lines) {
    QByteArray out = "ZQW1.0\r\n$992040409595\r\n";
    for (const QList<Row>& rows : lines) {
        if (rows.isEmpty()) {
            out += "0#\r\n";
            continue;
        }
        for (const Row& row : rows) {
            out += QByteArray::number(rows.size()) + '#' +
                   (row.note ? QByteArray::number(row.note) : QByteArray()) + '}' + row.text +
                   "\r\n";
        }
    }
    return out;
}

// "a1|a2" -> the rows a1 and a2 of one line.
QList<Row> rowsOf(const QString& joined) {
    QList<Row> rows;
    for (const QString& text : joined.split(QLatin1Char('|'))) rows.append(Row(text.toLatin1()));
    return rows;
}

// Card texts here are plain Latin-1.
QStringList strings(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list << QString::fromLatin1(text);
    return list;
}

// What a grid shows in one column, top to bottom.
QStringList shownColumn(EditorApp& app, int grid, int column) {
    QStringList texts;
    for (int row = 1; row <= app.sectionView().grid(grid).gridModel().rowCount(); ++row)
        texts << cellText(app, grid, row, column);
    return texts;
}

void press(QKeyCombination key) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

constexpr QKeyCombination kInsertBefore = Qt::ControlModifier | Qt::Key_B;
constexpr QKeyCombination kDelete = Qt::ControlModifier | Qt::Key_D;
constexpr QKeyCombination kInsertAfter = Qt::ControlModifier | Qt::Key_I;
constexpr QKeyCombination kReplicate = Qt::ControlModifier | Qt::Key_W;
constexpr QKeyCombination kCopy = Qt::ControlModifier | Qt::Key_Insert;
constexpr QKeyCombination kPaste = Qt::ShiftModifier | Qt::Key_Insert;
constexpr QKeyCombination kCut = Qt::ShiftModifier | Qt::Key_Delete;
constexpr QKeyCombination kUndo = Qt::ControlModifier | Qt::Key_Z;
constexpr QKeyCombination kRedo = Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z;

QKeyCombination commandKey(const QString& command) {
    if (command == QLatin1String("before")) return kInsertBefore;
    if (command == QLatin1String("delete")) return kDelete;
    if (command == QLatin1String("after")) return kInsertAfter;
    return kReplicate;
}

}  // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lineCommandsOnOneColumn_data();
    void lineCommandsOnOneColumn();
    void hiddenLineComesBackWithItsTextAndNote();
    void deleteDownToTheLastRowIsRefused();
    void insertAfterSplitsAtTheColumnWidth_data();
    void insertAfterSplitsAtTheColumnWidth();
    void insertAfterFillsAHiddenNextLine();
    void insertAfterAtTheEndOfGrid1LeavesGrid2Alone();
    void replicateDownInGrid2_data();
    void replicateDownInGrid2();
    void lineCommandAfterATabChangeUsesTheFocusedGrid();
    void lineCommandsOnTheNotesPageChangeNothing_data();
    void lineCommandsOnTheNotesPageChangeNothing();
    void editMenuStates_data();
    void editMenuStates();
    void clipboardOnACell();
    void clipboardInTheNotes();
    void undoAndRedoInTheNotes();

private:
    // Starts the editor on a card file holding these lines.
    EditorApp& start(const CardLines& lines);
    // Lines of the "Single" section, each "row|row...", the rest empty.
    EditorApp& startWithSingle(const QStringList& single);

    ScriptedDialogs& dialogs() { return session_->dialogs(); }

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<EditorSession> session_;
    int previewRefreshes_ = 0;
};

void EditCommandsTest::init() {
    folder_ = std::make_unique<ProgramFolder>(kTemplate);
    session_ = std::make_unique<EditorSession>(folder_->path());
    QVERIFY(folder_->isValid());
    previewRefreshes_ = 0;
}

void EditCommandsTest::cleanup() {
    session_->verifyDialogs();
    session_.reset();
    folder_.reset();
}

EditorApp& EditCommandsTest::start(const CardLines& lines) {
    const QString cardPath = folder_->filePath(QStringLiteral("card.ccf"));
    if (!tryWriteBytes(cardPath, cardBytes(lines))) qFatal("cannot write the card file");
    if (!session_->settings().writeIni("[setup]\r\nfile=" + cardPath.toLocal8Bit() +
                                       "\r\nhintstart=0\r\nwidth=700\r\nheight=500\r\n")) {
        qFatal("cannot write the settings file");
    }

    EditorApp& app = session_->create();
    // The card print window refreshes an open preview on this signal.
    QObject::connect(&app.lineCommands(), &LineCommands::refreshPreview, &app.lineCommands(),
                     [this] { ++previewRefreshes_; });
    showActive(app);
    return app;
}

EditorApp& EditCommandsTest::startWithSingle(const QStringList& single) {
    CardLines lines = emptyLines();
    for (int i = 0; i < single.size(); ++i) lines[i] = rowsOf(single[i]);
    return start(lines);
}

// --- line commands ----------------------------------------------------------------

void EditCommandsTest::lineCommandsOnOneColumn_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("activeRow");
    QTest::addColumn<QString>("message");

    const QStringList twoOneOne = strings({"a1|a2", "b1", "c1"});
    const QStringList oneEach = strings({"a1", "b1", "c1"});
    const QString none;
    QTest::newRow("before the first row")
        << "before" << twoOneOne << 1 << strings({"a1", "a2", "b1", "c1"}) << 1
        << "Cannot insert a line before the first line of the section";
    QTest::newRow("before a line's second row")
        << "before" << twoOneOne << 2 << strings({"a1", "", "a2", "b1", "c1"}) << 2 << none;
    QTest::newRow("before a line's first row")
        << "before" << twoOneOne << 3 << strings({"a1", "a2", "", "b1", "c1"}) << 3 << none;
    QTest::newRow("delete the first of three rows")
        << "delete" << strings({"a1", "b1", "c1|c2|c3"}) << 3 << strings({"a1", "b1", "c2", "c3"})
        << 3 << none;
    QTest::newRow("delete a line's only row")
        << "delete" << oneEach << 2 << strings({"a1", "c1"}) << 2 << none;
    QTest::newRow("delete the bottom row")
        << "delete" << oneEach << 3 << strings({"a1", "b1"}) << 2 << none;
    QTest::newRow("after a fitting text")
        << "after" << oneEach << 2 << strings({"a1", "b1", "", "c1"}) << 3 << none;
    QTest::newRow("replicate down across lines")
        << "replicate" << strings({"r1|r2|3\x05", "r4|r5", "r6"}) << 3
        << strings({"r1", "r2", "3}", "3}", "3}", "3}"}) << 3 << none;
    QTest::newRow("replicate down from the bottom row")
        << "replicate" << oneEach << 3 << strings({"a1", "b1", "c1"}) << 3 << none;
}

void EditCommandsTest::lineCommandsOnOneColumn() {
    QFETCH(QString, command);
    QFETCH(QStringList, lines);
    QFETCH(int, row);
    QFETCH(QStringList, shown);
    QFETCH(int, activeRow);
    QFETCH(QString, message);
    EditorApp& app = startWithSingle(lines);
    QVERIFY(editCell(app, 1, row, 0));
    if (!message.isEmpty()) dialogs().expectMessage(message);

    press(commandKey(command));

    QCOMPARE(shownColumn(app, 1, 0), shown);
    QCOMPARE(app.document().card().sections[0].rowCount, shown.size());
    QCOMPARE(app.sectionView().grid(1).activeRow(), activeRow);
    QVERIFY(app.sectionView().grid(1).isEditing());
    QCOMPARE(app.sectionView().grid(1).editor()->text(), shown[activeRow - 1]);
    QCOMPARE(app.document().card().isModified, message.isEmpty());
    // A refused command leaves an open preview alone; the others refresh it
    // once, after the command.
    QCOMPARE(previewRefreshes_, message.isEmpty() ? 1 : 0);
}

void EditCommandsTest::hiddenLineComesBackWithItsTextAndNote() {
    CardLines lines = emptyLines();
    lines[0] = {Row("a1")};
    lines[1] = {Row("b1", 14)};
    lines[2] = {Row("c1")};
    EditorApp& app = start(lines);

    editCell(app, 1, 2, 0);
    press(kDelete);
    QCOMPARE(shownColumn(app, 1, 0), (strings({"a1", "c1"})));
    QCOMPARE(app.document().card().lines[2].rowCount, 0);

    // Row 2 is now c1, the first row of the line below the hidden one.
    QCOMPARE(app.sectionView().grid(1).activeRow(), 2);
    press(kInsertBefore);
    QCOMPARE(shownColumn(app, 1, 0), (strings({"a1", "b1", "c1"})));
    QCOMPARE(app.sectionView().grid(1).editor()->text(), QStringLiteral("b1"));
    CardGrid& grid = app.sectionView().grid(1);
    QTest::mouseMove(grid.viewport(), grid.visualRect(grid.gridModel().index(1, 0)).center());
    QCOMPARE(grid.toolTip(), QStringLiteral("14"));
}

void EditCommandsTest::deleteDownToTheLastRowIsRefused() {
    CardLines lines = emptyLines();
    lines[6] = {Row("x1")};
    lines[7] = {Row("y1")};
    EditorApp& app = start(lines);
    app.sectionView().selectSection(kBothTab);
    QVERIFY(editCell(app, 2, 2, 1));
    QTRY_COMPARE(app.sectionView().activeGrid(), 2);

    press(kDelete);
    QCOMPARE(shownColumn(app, 2, 1), strings({"x1"}));
    QCOMPARE(shownColumn(app, 2, 0), strings({"X"}));
    QCOMPARE(app.sectionView().grid(2).activeRow(), 1);
    app.document().card().isModified = false;

    dialogs().expectMessage(QStringLiteral("Each section must have one line"));
    press(kDelete);
    QCOMPARE(shownColumn(app, 2, 1), strings({"x1"}));
    QCOMPARE(app.document().card().sections[kBothTab].rowCount2, 1);
    QVERIFY(!app.document().card().isModified);
    QVERIFY(app.sectionView().grid(2).isEditing());
    // Grid 1 of the section never took part.
    QCOMPARE(app.sectionView().grid(1).gridModel().rowCount(), 3);
}

void EditCommandsTest::insertAfterSplitsAtTheColumnWidth_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("text that fits") << "fits";
    QTest::newRow("three words, two fit") << "two of three";
    // Narrower than the column, wider than the text room of its editor: it
    // would show cut off if it were kept whole.
    QTest::newRow("third word fills the margins") << "into the margins";
    QTest::newRow("one over-wide word") << "over-wide";
}

void EditCommandsTest::insertAfterSplitsAtTheColumnWidth() {
    QFETCH(QString, kind);
    EditorApp& app =
        startWithSingle({QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("c1")});
    CardGrid& grid = app.sectionView().grid(1);
    const int columnWidth = grid.columnWidth(0);
    const QFontMetrics metrics(grid.font());
    QVERIFY(columnWidth > 20);

    // Texts made to measure for this column in this font.
    QString wide;
    while (metrics.horizontalAdvance(QStringLiteral("ab cd ") + wide) <= columnWidth)
        wide += QLatin1Char('m');
    QString text;
    QString head;
    QString rest;
    if (kind == QLatin1String("fits")) {
        text = head = QStringLiteral("ab cd");
    } else if (kind == QLatin1String("two of three")) {
        text = QStringLiteral("ab cd ") + wide;
        head = QStringLiteral("ab cd ");
        rest = wide;
    } else if (kind == QLatin1String("into the margins")) {
        rest = QStringLiteral("i");
        while (metrics.horizontalAdvance(QStringLiteral("ab cd ") + rest + QLatin1Char('i')) <=
               columnWidth)
            rest += QLatin1Char('i');
        text = QStringLiteral("ab cd ") + rest;
        head = QStringLiteral("ab cd ");
    } else {
        text = head = QStringLiteral("ab") + wide;
    }
    QVERIFY(text.size() < 255);

    // Typed, not stored yet: the command stores the edit first.
    QLineEdit* editor = editCell(app, 1, 2, 0);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    press(kInsertAfter);

    QCOMPARE(shownColumn(app, 1, 0),
             (QStringList{QStringLiteral("a1"), head, rest, QStringLiteral("c1")}));
    QCOMPARE(grid.activeRow(), 3);
    QCOMPARE(grid.editor()->text(), rest);
    QVERIFY(grid.editor()->hasFocus());
    QCOMPARE(grid.columnWidth(0), columnWidth);
    QCOMPARE(app.document().card().lines[2].rowCount, 2);
    // What stayed in the row shows whole in its cell: with the caret at the
    // end, the editor has not scrolled its start out of sight.
    if (kind != QLatin1String("over-wide")) {
        QLineEdit* kept = editCell(app, 1, 2, 0);
        kept->end(false);
        QCOMPARE(kept->cursorPositionAt(QPoint(3, kept->height() / 2)), 0);
    }
}

void EditCommandsTest::insertAfterFillsAHiddenNextLine() {
    EditorApp& app =
        startWithSingle({QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("c1")});
    editCell(app, 1, 2, 0);
    press(kDelete);

    const QFontMetrics metrics(app.sectionView().grid(1).font());
    QString wide;
    while (metrics.horizontalAdvance(QStringLiteral("ab ") + wide) <=
           app.sectionView().grid(1).columnWidth(0)) {
        wide += QLatin1Char('m');
    }
    QLineEdit* editor = editCell(app, 1, 1, 0);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("ab ") + wide);
    press(kInsertAfter);

    QCOMPARE(shownColumn(app, 1, 0),
             (QStringList{QStringLiteral("ab "), wide, QStringLiteral("c1")}));
    QCOMPARE(app.sectionView().grid(1).activeRow(), 2);
    zqw::Card& card = app.document().card();
    QCOMPARE(card.lines[1].rowCount, 1);
    QCOMPARE(card.lines[2].rowCount, 1);

    // On disk each line has its one row again; the hidden line's old text
    // is gone.
    card.cardFileName = folder_->filePath(QStringLiteral("saved.ccf")).toStdString();
    QVERIFY(card.writeCardFile());
    QFile saved(QString::fromStdString(card.cardFileName));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = saved.readAll().split('\n');
    QCOMPARE(records.value(2), QByteArray("1#}ab \r"));
    QCOMPARE(records.value(3), "1#}" + wide.toLatin1() + '\r');
    QCOMPARE(records.value(4), QByteArray("1#}c1\r"));
}

void EditCommandsTest::insertAfterAtTheEndOfGrid1LeavesGrid2Alone() {
    CardLines lines = emptyLines();
    lines[3] = {Row("\tp\t\t")};
    lines[4] = {Row("\tq\t\t")};
    lines[5] = {Row("\tr\t\t")};
    lines[6] = {};  // grid 2's first line, hidden
    lines[7] = {Row("y1")};
    EditorApp& app = start(lines);
    app.sectionView().selectSection(kBothTab);
    QCOMPARE(shownColumn(app, 2, 0), strings({"Y"}));

    QVERIFY(editCell(app, 1, 3, 1));
    QTRY_COMPARE(app.sectionView().activeGrid(), 1);
    press(kInsertAfter);

    QCOMPARE(shownColumn(app, 1, 0), (strings({"1C", "1D", "1H", ""})));
    QCOMPARE(shownColumn(app, 1, 1), (strings({"p", "q", "r", ""})));
    QCOMPARE(app.sectionView().grid(1).activeRow(), 4);
    QCOMPARE(app.sectionView().grid(1).activeColumn(), 1);
    QCOMPARE(shownColumn(app, 2, 1), strings({"y1"}));
    const zqw::Section& both = app.document().card().sections[kBothTab];
    QCOMPARE(app.document().card().lines[both.firstLine + 2].rowCount, 2);
    QCOMPARE(app.document().card().lines[both.firstLine2].rowCount, 0);
    QCOMPARE(both.rowCount2, 1);
}

void EditCommandsTest::replicateDownInGrid2_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("changed");
    QTest::newRow("text column") << 1 << strings({"x1", "x1", "x1"}) << true;
    QTest::newRow("label column") << 0 << strings({"x1", "y1", "y2"}) << false;
}

void EditCommandsTest::replicateDownInGrid2() {
    QFETCH(int, column);
    QFETCH(QStringList, texts);
    QFETCH(bool, changed);
    CardLines lines = emptyLines();
    lines[3] = {Row("\tg1\t\t")};
    lines[4] = {Row("\tg2\t\t")};
    lines[5] = {Row("\tg3\t\t")};
    lines[6] = {Row("x1")};
    lines[7] = {Row("y1"), Row("y2")};
    EditorApp& app = start(lines);
    app.sectionView().selectSection(kBothTab);
    CardGrid& grid = app.sectionView().grid(2);
    grid.setActiveCell(1, column);
    grid.startEditing(true);
    if (!grid.isEditing()) grid.setFocus();  // a label cell has no editor
    QTRY_COMPARE(app.sectionView().activeGrid(), 2);

    press(kReplicate);

    QCOMPARE(shownColumn(app, 2, 1), texts);
    QCOMPARE(shownColumn(app, 1, 1), (strings({"g1", "g2", "g3"})));
    QCOMPARE(app.document().card().isModified, changed);
    QCOMPARE(grid.activeRow(), 1);
    QCOMPARE(grid.activeColumn(), column);
}

void EditCommandsTest::lineCommandAfterATabChangeUsesTheFocusedGrid() {
    EditorApp& app = startWithSingle(strings({"a1", "b1", "c1"}));
    app.sectionView().selectSection(kBothTab);
    editCell(app, 2, 1, 1);
    QTRY_COMPARE(app.sectionView().activeGrid(), 2);
    // Back and forth: the section opens with grid 1's editor focused.
    app.sectionView().selectSection(0);
    app.sectionView().selectSection(kBothTab);
    QVERIFY(app.sectionView().grid(1).editor() && app.sectionView().grid(1).editor()->hasFocus());
    press(kInsertAfter);
    QCOMPARE(app.sectionView().grid(1).gridModel().rowCount(), 4);
    QCOMPARE(app.sectionView().grid(2).gridModel().rowCount(), 2);
}

void EditCommandsTest::lineCommandsOnTheNotesPageChangeNothing_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("refreshed");
    QTest::newRow("insert before") << "before" << true;
    QTest::newRow("delete") << "delete" << true;
    QTest::newRow("insert after") << "after" << true;
    QTest::newRow("replicate down") << "replicate" << false;
}

void EditCommandsTest::lineCommandsOnTheNotesPageChangeNothing() {
    QFETCH(QString, command);
    QFETCH(bool, refreshed);
    EditorApp& app =
        startWithSingle({QStringLiteral("a1|a2"), QStringLiteral("b1"), QStringLiteral("c1")});
    app.sectionView().selectGroup(app.sectionView().groupTabs().count() - 1);
    QVERIFY(app.notesEditor().isVisible());
    const std::vector<zqw::RowText> before = app.document().card().rows;

    press(commandKey(command));

    QCOMPARE(app.document().card().rows.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        QCOMPARE(app.document().card().rows[i].text, before[i].text);
        QCOMPARE(app.document().card().rows[i].nextRow, before[i].nextRow);
    }
    QCOMPARE(app.document().card().sections[0].rowCount, 4);
    QVERIFY(!app.document().card().isModified);
    QCOMPARE(app.notesEditor().toPlainText(), QString());
    QCOMPARE(previewRefreshes_, refreshed ? 1 : 0);
}

// --- the menu -----------------------------------------------------------------

namespace {

// Per item, in this order: E shown and enabled, D shown and disabled,
// H hidden.
const char* const kEditItems[] = {
    "insertLineBefore", "deleteLine", "insertLineAfter", "replicateDown", "find", "replace",
    "findAgain",        "copy",       "paste",           "cut",           "undo", "redo"};

QString itemStates(EditorApp& app) {
    QString states;
    for (const char* name : kEditItems) {
        const QAction* item = app.action(QString::fromLatin1(name));
        states += !item->isVisible()               ? QLatin1Char('H')
                  : MenuActions::itemEnabled(item) ? QLatin1Char('E')
                                                   : QLatin1Char('D');
    }
    return states;
}

}  // namespace

void EditCommandsTest::editMenuStates_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("selection");
    // Grouped as: line commands, find commands, copy paste cut, undo redo.
    QTest::addColumn<QString>("states");
    // The card has its own undo history; nothing is in it yet.
    QTest::newRow("card, nothing selected") << "card" << false << "EEEE HHH DED DD";
    QTest::newRow("card, text selected") << "card" << true << "EEEE HHH EEE DD";
    QTest::newRow("notes, nothing to undo") << "notes" << false << "HHHH EEE DED DD";
    QTest::newRow("notes, typed and selected") << "typed notes" << true << "HHHH EEE EEE ED";
    QTest::newRow("notes, typed and undone") << "undone notes" << false << "HHHH EEE DED DE";
    QTest::newRow("notes closed") << "closed notes" << false << "HHHH DDD DDD DD";
}

void EditCommandsTest::editMenuStates() {
    QFETCH(QString, page);
    QFETCH(bool, selection);
    QFETCH(QString, states);
    EditorApp& app = startWithSingle({QStringLiteral("abcd")});
    QMenu* menu = menuNamed(app, QStringLiteral("editMenu"));

    if (page == QLatin1String("card")) {
        QLineEdit* editor = editCell(app, 1, 1, 0);
        // A cell's editor opens with its text selected.
        editor->deselect();
        if (selection) editor->setSelection(1, 2);
    } else {
        app.sectionView().selectGroup(app.sectionView().groupTabs().count() - 1);
        NotesTextEditor& notes = app.notesEditor();
        if (page == QLatin1String("closed notes")) {
            app.document().card().notesOpen = false;
            notes.setInputEnabled(false);
        }
        if (page != QLatin1String("notes") && page != QLatin1String("closed notes")) {
            QTest::keyClick(&notes, Qt::Key_X);
        }
        if (page == QLatin1String("undone notes")) app.undoCommands().undo();
        if (selection) notes.selectAll();
    }

    // Open the menu as a click on it does; the cell keeps its selection.
    menu->popup(app.mainWindow().mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(menu->isVisible());
    const QString shown = itemStates(app);
    menu->hide();
    QCOMPARE(shown, QString(states).remove(QLatin1Char(' ')));
    if (page == QLatin1String("card"))
        QCOMPARE(app.sectionView().grid(1).editor()->hasSelectedText(), selection);
}

// --- clipboard and undo ------------------------------------------------------------

void EditCommandsTest::clipboardOnACell() {
    EditorApp& app = startWithSingle({QStringLiteral("abcd")});
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    QLineEdit* editor = editCell(app, 1, 1, 0);

    // Nothing selected: copy and cut are disabled, their keys do nothing.
    editor->setCursorPosition(2);
    press(kCopy);
    press(kCut);
    QCOMPARE(clipboard->text(), QStringLiteral("before"));
    QCOMPARE(editor->text(), QStringLiteral("abcd"));

    editor->setSelection(1, 2);
    press(kCopy);
    QCOMPARE(clipboard->text(), QStringLiteral("bc"));
    QCOMPARE(editor->text(), QStringLiteral("abcd"));
    press(kCut);
    QCOMPARE(editor->text(), QStringLiteral("ad"));
    QCOMPARE(clipboard->text(), QStringLiteral("bc"));
    editor->setCursorPosition(2);
    press(kPaste);
    QCOMPARE(editor->text(), QStringLiteral("adbc"));
    QVERIFY(!app.document().card().isModified);
    // Line breaks would split the card file's record: they paste as spaces.
    clipboard->setText(QStringLiteral("1\r\n2\n3"));
    editor->setSelection(1, 2);
    press(kPaste);
    QCOMPARE(editor->text(), QStringLiteral("a1 2 3c"));
    editor->setText(QStringLiteral("adbc"));

    // What the clipboard brought is stored when the edit completes.
    app.sectionView().storePendingEdits();
    QVERIFY(app.document().card().isModified);
    QCOMPARE(cellText(app, 1, 1, 0), QStringLiteral("adbc"));
    QCOMPARE(app.document().card().rows[app.document().card().lines[1].firstRow].text,
             std::string("adbc"));
}

void EditCommandsTest::clipboardInTheNotes() {
    EditorApp& app = startWithSingle({QStringLiteral("cell")});
    QClipboard* clipboard = QGuiApplication::clipboard();
    app.sectionView().selectGroup(app.sectionView().groupTabs().count() - 1);
    NotesTextEditor& notes = app.notesEditor();
    QTest::keyClicks(&notes, QStringLiteral("hello world"));

    QTextCursor cursor = notes.textCursor();
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    notes.setTextCursor(cursor);
    press(kCopy);
    QCOMPARE(clipboard->text(), QStringLiteral("world"));
    press(kCut);
    QCOMPARE(notes.toPlainText(), QStringLiteral("hello "));
    cursor = notes.textCursor();
    cursor.setPosition(0);
    notes.setTextCursor(cursor);
    press(kPaste);
    QCOMPARE(notes.toPlainText(), QStringLiteral("worldhello "));
    // The cell behind the notes page was not touched.
    QCOMPARE(app.document().card().rows[app.document().card().lines[1].firstRow].text,
             std::string("cell"));

    // With the notes closed the clipboard keys do nothing to them.
    app.document().card().notesOpen = false;
    press(kPaste);
    QCOMPARE(notes.toPlainText(), QStringLiteral("worldhello "));
}

void EditCommandsTest::undoAndRedoInTheNotes() {
    EditorApp& app = startWithSingle({QStringLiteral("cell")});
    app.sectionView().selectGroup(app.sectionView().groupTabs().count() - 1);
    NotesTextEditor& notes = app.notesEditor();
    QTest::keyClick(&notes, Qt::Key_A);
    QTest::keyClick(&notes, Qt::Key_Return);
    QTest::keyClick(&notes, Qt::Key_B);
    const QString typed = notes.toPlainText();
    QCOMPARE(typed, QStringLiteral("a\nb"));

    press(kUndo);
    QVERIFY(notes.toPlainText() != typed);
    while (notes.document()->isUndoAvailable()) press(kUndo);
    QCOMPARE(notes.toPlainText(), QString());
    press(kUndo);  // nothing left to undo: only a beep
    QCOMPARE(notes.toPlainText(), QString());

    while (notes.document()->isRedoAvailable()) press(kRedo);
    QCOMPARE(notes.toPlainText(), typed);
    press(kRedo);
    QCOMPARE(notes.toPlainText(), typed);

    QCOMPARE(app.document().card().rows[app.document().card().lines[1].firstRow].text,
             std::string("cell"));
}

ZQW_GUI_TEST(EditCommandsTest)
#include "editcommands_test.moc"
