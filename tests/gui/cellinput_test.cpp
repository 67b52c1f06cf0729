// What reaches a cell, whatever the way in: typing, pasting, dropping,
// prompts. A card file is Windows-1252 text with one row per line, so
// nothing may enter a cell that would cut the file or be lost in it; and
// whatever is left out is said.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

const QString kCaption = QStringLiteral("ZQW Convention card editor: ");

// The first section's answer in a row, as the card stores it.
QByteArray storedAnswer(EditorApp& app, int row) {
    zqw::Card& card = app.document().card();
    return QByteArray::fromStdString(card.field(card.findGridRow(0, 1, row), 1, 2));
}

QString statusLine(EditorApp& app) { return app.mainWindow().statusBar()->currentMessage(); }

}  // namespace

class CellInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        session_ = std::make_unique<EditorSession>();
        // The frozen labels share the grid's model, never its editors.
        QTest::failOnWarning(
            QRegularExpression(QStringLiteral("commitData called with an editor")));
    }
    void cleanup() {
        if (session_) session_->verifyDialogs();
        session_.reset();
    }

    void controlCharactersBecomeSpaces_data();
    void controlCharactersBecomeSpaces();
    void aCtrlZInACellNeverCutsTheCard();
    void unstorableCharactersAreReplacedAndSaid_data();
    void unstorableCharactersAreReplacedAndSaid();
    void typingStopsAtTheCellLimit_data();
    void typingStopsAtTheCellLimit();
    void droppedTextIsCleanedToo();
    void promptsAreCleanedToo();
    void aClosedCardTakesNoTyping();
    void labelsStayWhileTheCellsScrollSideways();
    void theActiveCellIsFramed();
    void aStoredCellIsRepaintedWithWhatWasStored();
    void suitsPastedIntoTheNotesAreSavedAsSuits();

private:
    EditorApp& startOnFirstAnswer() {
        EditorApp& app = session_->start();
        app.sectionView().selectGroup(0);
        editCell(app, 1, 1, 1);
        return app;
    }

    std::unique_ptr<EditorSession> session_;
};

void CellInputTest::controlCharactersBecomeSpaces_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    const QString mixed = QStringLiteral(
        "a\tb\r\nc\x1a"
        "d\x7f"
        "e");
    QTest::newRow("Edit > Paste") << "menu" << mixed << QByteArray("a b c d e");
    QTest::newRow("Ctrl+V") << "ctrlv" << mixed << QByteArray("a b c d e");
    // Suit codes are control characters too, and stay what they are.
    QTest::newRow("suit codes pasted")
        << "menu" << QStringLiteral("1\x05 1\x06") << QByteArray("1\x05 1\x06");
}

void CellInputTest::controlCharactersBecomeSpaces() {
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QVERIFY(editor);
    QGuiApplication::clipboard()->setText(text);
    if (way == QLatin1String("menu")) {
        chooseMenuItem(app, "paste");
    } else {
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    }
    app.sectionView().storePendingEdits();
    QCOMPARE(storedAnswer(app, 1), stored);
}

void CellInputTest::aCtrlZInACellNeverCutsTheCard() {
    EditorApp& app = startOnFirstAnswer();
    // A card whose rows after the first all hold answers that must survive.
    zqw::Card& card = app.document().card();
    for (int row = 2; row <= card.sections[0].rowCount; ++row)
        card.setField(card.findGridRow(0, 1, row), 1, 2, "kept " + std::to_string(row));
    QGuiApplication::clipboard()->setText(
        QStringLiteral("before\x1a"
                       "after"));
    chooseMenuItem(app, "paste");
    app.sectionView().storePendingEdits();
    const QString path = session_->path(QStringLiteral("card.ccf"));
    session_->dialogs().expectSaveFile(path);
    chooseMenuItem(app, "saveCard");
    QVERIFY(!readBytes(path).contains('\x1a'));

    session_->dialogs().expectOpenFile(path);
    chooseMenuItem(app, "openCard");
    QCOMPARE(storedAnswer(app, 1), QByteArray("before after"));
    for (int row = 2; row <= card.sections[0].rowCount; ++row)
        QCOMPARE(storedAnswer(app, row), QByteArray("kept ") + QByteArray::number(row));
}

