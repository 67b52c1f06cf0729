// Every change to the card can be taken back and done again: each command
// undone and redone with the card file's bytes compared, the changed flag
// following the history, the Edit menu naming the step.

#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <functional>

#include "guitestmain.h"
#include "guitestsupport.h"
#include "prompts/columneditdialog.h"

namespace {

using Answer = UserDialogs::Answer;

QByteArray cardBytes(EditorApp& app) {
    return QByteArray::fromStdString(app.document().card().cardFileBytes());
}

QString menuCaption(EditorApp& app, const char* item) {
    QMenu* menu = menuNamed(app, QStringLiteral("editMenu"));
    emit menu->aboutToShow();
    return app.action(QString::fromLatin1(item))->text().section(QLatin1Char('\t'), 0, 0);
}

// A change made the way a user makes it, in a started editor.
using Change = std::function<void(EditorApp&, EditorSession&)>;

void typeInFirstCell(EditorApp& app, const QString& text) {
    app.sectionView().selectGroup(0);
    editCell(app, 1, 1, 1);
    typeIntoCell(app, 1, text);
    app.sectionView().storePendingEdits();
}

}  // namespace

Q_DECLARE_METATYPE(Change)

class UndoTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void everyChangeUndoesAndRedoesExactly_data();
    void everyChangeUndoesAndRedoesExactly();
    void undoingBackToTheSavedCardMakesItUnchanged();
    void typingInTheOpenCellIsUndoneFirst();
    void newOpenAndCloseStartANewHistory();
    void theNotesKeepTheirOwnUndo();
};

void UndoTest::everyChangeUndoesAndRedoesExactly_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("caption");

    QTest::newRow("typing in a cell") << Change([](EditorApp& app, EditorSession&) {
        typeInFirstCell(app, QStringLiteral("Strong club"));
    }) << "Typing in KHF numbers";
    const auto lineCommand = [](const char* item, int row) {
        return Change([item, row](EditorApp& app, EditorSession&) {
            typeInFirstCell(app, QStringLiteral("a long answer that the split will cut"));
            app.document().undoStack().clear();
            app.document().undoStack().setClean();
            editCell(app, 1, row, 1);
            chooseMenuItem(app, item);
        });
    };
    QTest::newRow("insert line before")
        << lineCommand("insertLineBefore", 2) << "Insert line before";
    QTest::newRow("insert line after") << lineCommand("insertLineAfter", 1) << "Insert line after";
    QTest::newRow("delete line") << lineCommand("deleteLine", 2) << "Delete line";
    QTest::newRow("replicate down") << lineCommand("replicateDown", 1) << "Replicate down";
    QTest::newRow("note number with F3") << Change([](EditorApp& app, EditorSession& session) {
        app.sectionView().selectGroup(0);
        editCell(app, 1, 2, 1);
        session.dialogs().expectDialog(QStringLiteral("Select note number"), [](QDialog& dialog) {
            auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("noteNumber"));
            field->setText(QStringLiteral("12"));
            return int(QDialog::Accepted);
        });
        chooseMenuItem(app, "attachNoteToCell");
        app.sectionView().returnToCard();
    }) << "Note number";
    QTest::newRow("column edit") << Change([](EditorApp& app, EditorSession& session) {
        app.sectionView().selectGroup(1);  // General approach: one column
        editCell(app, 1, 1, 0);
        session.dialogs().expectDialog(QStringLiteral("Edit column"), [](QDialog& dialog) {
            auto& column = static_cast<ColumnEditDialog&>(dialog);
            column.memo().setPlainText(QStringLiteral("one\ntwo\nthree\nfour"));
            return int(QDialog::Accepted);
        });
        chooseMenuItem(app, "editColumn");
    }) << "Column edit";
    QTest::newRow("column width dragged") << Change([](EditorApp& app, EditorSession&) {
        app.sectionView().selectGroup(2);
        app.sectionView().selectSection(1);  // three columns
        QHeaderView* header = app.sectionView().grid(1).horizontalHeader();
        // A drag is many small moves; they make one step.
        for (int step = 1; step <= 5; ++step) header->resizeSection(1, header->sectionSize(1) + 7);
    }) << "Column width";
}

