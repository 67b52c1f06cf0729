// The custom prompts window: its file, its grid's editing, keys and drops,
// its questions, and its entries going into the card.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QTest>

#include "app/editorapp.h"
#include "commands/custompromptscommand.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "prompts/custompromptswindow.h"
#include "prompts/promptlistwindow.h"

namespace {

// Group 0 "Pair", two columns: Names with two prompts, System and Events.
QByteArray testTemplate() {
    return records({"FFirst", "PPair", "C23065", "V2Club partnership", "V2strong", "ONames",
                    "OSystem", "OEvents"});
}

const QString kQuestion = QStringLiteral("Do you wish to save the current custom prompt file");
const QString kFilter = QStringLiteral("Custom prompt text files (*.txt)|*.txt");

QStringList entries(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list.append(QString::fromLatin1(text));
    return list;
}

}  // namespace

class CustomPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder_ = std::make_unique<ProgramFolder>(testTemplate());
        session_ = std::make_unique<EditorSession>(folder_->path());
    }
    void cleanup() {
        session_->verifyDialogs();
        session_.reset();
        folder_.reset();
    }

    void fileIsReadOnFirstShow();
    void unreadableFileIsReported();
    void f4TogglesTheWindow();
    void suitKeysTypeSymbolsStoredAsCodes();
    void lineCommands_data();
    void lineCommands();
    void downOnTheLastRowAddsARow_data();
    void downOnTheLastRowAddsARow();
    void droppedPromptBecomesAnEntry_data();
    void droppedPromptBecomesAnEntry();
    void onlyThePromptListIsDroppedFrom();
    void enterAndDoubleClickInsertIntoTheCell();
    void controlCharactersNeverReachACell();
    void enteredTextIsWhatTheFileHolds_data();
    void enteredTextIsWhatTheFileHolds();
    void onlyNewAndOpenOfferCancel();
    void closingAsksToSave_data();
    void closingAsksToSave();
    void failedSaveKeepsTheListModified();
    void newAndOpenAskFirst_data();
    void newAndOpenAskFirst();
    void changedListIsOfferedAtExit();

private:
    EditorApp& start() { return session_->start(); }
    EditorApp& app() { return session_->app(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    CustomPromptsWindow& window() { return app().customPromptsCommand().window(); }
    QString path(const char* name) const { return session_->path(QString::fromLatin1(name)); }

    // Starts the editor with a custom prompt file holding these bytes and
    // shows the window with F4.
    CustomPromptsWindow& startWith(const QByteArray& bytes) {
        const QString file = path("mine.txt");
        writeBytes(file, bytes);
        if (!session_->settings().writeIni("[setup]\r\ncpfile=" + file.toUtf8() + "\r\n"))
            qWarning("settings not written");
        start();
        return showWindow();
    }
    CustomPromptsWindow& showWindow() {
        showActive(app().mainWindow());
        QTest::keyClick(&app().mainWindow(), Qt::Key_F4);
        CustomPromptsWindow& prompts = window();
        if (prompts.isVisible()) activate(prompts);
        return prompts;
    }
    // A tool window counts as active while its owner is; wait until it has
    // the keyboard itself.
    static void activate(CustomPromptsWindow& prompts) {
        prompts.activateWindow();
        if (!QTest::qWaitFor([&prompts] { return QApplication::activeWindow() == &prompts; }))
            qWarning("custom prompts not active");
    }
    // Selects a row of the grid, with the keyboard in it.
    QTableView& selectRow(int row) {
        QTableView& grid = window().grid();
        grid.setCurrentIndex(grid.model()->index(row, 0));
        grid.setFocus();
        return grid;
    }
    // The editor's cell with the keyboard and the caret at its end, text
    // typed into it.
    QLineEdit* typeInCell(int row, const QString& text) {
        showActive(app().mainWindow());
        QLineEdit* editor = editCell(app(), 1, row, 1);
        if (!editor) return nullptr;
        editor->setFocus();
        QTest::keyClicks(editor, text);
        return editor;
    }
    std::unique_ptr<QMimeData> promptDrag(const QString& prompt) {
        QLineEdit* editor = typeInCell(1, {});
        if (!editor) return nullptr;
        QTest::keyClick(editor, Qt::Key_F2);
        QListWidget& box = app().promptController().promptList().listBox();
        const QList<QListWidgetItem*> found = box.findItems(prompt, Qt::MatchExactly);
        if (found.isEmpty()) return nullptr;
        box.setCurrentItem(found.front());
        return std::unique_ptr<QMimeData>(box.model()->mimeData({box.currentIndex()}));
    }
    // The custom prompt file the settings keep.
    QString storedFile() const {
        for (QByteArray line : readBytes(session_->settings().iniPath()).split('\n')) {
            if (line.endsWith('\r')) line.chop(1);
            if (line.startsWith("cpfile=")) return QString::fromUtf8(line.mid(7));
        }
        return QStringLiteral("<none>");
    }
    // A double click as a mouse gives it: press, release, double click,
    // release.
    void doubleClick(QTableView& grid, int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowCentre(row));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, rowCentre(row));
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    QPoint rowCentre(int row) {
        QTableView& grid = window().grid();
        return grid.visualRect(grid.model()->index(row, 0)).center();
    }

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<EditorSession> session_;
};