void CellInputTest::unstorableCharactersAreReplacedAndSaid_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("said");
    QTest::newRow("typed Cyrillic") << "typed" << QStringLiteral("Ж") << QStringLiteral("?")
                                    << QByteArray("?") << QStringLiteral("Ж by ?");
    QTest::newRow("pasted mixed") << "menu"
                                  << QStringLiteral("1NT \u03a9 15\u221217 \U0001F600 bal")
                                  << QStringLiteral("1NT ? 15-17 ? bal")
                                  << QByteArray("1NT ? 15-17 ? bal")
                                  << QStringLiteral("\u03a9 by ?, \u2212 by -, \U0001F600 by ?");
    QTest::newRow("pasted CJK twice")
        << "ctrlv" << QStringLiteral("a\u4e2db\u4e2d") << QStringLiteral("a?b?")
        << QByteArray("a?b?") << QStringLiteral("\u4e2d by ?");
    // Windows-1252 holds these; nothing is said.
    QTest::newRow("Latin and euro")
        << "menu" << QStringLiteral("\u00e9\u20ac\u00a3") << QStringLiteral("\u00e9\u20ac\u00a3")
        << QByteArray("\xE9\x80\xA3") << QString();
    // Suits copied from a printed card: the cell shows the characters the
    // card font draws as suits and the card stores the suit codes.
    QTest::newRow("suits pasted") << "menu" << QStringLiteral("1\u2663 1\u2666 1\u2665 1\u2660")
                                  << QStringLiteral("1} 1{ 1] 1[")
                                  << QByteArray("1\x05 1\x04 1\x03 1\x06") << QString();
    QTest::newRow("outline suits by Ctrl+V")
        << "ctrlv" << QStringLiteral("\u2667\u2662\u2661\u2664") << QStringLiteral("}{][")
        << QByteArray("\x05\x04\x03\x06") << QString();
    QTest::newRow("a suit typed") << "typed" << QStringLiteral("\u2660") << QStringLiteral("[")
                                  << QByteArray("\x06") << QString();
}

void CellInputTest::unstorableCharactersAreReplacedAndSaid() {
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    QFETCH(QString, said);
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    if (way == QLatin1String("typed")) {
        // As a keyboard layout with the letter sends it.
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, text, Qt::NoModifier);
    } else {
        QGuiApplication::clipboard()->setText(text);
        if (way == QLatin1String("menu")) {
            chooseMenuItem(app, "paste");
        } else {
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        }
    }
    QCOMPARE(editor->text(), shown);
    if (said.isEmpty()) {
        QCOMPARE(statusLine(app), QString());
    } else {
        QCOMPARE(statusLine(app),
                 QStringLiteral("Replaced, as a card file cannot store them: ") + said);
    }
    app.sectionView().storePendingEdits();
    QCOMPARE(cellText(app, 1, 1, 1), shown);
    QCOMPARE(storedAnswer(app, 1), stored);
}

void CellInputTest::typingStopsAtTheCellLimit_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("before");  // characters in the cell, caret after the first
    QTest::addColumn<int>("added");   // characters typed or pasted
    QTest::newRow("typed into a full cell") << "typed" << 255 << 1;
    QTest::newRow("pasted past the limit") << "ctrlv" << 250 << 20;
    QTest::newRow("Edit > Paste into a full cell") << "menu" << 255 << 3;
    QTest::newRow("a prompt past the limit") << "prompt" << 250 << 10;
}

void CellInputTest::typingStopsAtTheCellLimit() {
    QFETCH(QString, way);
    QFETCH(int, before);
    QFETCH(int, added);
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    const QString old =
        QStringLiteral("a") + QString(before - 2, QLatin1Char('b')) + QLatin1Char('c');
    editor->setText(old);
    editor->setCursorPosition(1);
    const QString put(added, QLatin1Char('x'));
    if (way == QLatin1String("typed")) {
        QTest::keyClick(editor, Qt::Key_X);
    } else if (way == QLatin1String("prompt")) {
        QTest::keyClick(editor, Qt::Key_Right);
        QTest::keyClick(editor, Qt::Key_Left);  // the insertion point is captured here
        app.promptController().insertPrompt(put);
    } else {
        QGuiApplication::clipboard()->setText(put);
        if (way == QLatin1String("menu")) {
            chooseMenuItem(app, "paste");
        } else {
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        }
    }
    // As much as fits goes in where the caret was; what was there stays.
    const QString expected = old.left(1) + put.left(255 - before) + old.mid(1);
    QCOMPARE(editor->text(), expected);
    QCOMPARE(statusLine(app), QStringLiteral("A cell holds at most 255 characters"));
    app.sectionView().storePendingEdits();
    QCOMPARE(storedAnswer(app, 1), expected.toLatin1());
}