void UndoTest::everyChangeUndoesAndRedoesExactly() {
    QFETCH(Change, change);
    QFETCH(QString, caption);
    EditorApp& app = session().start();
    change(app, session());
    app.sectionView().storePendingEdits();
    QVERIFY(app.document().undoStack().canUndo());
    const QByteArray after = cardBytes(app);
    QVERIFY(app.document().isModified());
    QCOMPARE(menuCaption(app, "undo"), QStringLiteral("&Undo ") + caption);

    chooseMenuItem(app, "undo");
    const QByteArray undone = cardBytes(app);
    QVERIFY(undone != after);
    QCOMPARE(menuCaption(app, "redo"), QStringLiteral("R&eDo ") + caption);
    chooseMenuItem(app, "redo");
    QCOMPARE(cardBytes(app), after);
    chooseMenuItem(app, "undo");
    QCOMPARE(cardBytes(app), undone);
    // The grids show the state the history is in.
    app.sectionView().storePendingEdits();
    QCOMPARE(cardBytes(app), undone);
}

void UndoTest::undoingBackToTheSavedCardMakesItUnchanged() {
    EditorApp& app = session().start();
    const QString path = session().path(QStringLiteral("card.ccf"));
    typeInFirstCell(app, QStringLiteral("saved"));
    session().dialogs().expectSaveFile(path);
    chooseMenuItem(app, "saveCard");
    QVERIFY(!app.document().isModified());
    const QByteArray saved = cardBytes(app);

    typeInFirstCell(app, QStringLiteral("changed"));
    QVERIFY(app.document().isModified());
    chooseMenuItem(app, "undo");
    QCOMPARE(cardBytes(app), saved);
    QVERIFY(!app.document().isModified());
    // Nothing to save: Save writes nothing and New asks nothing.
    chooseMenuItem(app, "redo");
    QVERIFY(app.document().isModified());
    chooseMenuItem(app, "undo");
    chooseMenuItem(app, "newCard");
    QVERIFY(!app.document().undoStack().canUndo());
}

void UndoTest::typingInTheOpenCellIsUndoneFirst() {
    EditorApp& app = session().start();
    typeInFirstCell(app, QStringLiteral("stored"));
    QLineEdit* editor = editCell(app, 1, 1, 1);
    editor->end(false);
    QTest::keyClicks(editor, QStringLiteral(" more"));
    QCOMPARE(menuCaption(app, "undo"), QStringLiteral("&Undo"));
    chooseMenuItem(app, "undo");  // the cell's own typing
    QCOMPARE(editor->text(), QStringLiteral("stored"));
    chooseMenuItem(app, "undo");  // then the card's step
    QCOMPARE(app.sectionView().grid(1).editor()->text(), QString());
    QCOMPARE(cellText(app, 1, 1, 1), QString());
}

void UndoTest::newOpenAndCloseStartANewHistory() {
    EditorApp& app = session().start();
    const QString path = session().path(QStringLiteral("card.ccf"));
    typeInFirstCell(app, QStringLiteral("one"));
    session().dialogs().expectSaveFile(path);
    chooseMenuItem(app, "saveCard");
    QVERIFY(app.document().undoStack().canUndo());
    session().dialogs().expectOpenFile(path);
    chooseMenuItem(app, "openCard");
    QVERIFY(!app.document().undoStack().canUndo());
    typeInFirstCell(app, QStringLiteral("two"));
    session().dialogs().expectQuestion(QStringLiteral("Do you wish to save the current file"),
                                       Answer::No);
    chooseMenuItem(app, "closeCard");
    QVERIFY(!app.document().undoStack().canUndo());
    QVERIFY(!app.document().undoStack().canRedo());
}

void UndoTest::theNotesKeepTheirOwnUndo() {
    EditorApp& app = session().start();
    typeInFirstCell(app, QStringLiteral("card text"));
    app.sectionView().showNotesGroup();
    NotesTextEditor& notes = app.notesEditor();
    QTest::keyClicks(&notes, QStringLiteral("notes text"));
    QCOMPARE(menuCaption(app, "undo"), QStringLiteral("&Undo"));
    chooseMenuItem(app, "undo");
    QCOMPARE(notes.toPlainText(), QString());
    // The card's step is still there for the card page.
    app.sectionView().selectGroup(0);
    QCOMPARE(menuCaption(app, "undo"), QStringLiteral("&Undo Typing in KHF numbers"));
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("card text"));
}

ZQW_GUI_TEST(UndoTest)
#include "undo_test.moc"