void CustomPromptsTest::fileIsReadOnFirstShow() {
    const QByteArray bytes("1NT\r\n\x06 stop\r\n\r\n");
    CustomPromptsWindow& prompts = startWith(bytes);
    QVERIFY(prompts.isVisible());
    QCOMPARE(prompts.prompts(), (QStringList{QStringLiteral("1NT"), QStringLiteral("[ stop"), {}}));
    QCOMPARE(prompts.rowCount(), 3);
    QCOMPARE(prompts.windowTitle(), QStringLiteral("mine.txt Custom prompts"));
    QCOMPARE(prompts.grid().model()->index(1, 0).data().toString(), QStringLiteral("[ stop"));
    // Saving an unchanged list writes the same lines.
    emit prompts.menuBar().findChild<QMenu*>(QStringLiteral("customFileMenu"))->aboutToShow();
    prompts.menuBar().findChild<QAction*>(QStringLiteral("saveCustomPrompts"))->trigger();
    QCOMPARE(readBytes(path("mine.txt")), bytes);
    QVERIFY(!prompts.isModified());
    // The file is the one the settings keep.
    session_->stop();
    QCOMPARE(storedFile(), path("mine.txt"));
}

void CustomPromptsTest::unreadableFileIsReported() {
    const QString missing = path("gone.txt");
    QVERIFY(session_->settings().writeIni("[setup]\r\ncpfile=" + missing.toUtf8() + "\r\n"));
    start();
    dialogs().expectMessage(QStringLiteral("Cannot open file ") + missing);
    CustomPromptsWindow& prompts = showWindow();
    QVERIFY(prompts.prompts().isEmpty());
    QCOMPARE(prompts.rowCount(), 1);
    QCOMPARE(prompts.windowTitle(), QStringLiteral("Custom prompts"));
    QCOMPARE(prompts.fileName(), missing);
}

void CustomPromptsTest::f4TogglesTheWindow() {
    CustomPromptsWindow& prompts = startWith("A\r\n");
    QAction* item = app().action(QStringLiteral("toggleCustomPrompts"));
    QVERIFY(item->isChecked());
    // F4 works from the window itself too, and hiding keeps the list.
    selectRow(0);
    QTest::keyClick(&prompts.grid(), Qt::Key_F4);
    QVERIFY(!prompts.isVisible());
    QVERIFY(!item->isChecked());
    chooseMenuItem(app(), "toggleCustomPrompts");
    QVERIFY(prompts.isVisible());
    QCOMPARE(prompts.prompts(), QStringList{QStringLiteral("A")});
    // Esc closes it as its close box does; the tick follows.
    activate(prompts);
    QTest::keyClick(&selectRow(0), Qt::Key_Escape);
    QVERIFY(!prompts.isVisible());
    QVERIFY(!item->isChecked());
}

void CustomPromptsTest::suitKeysTypeSymbolsStoredAsCodes() {
    CustomPromptsWindow& prompts = startWith("A\r\n");
    QTableView& grid = selectRow(0);
    // No cell is being edited yet.
    dialogs().expectMessage(QStringLiteral("Select a place to enter the card symbol"));
    QTest::keyClick(&grid, Qt::Key_F5);
    QTest::keyClick(&grid, Qt::Key_1);
    auto* editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(editor));
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        QTest::keyClick(editor, key);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(prompts.prompts(), QStringList{QStringLiteral("1}{][")});
    QVERIFY(prompts.isModified());
    QVERIFY(prompts.saveList());
    QCOMPARE(readBytes(path("mine.txt")), QByteArray("1\x05\x04\x03\x06\r\n"));
}