void CellInputTest::droppedTextIsCleanedToo() {
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QMimeData dropped;
    dropped.setText(QStringLiteral("line one\r\nline \u2665two\ttabbed"));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor, &drop);
    QCOMPARE(editor->text(), QStringLiteral("line one line ]two tabbed"));
    app.sectionView().storePendingEdits();
    QCOMPARE(storedAnswer(app, 1), QByteArray("line one line \x03two tabbed"));
}

void CellInputTest::promptsAreCleanedToo() {
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QTest::keyClick(editor, Qt::Key_End);  // the insertion point is captured here
    app.promptController().insertPrompt(QStringLiteral("weak\x1a two \u0416 \u2663"));
    app.sectionView().storePendingEdits();
    QCOMPARE(storedAnswer(app, 1), QByteArray("weak  two ? \x05"));
}

void CellInputTest::aClosedCardTakesNoTyping() {
    EditorApp& app = startOnFirstAnswer();
    typeIntoCell(app, 1, QStringLiteral("Before close"));
    app.sectionView().storePendingEdits();
    session_->dialogs().expectQuestion(QStringLiteral("Do you wish to save the current file"),
                                       UserDialogs::Answer::No);
    chooseMenuItem(app, "closeCard");
    QVERIFY(!app.document().isOpen());
    // The closed card's rows stay on screen ...
    CardGrid& grid = app.sectionView().grid(1);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Before close"));
    // ... but no cell takes typing, by any way in.
    QVERIFY(!grid.editor());
    grid.setActiveCell(2, 1);
    grid.startEditing(true);
    QVERIFY(!grid.editor());
    QTest::keyClicks(&grid, QStringLiteral("typed"));
    // The user is told why nothing appears.
    QCOMPARE(statusLine(app), QStringLiteral("The card is closed: use New or Open to edit a card"));
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    chooseMenuItem(app, "paste");
    chooseMenuItem(app, "insertLineAfter");
    QCOMPARE(cellText(app, 1, 2, 1), QString());
    QVERIFY(!app.document().isModified());

    // New opens the grids again.
    chooseMenuItem(app, "newCard");
    QVERIFY(app.sectionView().grid(1).editor());
}

void CellInputTest::labelsStayWhileTheCellsScrollSideways() {
    EditorApp& app = session_->start();
    app.mainWindow().resize(420, 400);
    SectionView& view = app.sectionView();
    // The opening bids: a wide section whose labels are the bids.
    const int group = view.groupTabs().count() - 3;
    view.selectGroup(group);
    CardGrid& grid = view.grid(1);
    QVERIFY(grid.isLabelColumnFrozen());
    const int columns = grid.gridModel().columnCount();
    QVERIFY(columns > 4);
    const QString bid = cellText(app, 1, 1, 0);
    QVERIFY(!bid.isEmpty());
    // Tab along the first row to its last cell: the cells scroll ...
    grid.startEditing(true);
    for (int c = 1; c < columns - 1; ++c) QTest::keyClick(grid.editor(), Qt::Key_Tab);
    QCOMPARE(grid.activeColumn(), columns - 1);
    QVERIFY(grid.horizontalScrollBar()->value() > 0);
    QTest::keyClicks(grid.editor(), QStringLiteral("weak"));
    QTest::keyClick(grid.editor(), Qt::Key_Return);  // stored; the labels stay out of it
    QCOMPARE(cellText(app, 1, 1, columns - 1), QStringLiteral("weak"));
    // ... and the labels stay where they were, with their heading.
    QTableView& labels = grid.labelColumnView();
    QVERIFY(labels.isVisible());
    QCOMPARE(labels.geometry().left(), grid.frameWidth());
    QCOMPARE(labels.columnWidth(0), grid.columnWidth(0));
    QCOMPARE(labels.model()->index(0, 0).data().toString(), bid);
    QCOMPARE(labels.model()->headerData(0, Qt::Horizontal).toString(),
             grid.model()->headerData(0, Qt::Horizontal).toString());
    QVERIFY(!labels.isColumnHidden(0));
    QVERIFY(labels.isColumnHidden(1));
    // The active cell is never left hidden under the labels.
    const QRect active = grid.visualRect(grid.currentIndex());
    QVERIFY(active.left() >= grid.columnWidth(0));
    // Scrolling down keeps the labels beside their rows.
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QCOMPARE(labels.verticalScrollBar()->value(), grid.verticalScrollBar()->value());
    // Another visit starts at the left edge.
    view.selectGroup(0);
    view.selectGroup(group);
    QCOMPARE(view.grid(1).horizontalScrollBar()->value(), 0);
}