void CustomPromptsTest::lineCommands_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("insert before row 0")
        << QByteArray("A\r\nB\r\n") << 0 << true << entries({"", "A", "B"}) << 3
        << QByteArray("\r\nA\r\nB\r\n");
    QTest::newRow("delete row 0") << QByteArray("A\r\nB\r\nC\r\n") << 0 << false
                                  << entries({"B", "C"}) << 2 << QByteArray("B\r\nC\r\n");
    QTest::newRow("delete the last one keeps a row")
        << QByteArray("A\r\n") << 0 << false << QStringList{} << 1 << QByteArray();
    QTest::newRow("insert into an empty list")
        << QByteArray() << 0 << true << entries({""}) << 2 << QByteArray("\r\n");
}

void CustomPromptsTest::lineCommands() {
    QFETCH(QByteArray, file);
    QFETCH(int, row);
    QFETCH(bool, insert);
    QFETCH(QStringList, after);
    QFETCH(int, rows);
    QFETCH(QByteArray, saved);
    CustomPromptsWindow& prompts = startWith(file);
    QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
    QTableView& grid = selectRow(row);
    // Ctrl+Ins copies in the editor's window; here it is Insert line.
    QTest::keyClick(&grid, insert ? Qt::Key_Insert : Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(prompts.prompts(), after);
    QCOMPARE(prompts.rowCount(), rows);
    QCOMPARE(grid.currentIndex().row(), row);
    QVERIFY(prompts.isModified());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
    QVERIFY(prompts.saveList());
    QCOMPARE(readBytes(path("mine.txt")), saved);
    // Typing into the row after the last entry adds an entry.
    if (rows > after.size()) {
        QTest::keyClick(&selectRow(rows - 1), Qt::Key_Z);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(prompts.prompts(), after + QStringList{QStringLiteral("z")});
    }
}

void CustomPromptsTest::downOnTheLastRowAddsARow_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("typed");  // into the last row before Down
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("rows");
    QTest::newRow("on the last entry")
        << QByteArray("A\r\nB\r\n") << QString() << entries({"A", "B"}) << 3;
    QTest::newRow("on an empty last entry")
        << QByteArray("A\r\n\r\n") << QString() << entries({"A", ""}) << 3;
    QTest::newRow("while typing a new entry")
        << QByteArray() << QStringLiteral("z") << entries({"z"}) << 2;
    // The blank row below the entries is where the next one goes already.
    QTest::newRow("on the blank row") << QByteArray() << QString() << QStringList() << 1;
}

void CustomPromptsTest::downOnTheLastRowAddsARow() {
    QFETCH(QByteArray, file);
    QFETCH(QString, typed);
    QFETCH(QStringList, before);
    QFETCH(int, rows);
    CustomPromptsWindow& prompts = startWith(file);
    const bool changed = !typed.isEmpty();
    QTableView& grid = selectRow(prompts.rowCount() - 1);
    QWidget* keys = &grid;
    if (changed) {
        QTest::keyClick(&grid, typed.at(0).toLatin1());
        keys = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit*>(keys));
    }
    QTest::keyClick(keys, Qt::Key_Down);
    QCOMPARE(prompts.prompts(), before);
    QCOMPARE(prompts.rowCount(), rows);
    QCOMPARE(grid.currentIndex().row(), rows - 1);
    QCOMPARE(prompts.isModified(), changed);
    // What is typed there becomes the entry after the others.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N);  // opens the row's editor
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ext"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(prompts.prompts(), before + QStringList{QStringLiteral("next")});
    // Down on an inner row only moves.
    QTest::keyClick(&selectRow(0), Qt::Key_Down);
    QCOMPARE(grid.currentIndex().row(), std::min(1, prompts.rowCount() - 1));
    QCOMPARE(prompts.prompts(), before + QStringList{QStringLiteral("next")});
}

void CustomPromptsTest::droppedPromptBecomesAnEntry_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("row");  // -1: below the rows
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("rows");
    QTest::newRow("between two entries")
        << QByteArray("A\r\nB\r\n") << 1 << entries({"A", "strong", "B"}) << 3;
    QTest::newRow("onto the blank row of an empty list")
        << QByteArray() << 0 << entries({"strong"}) << 1;
    QTest::newRow("outside the rows") << QByteArray("A\r\n") << -1 << entries({"A"}) << 1;
}

void CustomPromptsTest::droppedPromptBecomesAnEntry() {
    QFETCH(QByteArray, file);
    QFETCH(int, row);
    QFETCH(QStringList, after);
    QFETCH(int, rows);
    CustomPromptsWindow& prompts = startWith(file);
    const std::unique_ptr<QMimeData> drag = promptDrag(QStringLiteral("strong"));
    QVERIFY(drag);
    const QPoint at =
        row >= 0 ? rowCentre(row) : QPoint(5, prompts.grid().viewport()->height() - 2);
    prompts.dropPrompt(*drag, at);
    QCOMPARE(prompts.prompts(), after);
    QCOMPARE(prompts.rowCount(), rows);
    QVERIFY(prompts.isModified());
}

void CustomPromptsTest::onlyThePromptListIsDroppedFrom() {
    CustomPromptsWindow& prompts = startWith("A\r\n");
    const std::unique_ptr<QMimeData> drag = promptDrag(QStringLiteral("strong"));
    QVERIFY(drag);
    QListWidget& box = app().promptController().promptList().listBox();
    QVERIFY(CustomPromptsWindow::isPromptDrag(*drag, &box));
    QMimeData text;
    text.setText(QStringLiteral("from elsewhere"));
    QVERIFY(!CustomPromptsWindow::isPromptDrag(text, nullptr));
    QVERIFY(!CustomPromptsWindow::isPromptDrag(*drag, &prompts.grid()));
}

void CustomPromptsTest::enterAndDoubleClickInsertIntoTheCell() {
    CustomPromptsWindow& prompts = startWith("15-17\r\n\x05 stop\r\n");
    // An empty entry between them, which adds nothing to the cell.
    QTest::keyClick(&selectRow(1), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(prompts.prompts(), entries({"15-17", "", "} stop"}));
    QLineEdit* editor = typeInCell(2, QStringLiteral("1NT "));
    QVERIFY(editor);
    QVERIFY(!app().document().isModified());
    activate(prompts);
    QTest::keyClick(&selectRow(0), Qt::Key_Return);
    QCOMPARE(editor->text(), QStringLiteral("1NT 15-17"));
    QCOMPARE(editor->cursorPosition(), 9);
    QVERIFY(app().document().isModified());
    QTableView& grid = selectRow(2);
    doubleClick(grid, 2);
    QCOMPARE(editor->text(), QStringLiteral("1NT 15-17} stop"));
    // The click that began the double click does not open the row's
    // editor once the double click has passed.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!grid.indexWidget(grid.currentIndex()));
    doubleClick(grid, 1);
    QCOMPARE(editor->text(), QStringLiteral("1NT 15-17} stop"));
    // The card stores the suit as its code.
    app().sectionView().storePendingEdits();
    const zqw::Card& card = app().document().card();
    QCOMPARE(QByteArray::fromStdString(card.field(card.findGridRow(0, 1, 2), 1, 2)),
             QByteArray("1NT 15-17\x05 stop"));
}

void CustomPromptsTest::enteredTextIsWhatTheFileHolds_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("status");
    QTest::newRow("suits pasted") << "paste" << QStringLiteral("1\u2663 2\u2666 3\u2665 4\u2664")
                                  << QStringLiteral("1} 2{ 3] 4[")
                                  << QByteArray("1\x05 2\x04 3\x03 4\x06\r\n") << QString();
    QTest::newRow("a suit typed") << "typed" << QStringLiteral("\u2660") << QStringLiteral("[")
                                  << QByteArray("\x06\r\n") << QString();
    QTest::newRow("letters a file lacks")
        << "paste" << QStringLiteral("\u0416\u2212") << QStringLiteral("?-") << QByteArray("?-\r\n")
        << QStringLiteral(
               "Replaced, as a custom prompt file cannot store them: \u0416 by ?, "
               "\u2212 by -");
    QTest::newRow("pasted past the length")
        << "paste" << QString(300, QLatin1Char('w')) << QString(255, QLatin1Char('w'))
        << QByteArray(255, 'w') + "\r\n"
        << QStringLiteral("A custom prompt holds at most 255 characters");
}