void CellInputTest::theActiveCellIsFramed() {
    EditorApp& app = startOnFirstAnswer();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QVERIFY(editor->hasFocus());
    const QImage shown = editor->grab().toImage();
    const QColor frame = editor->palette().color(QPalette::Highlight);
    // The frame runs along the editor's edge; its middle is filled, not
    // left white.
    QCOMPARE(QColor(shown.pixel(0, shown.height() / 2)), frame);
    QCOMPARE(QColor(shown.pixel(shown.width() / 2, 0)), frame);
    const QColor fill(shown.pixel(shown.width() - 4, shown.height() / 2));
    QVERIFY(fill != editor->palette().color(QPalette::Base));
    QVERIFY(fill != frame);
}

void CellInputTest::aStoredCellIsRepaintedWithWhatWasStored() {
    EditorApp& app = session_->start();
    SectionView& view = app.sectionView();
    view.selectGroup(view.groupTabs().count() - 3);  // the opening bids
    CardGrid& grid = view.grid(1);
    QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Min HCP"));
    QLineEdit* editor = editCell(app, 1, 1, 1);
    QVERIFY(editor);
    // The view paints a cell from the model only when told it changed; the
    // editor that covered it is gone after Tab.
    QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
    QTest::keyClicks(editor, QStringLiteral("11"));
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(grid.activeColumn(), 2);
    QCOMPARE(grid.model()->index(0, 1).data().toString(), QStringLiteral("11"));
    const QModelIndex stored = grid.model()->index(0, 1);
    const bool told = std::any_of(changed.cbegin(), changed.cend(), [&](const QList<QVariant>& a) {
        const auto from = a.at(0).toModelIndex();
        const auto to = a.at(1).toModelIndex();
        return from.row() <= stored.row() && stored.row() <= to.row() &&
               from.column() <= stored.column() && stored.column() <= to.column();
    });
    QVERIFY2(told, "the stored cell was never reported changed");
}

void CellInputTest::suitsPastedIntoTheNotesAreSavedAsSuits() {
    EditorApp& app = session_->start();
    app.sectionView().showNotesGroup();
    NotesTextEditor& notes = app.notesEditor();
    notes.setFocus();
    // As a printed card's PDF gives its suits back, with a letter no notes
    // file holds.
    QGuiApplication::clipboard()->setText(QStringLiteral("1\u2663 1\u2666 1\u2665 1\u2660 \u0416"));
    chooseMenuItem(app, "paste");
    QCOMPARE(notes.toPlainText(), QStringLiteral("1} 1{ 1] 1[ ?"));
    QCOMPARE(statusLine(app),
             QStringLiteral("Replaced, as a notes file cannot store them: \u0416 by ?"));
    const QString file = session_->path(QStringLiteral("notes.txt"));
    session_->dialogs().expectSaveFile(file);
    chooseMenuItem(app, "saveNotes");
    QCOMPARE(readBytes(file), QByteArray("1} 1{ 1] 1[ ?\r\n"));
}

ZQW_GUI_TEST(CellInputTest)
#include "cellinput_test.moc"