void CustomPromptsTest::enteredTextIsWhatTheFileHolds() {
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    QFETCH(QString, status);
    CustomPromptsWindow& prompts = startWith(QByteArray());
    QTableView& grid = selectRow(0);
    grid.edit(grid.currentIndex());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    if (way == QLatin1String("typed")) {
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, text, Qt::NoModifier);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(editor->text(), shown);
    QCOMPARE(prompts.statusText(), status);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(prompts.prompts(), QStringList{shown});
    QVERIFY(prompts.saveList());
    QCOMPARE(readBytes(path("mine.txt")), saved);
}

void CustomPromptsTest::controlCharactersNeverReachACell() {
    // Read from the file, typed (pasted) into a row, or dropped: whatever
    // the way in, a control character reaches the cell as a blank.
    CustomPromptsWindow& prompts = startWith(
        "a\x01"
        "b\tc\r\n");
    QTest::keyClick(&selectRow(0), Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(&selectRow(0), Qt::Key_X);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QGuiApplication::clipboard()->setText(QStringLiteral("\ty\x7f"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QMimeData drop;
    drop.setText(QStringLiteral("p\nq"));
    prompts.dropPrompt(drop, rowCentre(0));
    QTRY_COMPARE(prompts.prompts(), entries({"p q", "x y ", "a b c"}));
    QLineEdit* cell = typeInCell(1, {});
    QVERIFY(cell);
    activate(prompts);
    for (int row : {0, 1, 2}) QTest::keyClick(&selectRow(row), Qt::Key_Return);
    QCOMPARE(cell->text(), QStringLiteral("p qx y a b c"));
}

void CustomPromptsTest::onlyNewAndOpenOfferCancel() {
    // The window on its own, with dialogs that note the buttons offered.
    class ButtonsNoted : public ScriptedDialogs {
    public:
        Answer question(const QString& text, bool withCancel) override {
            offeredCancel.append(withCancel);
            return ScriptedDialogs::question(text, withCancel);
        }
        QList<bool> offeredCancel;
    } noted;
    CustomPromptsWindow prompts(noted);
    prompts.show();
    prompts.insertLine();
    noted.expectQuestion(kQuestion, UserDialogs::Answer::Cancel);
    prompts.newList();
    noted.expectQuestion(kQuestion, UserDialogs::Answer::Cancel);
    prompts.openList();
    noted.expectQuestion(kQuestion, UserDialogs::Answer::No);
    QVERIFY(prompts.close());
    QCOMPARE(noted.offeredCancel, (QList<bool>{true, true, false}));
    QVERIFY(noted.failures().isEmpty());
    QCOMPARE(noted.pending(), 0);
}

void CustomPromptsTest::closingAsksToSave_data() {
    QTest::addColumn<UserDialogs::Answer>("answer");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("yes saves") << UserDialogs::Answer::Yes << QByteArray("\r\nA\r\n");
    QTest::newRow("no leaves the file") << UserDialogs::Answer::No << QByteArray("A\r\n");
}

void CustomPromptsTest::closingAsksToSave() {
    QFETCH(UserDialogs::Answer, answer);
    QFETCH(QByteArray, saved);
    CustomPromptsWindow& prompts = startWith("A\r\n");
    QTest::keyClick(&selectRow(0), Qt::Key_Insert, Qt::ControlModifier);
    dialogs().expectQuestion(kQuestion, answer);
    QTest::keyClick(&selectRow(0), Qt::Key_Escape);
    QVERIFY(!prompts.isVisible());
    QCOMPARE(readBytes(path("mine.txt")), saved);
    QVERIFY(!prompts.isModified());
    // Shown and closed again: nothing more to ask.
    showWindow();
    QVERIFY(prompts.close());
    QCOMPARE(prompts.prompts(), entries({"", "A"}));
}

void CustomPromptsTest::failedSaveKeepsTheListModified() {
    CustomPromptsWindow& prompts = startWith("A\r\n");
    // A folder that is a file: nothing can be written under it, not even
    // by a user who may write anywhere.
    writeBytes(path("file"), "x");
    const QString bad = path("file") + QStringLiteral("/list.txt");
    QTest::keyClick(&selectRow(0), Qt::Key_Delete, Qt::ControlModifier);

    dialogs().expectSaveFile(bad, kFilter);
    dialogs().expectMessage(QStringLiteral("Cannot create file ") + bad);
    QVERIFY(!prompts.saveListAs());
    QVERIFY(prompts.isModified());
    // A file that could not be written is not taken as the list's file.
    QCOMPARE(prompts.fileName(), path("mine.txt"));
    QCOMPARE(prompts.windowTitle(), QStringLiteral("mine.txt Custom prompts"));

    // Saved under a name that fails, then closed: still changed, so the
    // question comes again.
    dialogs().expectSaveFile(path("new.txt"), kFilter);
    QVERIFY(prompts.saveListAs());
    QCOMPARE(prompts.windowTitle(), QStringLiteral("new.txt Custom prompts"));
    QCOMPARE(readBytes(path("new.txt")), QByteArray());
    QVERIFY(!prompts.isModified());
    QVERIFY(QFile::remove(path("new.txt")));
    QVERIFY(QDir().mkdir(path("new.txt")));
    QTest::keyClick(&selectRow(0), Qt::Key_Insert, Qt::ControlModifier);
    dialogs().expectQuestion(kQuestion, UserDialogs::Answer::Yes);
    dialogs().expectMessage(QStringLiteral("Cannot create file ") + path("new.txt"));
    QVERIFY(prompts.close());
    QVERIFY(prompts.isModified());
    showWindow();
    dialogs().expectQuestion(kQuestion, UserDialogs::Answer::No);
    QVERIFY(prompts.close());
    QVERIFY(!prompts.isModified());
}

void CustomPromptsTest::newAndOpenAskFirst_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<UserDialogs::Answer>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("new, cancel") << false << UserDialogs::Answer::Cancel << entries({"", "A"})
                                 << QStringLiteral("mine.txt Custom prompts")
                                 << QByteArray("A\r\n");
    QTest::newRow("new, no") << false << UserDialogs::Answer::No << QStringList{}
                             << QStringLiteral("Custom prompts") << QByteArray("A\r\n");
    QTest::newRow("new, yes") << false << UserDialogs::Answer::Yes << QStringList{}
                              << QStringLiteral("Custom prompts") << QByteArray("\r\nA\r\n");
    QTest::newRow("open, cancel") << true << UserDialogs::Answer::Cancel << entries({"", "A"})
                                  << QStringLiteral("mine.txt Custom prompts")
                                  << QByteArray("A\r\n");
    QTest::newRow("open, no") << true << UserDialogs::Answer::No << entries({"X", "Y"})
                              << QStringLiteral("other.txt Custom prompts") << QByteArray("A\r\n");
}

void CustomPromptsTest::newAndOpenAskFirst() {
    QFETCH(bool, open);
    QFETCH(UserDialogs::Answer, answer);
    QFETCH(QStringList, after);
    QFETCH(QString, caption);
    QFETCH(QByteArray, saved);
    writeBytes(path("other.txt"), "X\r\nY\r\n");
    CustomPromptsWindow& prompts = startWith("A\r\n");
    QTest::keyClick(&selectRow(0), Qt::Key_Insert, Qt::ControlModifier);
    dialogs().expectQuestion(kQuestion, answer);
    if (open && answer != UserDialogs::Answer::Cancel)
        dialogs().expectOpenFile(path("other.txt"), kFilter);
    const char* item = open ? "openCustomPrompts" : "newCustomPrompts";
    prompts.menuBar().findChild<QAction*>(QLatin1String(item))->trigger();
    QCOMPARE(prompts.prompts(), after);
    QCOMPARE(prompts.windowTitle(), caption);
    QCOMPARE(readBytes(path("mine.txt")), saved);
    QCOMPARE(prompts.isModified(), answer == UserDialogs::Answer::Cancel);
    // The file named now is the one the settings keep.
    const QString kept = answer == UserDialogs::Answer::Cancel ? path("mine.txt")
                         : open                                ? path("other.txt")
                                                               : QString();
    session_->stop();
    QCOMPARE(storedFile(), kept);
}

void CustomPromptsTest::changedListIsOfferedAtExit() {
    CustomPromptsWindow& prompts = startWith("A\r\n");
    QTest::keyClick(&selectRow(0), Qt::Key_Insert, Qt::ControlModifier);
    // Hidden with F4, not closed: the change is still there at exit.
    QTest::keyClick(&app().mainWindow(), Qt::Key_F4);
    QVERIFY(!prompts.isVisible());
    dialogs().expectQuestion(kQuestion, UserDialogs::Answer::Yes);
    QVERIFY(app().mainWindow().close());
    QCOMPARE(readBytes(path("mine.txt")), QByteArray("\r\nA\r\n"));
}

ZQW_GUI_TEST(CustomPromptsTest)
#include "customprompts_test.moc"
