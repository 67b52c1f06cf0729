// The right-button prompt list and the column edit window, driven as a user
// would: keys and buttons in the cell editors, the list and the memo.

#include <QApplication>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>

#include "app/editorapp.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"
#include "prompts/columneditdialog.h"
#include "prompts/promptlistwindow.h"

namespace {

// Group 0 "Pair": two columns; Names with four prompts, System and Events
// with three. group 1: "General", one column with a "*Brown" prompt;
// "Special", one column over three lines, where "*Brown" attaches note 999.
// Group 2 "Leads": three columns without prompts, and a grid 2.
QByteArray testTemplate() {
    return records({"FFirst",
                    "PPair",
                    "C23065",
                    "V2Club partnership",
                    "V2apple pie",
                    "V2Banana split",
                    "V2cherry",
                    "ONames",
                    "V215-17",
                    "V2strong",
                    "V21\x05 then 2\x03",
                    "OSystem",
                    "OEvents",
                    "GSecond",
                    "PGeneral",
                    "C195",
                    "V1*Brown sticker convention - defence in note 999",
                    "V1None",
                    "OA",
                    "PSpecial",
                    "C195",
                    "V1None",
                    "V1*Brown sticker convention - defence in note 999",
                    "V1*brown lower case",
                    "L03",
                    "GThird",
                    "PLeads",
                    "C3323434",
                    "H|Vs suits|Vs NT|",
                    "OLead style",
                    "OLength leads",
                    "A3070",
                    "OSubsequent",
                    "OOther"});
}

const QString kBrown = QStringLiteral("*Brown sticker convention - defence in note 999");
constexpr int kNotesGroup = 3;

QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }

// Row texts of a line, in chain order, as the card holds them.
QList<QByteArray> lineRows(const zqw::Card& card, int lineIndex) {
    QList<QByteArray> rows;
    const zqw::TemplateLine& line = card.lines.at(lineIndex);
    int row = line.firstRow;
    for (int k = 0; k < line.rowCount && row != 0; ++k) {
        rows.append(bytes(card.rows.at(row).text));
        row = card.rows.at(row).nextRow;
    }
    return rows;
}

// Gives a line exactly these rows (none hides it), keeping the section's
// row count of the grid in step.
void setLineRows(zqw::Card& card, int section, int grid, int lineIndex,
                 const QList<QByteArray>& texts) {
    zqw::TemplateLine& line = card.lines.at(lineIndex);
    zqw::Section& form = card.sections.at(section);
    int& total = grid == 1 ? form.rowCount : form.rowCount2;
    total -= line.rowCount;
    card.rows.at(line.firstRow).text = texts.isEmpty() ? "old" : texts.front().toStdString();
    card.rows.at(line.firstRow).nextRow = 0;
    line.rowCount = texts.isEmpty() ? 0 : 1;
    int last = line.firstRow;
    for (int k = 1; k < texts.size(); ++k) {
        zqw::RowText row;
        row.text = texts[k].toStdString();
        row.prevRow = last;
        const int index = static_cast<int>(card.rows.size());
        card.rows.push_back(row);
        card.rows[last].nextRow = index;
        last = index;
        ++line.rowCount;
    }
    total += line.rowCount;
}

}  // namespace

class PromptsTest : public QObject {
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

    void listIsSortedIgnoringCaseWithSymbols_data();
    void listIsSortedIgnoringCaseWithSymbols();
    void promptReplacesTheCapturedSelection_data();
    void promptReplacesTheCapturedSelection();
    void brownPromptAttachesNote999_data();
    void brownPromptAttachesNote999();
    void f2WithoutAnInsertionPointAsksForALine_data();
    void f2WithoutAnInsertionPointAsksForALine();
    void mouseButtonsOpenTheList_data();
    void mouseButtonsOpenTheList();
    void listOpensBelowTheClickedRow_data();
    void listOpensBelowTheClickedRow();
    void listKeysChooseOrClose_data();
    void listKeysChooseOrClose();
    void movingToAnotherCellHidesTheList_data();
    void movingToAnotherCellHidesTheList();
    void draggedPromptCarriesItsText();

    void columnEditOfOneLine_data();
    void columnEditOfOneLine();
    void columnEditOfAWholeSection_data();
    void columnEditOfAWholeSection();
    void columnEditFromTheLabelColumn();
    void columnEditTakesSuitSymbolsAsSuits();
    void columnEditOfGrid2();
    void wrappedLineBecomesSeveralRows();
    void symbolsShowAsCharactersAndStoreAsCodes();
    void cancelLeavesTheCardAlone_data();
    void cancelLeavesTheCardAlone();
    void promptsInsertIntoTheMemo();

private:
    EditorApp& start() { return session_->start(); }
    EditorApp& app() { return session_->app(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    PromptListWindow& list() { return session_->app().promptController().promptList(); }
    ColumnEditDialog& columnEdit() { return session_->app().columnEditCommand().dialog(); }

    // Changes a line's rows behind the grids' backs: their editors are
    // closed first, so no editor stores its old text over the new rows.
    void setRows(int section, int grid, int lineIndex, const QList<QByteArray>& texts) {
        app().sectionView().grid(1).stopEditing(false);
        app().sectionView().grid(2).stopEditing(false);
        setLineRows(app().document().card(), section, grid, lineIndex, texts);
    }

    void showSection(int group, int section) {
        app().sectionView().selectGroup(group);
        app().sectionView().selectSection(section);
        // Rebuilds the grids from the card as a tab change does.
        app().sectionView().refreshSection();
    }

    // Puts the keyboard in a cell of a grid and captures the insertion
    // point there, as clicking into it does.
    QLineEdit* enterCell(int row, int column, int gridNumber = 1) {
        QLineEdit* editor = editCell(app(), gridNumber, row, column);
        if (!editor) return nullptr;
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_End);
        return editor;
    }

    // Selects the prompt in the open list and presses Enter, once the list
    // has the keyboard as a user would find it.
    bool choose(const QString& prompt) {
        if (!QTest::qWaitFor([this]() { return list().listBox().hasFocus(); })) return false;
        const QList<QListWidgetItem*> found = list().listBox().findItems(prompt, Qt::MatchExactly);
        if (found.isEmpty() || !list().isVisible()) return false;
        list().listBox().setCurrentItem(found.front());
        QTest::keyClick(&list().listBox(), Qt::Key_Return);
        return !list().isVisible();
    }

    // Runs the column edit from the keyboard (F12) with a handler that
    // works the window and returns how it closed.
    void columnEditWith(std::function<void(ColumnEditDialog&)> work, int result) {
        dialogs().expectDialog(QStringLiteral("Edit column"), [work, result](QDialog& dialog) {
            auto& memo = static_cast<ColumnEditDialog&>(dialog);
            memo.activateWindow();
            memo.memo().setFocus();
            work(memo);
            if (memo.isVisible()) {
                QTest::mouseClick(
                    result == QDialog::Accepted ? &memo.okButton() : &memo.cancelButton(),
                    Qt::LeftButton);
            }
            return memo.result();
        });
        app().mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&app().mainWindow()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &app().mainWindow(), Qt::Key_F12);
    }

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<EditorSession> session_;
};

// --- the prompt list -------------------------------------------------------------

void PromptsTest::listIsSortedIgnoringCaseWithSymbols_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("names") << 0 << 1
                           << QStringList{QStringLiteral("apple pie"),
                                          QStringLiteral("Banana split"), QStringLiteral("cherry"),
                                          QStringLiteral("Club partnership")};
    QTest::newRow("symbols shown as characters")
        << 0 << 2
        << QStringList{QStringLiteral("15-17"), QStringLiteral("1} then 2]"),
                       QStringLiteral("strong")};
    QTest::newRow("cell without prompts") << 2 << 1 << QStringList{};
}

void PromptsTest::listIsSortedIgnoringCaseWithSymbols() {
    QFETCH(int, group);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    start();
    showSection(group, 0);
    QLineEdit* editor = enterCell(row, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F2);
    QVERIFY(list().isVisible());
    QCOMPARE(list().windowTitle(), QStringLiteral("Select prompt"));
    QVERIFY(list().windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(list().prompts(), expected);
    QCOMPARE(list().listBox().currentRow(), expected.isEmpty() ? -1 : 0);
    QTRY_VERIFY(list().listBox().hasFocus());
    // The list's focus is not the cell editor losing its insertion point.
    QVERIFY(app().promptController().insertionPoint().selStart != -1);
}

void PromptsTest::promptReplacesTheCapturedSelection_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("caret at the end") << QStringLiteral("1NT") << 3 << 0 << QStringLiteral("15-17")
                                      << QStringLiteral("1NT15-17") << 8 << QByteArray("1NT15-17");
    QTest::newRow("word selected")
        << QStringLiteral("a weak two") << 2 << 4 << QStringLiteral("strong")
        << QStringLiteral("a strong two") << 8 << QByteArray("a strong two");
    QTest::newRow("caret at the start") << QStringLiteral("NT") << 0 << 0 << QStringLiteral("15-17")
                                        << QStringLiteral("15-17NT") << 5 << QByteArray("15-17NT");
    QTest::newRow("all selected") << QStringLiteral("xyz") << 0 << 3 << QStringLiteral("strong")
                                  << QStringLiteral("strong") << 6 << QByteArray("strong");
    QTest::newRow("symbols stored as codes")
        << QString() << 0 << 0 << QStringLiteral("1} then 2]") << QStringLiteral("1} then 2]") << 10
        << QByteArray("1\x05 then 2\x03");
}

void PromptsTest::promptReplacesTheCapturedSelection() {
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, prompt);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    QFETCH(QByteArray, stored);
    EditorApp& app = start();
    QLineEdit* editor = enterCell(2, 1);
    QVERIFY(editor);
    editor->setText(text);
    editor->setSelection(selStart, selLength);
    // Capture, as the end of a shift+arrow selection does.
    QTest::keyPress(editor, Qt::Key_Shift);
    QTest::keyRelease(editor, Qt::Key_Shift);
    QVERIFY(!app.document().card().isModified);
    QTest::keyClick(editor, Qt::Key_F2);
    QVERIFY(choose(prompt));
    QCOMPARE(editor->text(), expected);
    QCOMPARE(editor->cursorPosition(), caret);
    QVERIFY(app.document().card().isModified);
    QCOMPARE(app.promptController().insertionPoint().text, expected);
    QCOMPARE(app.promptController().insertionPoint().selStart, caret);

    app.sectionView().storePendingEdits();
    zqw::Card& card = app.document().card();
    const zqw::RowRef ref = card.findGridRow(0, 1, 2);
    QVERIFY(ref);
    QCOMPARE(bytes(card.field(ref, 1, 2)), stored);
}

void PromptsTest::brownPromptAttachesNote999_data() {
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("notesBefore");
    QTest::addColumn<int>("note");
    QTest::addColumn<QString>("notesAfter");
    QTest::newRow("heading appended") << 1 << kBrown << 1 << QStringLiteral("Intro") << 999
                                      << QStringLiteral("Intro\nNote:..999:");
    QTest::newRow("chosen twice adds one heading") << 1 << kBrown << 2 << QStringLiteral("Intro")
                                                   << 999 << QStringLiteral("Intro\nNote:..999:");
    QTest::newRow("heading already there in small letters")
        << 1 << kBrown << 1 << QStringLiteral("note:..999 defence\nmore") << 999
        << QStringLiteral("note:..999 defence\nmore");
    QTest::newRow("small b inserts only the text")
        << 1 << QStringLiteral("*brown lower case") << 1 << QStringLiteral("Intro") << 0
        << QStringLiteral("Intro");
    QTest::newRow("another section inserts only the text")
        << 0 << kBrown << 1 << QStringLiteral("Intro") << 0 << QStringLiteral("Intro");
}

void PromptsTest::brownPromptAttachesNote999() {
    QFETCH(int, section);
    QFETCH(QString, prompt);
    QFETCH(int, times);
    QFETCH(QString, notesBefore);
    QFETCH(int, note);
    QFETCH(QString, notesAfter);
    EditorApp& app = start();
    app.notesEditor().setPlainText(notesBefore);
    showSection(1, section);
    const int row = section == 1 ? 2 : 1;
    QLineEdit* editor = enterCell(row, 0);
    QVERIFY(editor);
    for (int k = 0; k < times; ++k) {
        QTest::keyClick(editor, Qt::Key_F2);
        QVERIFY2(choose(prompt), qPrintable(QString::number(k)));
        // Focus comes back to the cell editor, which captures again.
        QTRY_VERIFY(editor->hasFocus());
    }
    QString inserted;
    for (int k = 0; k < times; ++k) inserted += prompt;
    QCOMPARE(editor->text(), inserted);
    QCOMPARE(app.document().card().isModified, true);
    zqw::Card& card = app.document().card();
    const int index = card.sectionIndexOf(1, section);
    for (int r = 1; r <= card.sections[index].rowCount; ++r) {
        QCOMPARE(card.rows[card.findGridRow(index, 1, r).row].noteNo, r == row ? note : 0);
    }
    QCOMPARE(app.notesEditor().toPlainText(), notesAfter);
    // The notes are not brought forward.
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 1);
}

void PromptsTest::f2WithoutAnInsertionPointAsksForALine_data() {
    QTest::addColumn<bool>("toNotes");
    QTest::newRow("focus on the tab bar") << false;
    QTest::newRow("notes page showing") << true;
}

void PromptsTest::f2WithoutAnInsertionPointAsksForALine() {
    QFETCH(bool, toNotes);
    EditorApp& app = start();
    QVERIFY(enterCell(1, 1));
    QWidget* elsewhere = nullptr;
    if (toNotes) {
        app.sectionView().selectGroup(kNotesGroup);
        elsewhere = &app.notesEditor();
    } else {
        app.sectionView().groupTabs().setFocus();
        elsewhere = &app.sectionView().groupTabs();
    }
    QTRY_VERIFY(elsewhere->hasFocus());
    QCOMPARE(app.promptController().insertionPoint().selStart, -1);
    dialogs().expectMessage(QStringLiteral("Please click on line of card"));
    QTest::keyClick(elsewhere, Qt::Key_F2);
    QCOMPARE(dialogs().pending(), 0);
    QVERIFY(!list().isVisible());

    // Entering a cell editor again gives the list its place.
    if (toNotes) app.sectionView().selectGroup(0);
    QLineEdit* editor = enterCell(1, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F2);
    QVERIFY(list().isVisible());
}

void PromptsTest::mouseButtonsOpenTheList_data() {
    QTest::addColumn<bool>("optionOn");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("opens");
    QTest::newRow("right, option on") << true << Qt::RightButton << true;
    QTest::newRow("right, option off") << false << Qt::RightButton << false;
    QTest::newRow("middle, option off") << false << Qt::MiddleButton << true;
    QTest::newRow("middle, option on") << true << Qt::MiddleButton << true;
}

void PromptsTest::mouseButtonsOpenTheList() {
    QFETCH(bool, optionOn);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, opens);
    EditorApp& app = start();
    QAction* option = app.action(QStringLiteral("toggleRightMousePrompts"));
    if (!optionOn) option->trigger();
    QCOMPARE(option->isChecked(), optionOn);
    QCOMPARE(app.action(QStringLiteral("showPrompts"))->text().section(QLatin1Char('\t'), 0, 0),
             optionOn ? QStringLiteral("&Prompts (Right button)") : QStringLiteral("&Prompts"));
    QLineEdit* editor = enterCell(1, 1);
    QVERIFY(editor);
    QTest::mouseClick(editor, button, {}, QPoint(5, 5));
    QCOMPARE(list().isVisible(), opens);
    if (opens) QCOMPARE(list().prompts().size(), 4);
    // The editor's own menu never opens over the cell.
    QVERIFY(!QApplication::activePopupWidget());
}

void PromptsTest::listOpensBelowTheClickedRow_data() {
    QTest::addColumn<bool>("nearTheBottom");
    QTest::newRow("room below") << false;
    QTest::newRow("near the bottom of the screen") << true;
}

void PromptsTest::listOpensBelowTheClickedRow() {
    QFETCH(bool, nearTheBottom);
    EditorApp& app = start();
    const QRect room = app.mainWindow().screen()->availableGeometry();
    if (nearTheBottom) app.mainWindow().move(app.mainWindow().x(), room.bottom() - 150);
    QLineEdit* editor = enterCell(2, 1);
    QVERIFY(editor);
    const QPoint click(9, 4);
    QCursor::setPos(editor->mapToGlobal(click));
    QTest::mousePress(editor, Qt::RightButton, {}, click);
    QTest::mouseRelease(editor, Qt::RightButton, {}, click);
    QVERIFY(list().isVisible());
    const CardGrid& view = app.sectionView().grid(1);
    const int formulaTop = app.mainWindow().pos().y() + click.y() + view.rowHeight(0) * 2 + 5;
    QCOMPARE(list().pos().x(), app.mainWindow().pos().x() + click.x() - 5);
    if (nearTheBottom) {
        QVERIFY(formulaTop + list().frameGeometry().height() > room.bottom() + 1);
        QCOMPARE(list().frameGeometry().bottom(), room.bottom());
    } else {
        QCOMPARE(list().pos().y(), formulaTop);
    }
}

void PromptsTest::listKeysChooseOrClose_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("enter") << 0 << QStringLiteral("enter") << QStringLiteral("apple pie");
    QTest::newRow("double click") << 0 << QStringLiteral("double click")
                                  << QStringLiteral("Banana split");
    QTest::newRow("escape") << 0 << QStringLiteral("escape") << QString();
    QTest::newRow("enter on an empty list") << 2 << QStringLiteral("enter") << QString();
}

void PromptsTest::listKeysChooseOrClose() {
    QFETCH(int, group);
    QFETCH(QString, action);
    QFETCH(QString, inserted);
    EditorApp& app = start();
    showSection(group, 0);
    QLineEdit* editor = enterCell(1, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F2);
    QVERIFY(list().isVisible());
    QListWidget& box = list().listBox();
    QTRY_VERIFY(box.hasFocus());
    if (action == QStringLiteral("enter")) {
        QTest::keyClick(&box, Qt::Key_Return);
    } else if (action == QStringLiteral("escape")) {
        QTest::keyClick(&box, Qt::Key_Escape);
    } else {
        const QRect item = box.visualItemRect(box.item(1));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, item.center());
    }
    QVERIFY(!list().isVisible());
    QCOMPARE(editor->text(), inserted);
    QCOMPARE(app.document().card().isModified, !inserted.isEmpty());
}

void PromptsTest::movingToAnotherCellHidesTheList_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("down") << int(Qt::Key_Down);
    QTest::newRow("up") << int(Qt::Key_Up);
    QTest::newRow("tab") << int(Qt::Key_Tab);
}

void PromptsTest::movingToAnotherCellHidesTheList() {
    QFETCH(int, key);
    EditorApp& app = start();
    QLineEdit* editor = enterCell(2, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F2);
    QVERIFY(list().isVisible());
    app.mainWindow().activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == &app.mainWindow());
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key(key));
    QVERIFY(app.sectionView().grid(1).activeRow() != 2 ||
            app.sectionView().grid(1).activeColumn() != 1);
    QVERIFY(!list().isVisible());
}

void PromptsTest::draggedPromptCarriesItsText() {
    start();
    QLineEdit* editor = enterCell(1, 1);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_F2);
    QListWidget& box = list().listBox();
    QVERIFY(box.dragEnabled());
    for (int i = 0; i < box.count(); ++i) {
        std::unique_ptr<QMimeData> data(box.model()->mimeData({box.model()->index(i, 0)}));
        QVERIFY(data);
        QCOMPARE(data->text(), box.item(i)->text());
    }
    // Nothing dropped on the list lands in it.
    QCOMPARE(box.dragDropMode(), QAbstractItemView::DragOnly);
}

// --- the column edit -------------------------------------------------------------

void PromptsTest::columnEditOfOneLine_data() {
    // Section "Leads": Lead style (grid rows from 1) and Length leads below.
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<QByteArray>>("before");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<QByteArray>>("after");
    QTest::addColumn<QList<QByteArray>>("lengthLeads");
    const QList<QByteArray> two = {"\ts1\tn1\t", "\ts2\tn2\t"};
    const QList<QByteArray> untouched = {"\tlength\t"};
    QTest::newRow("equal lines change only the column")
        << 1 << 2 << two << QStringLiteral("n1\nn2") << QStringLiteral("N1\nN2")
        << QList<QByteArray>{"\ts1\tN1\t", "\ts2\tN2\t"} << untouched;
    QTest::newRow("unchanged") << 2 << 2 << two << QStringLiteral("n1\nn2")
                               << QStringLiteral("n1\nn2") << two << untouched;
    QTest::newRow("one more appends an empty-columned row")
        << 2 << 2 << two << QStringLiteral("n1\nn2") << QStringLiteral("n1\nn2\nn3")
        << QList<QByteArray>{"\ts1\tn1\t", "\ts2\tn2\t", "\t\tn3\t"} << untouched;
    QTest::newRow("two fewer remove whole rows")
        << 1 << 1 << QList<QByteArray>{"\ta\tx\t", "\tb\ty\t", "\tc\tz\t"}
        << QStringLiteral("a\nb\nc") << QStringLiteral("A") << QList<QByteArray>{"\tA\tx\t"}
        << untouched;
    QTest::newRow("empty memo hides the line") << 1 << 1 << two << QStringLiteral("s1\ns2")
                                               << QString() << QList<QByteArray>{} << untouched;
    QTest::newRow("final line break is no row") << 1 << 1 << two << QStringLiteral("s1\ns2")
                                                << QStringLiteral("s1\ns2\n") << two << untouched;
    QTest::newRow("empty rows at the end stay")
        << 1 << 1 << QList<QByteArray>{"\tkept\t", "\t\t", "\t\t"} << QStringLiteral("kept\n\n")
        << QStringLiteral("kept\n\n") << QList<QByteArray>{"\tkept\t", "\t\t", "\t\t"} << untouched;
    QTest::newRow("the other line alone")
        << 3 << 1 << two << QStringLiteral("length") << QStringLiteral("one\ntwo") << two
        << QList<QByteArray>{"\tone\t", "\ttwo\t"};
}

void PromptsTest::columnEditOfOneLine() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QList<QByteArray>, before);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QList<QByteArray>, after);
    QFETCH(QList<QByteArray>, lengthLeads);
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(2, 0);
    const int leadStyle = card.sections[section].firstLine;
    setRows(section, 1, leadStyle, before);
    setRows(section, 1, leadStyle + 1, {"\tlength\t"});
    showSection(2, 0);
    QVERIFY(enterCell(row, column));

    QString seen;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            seen = memo.memo().toPlainText();
            memo.memo().setPlainText(typed);
        },
        QDialog::Accepted);

    QCOMPARE(seen, shown);
    QCOMPARE(lineRows(card, leadStyle), after);
    QCOMPARE(lineRows(card, leadStyle + 1), lengthLeads);
    const int rows = static_cast<int>(after.size() + lengthLeads.size());
    QCOMPARE(card.sections[section].rowCount, rows);
    QCOMPARE(app.sectionView().grid(1).gridModel().rowCount(), rows);
    QVERIFY(card.isModified);
    QVERIFY(app.sectionView().grid(1).isEditing());
    // A new row carries no note.
    if (after.size() > before.size()) {
        const int last = static_cast<int>(after.size());
        QCOMPARE(card.rows[card.findRow(section, leadStyle, last).row].noteNo, 0);
    }
}

void PromptsTest::columnEditOfAWholeSection_data() {
    // Section "Special": one column, three lines of one row each to start.
    QTest::addColumn<QList<QByteArray>>("line1");
    QTest::addColumn<QList<QByteArray>>("line2");
    QTest::addColumn<QList<QByteArray>>("line3");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<QByteArray>>("after1");
    QTest::addColumn<QList<QByteArray>>("after2");
    QTest::addColumn<QList<QByteArray>>("after3");
    using L = QList<QByteArray>;
    QTest::newRow("more lines go to the last line")
        << L{"a"} << L{"b"} << L{"c"} << QStringLiteral("a\nb\nc\nd") << L{"a"} << L{"b"}
        << L{"c", "d"};
    QTest::newRow("fewer lines hide the later lines")
        << L{"a"} << L{"b1", "b2"} << L{"c"} << QStringLiteral("x\ny") << L{"x"} << L{"y"} << L{};
    QTest::newRow("an emptied line after a single row receives")
        << L{"a"} << L{} << L{} << QStringLiteral("a\nb\nc") << L{"a"} << L{"b"} << L{"c"};
    QTest::newRow("empty memo keeps one empty row")
        << L{"a"} << L{"b"} << L{"c"} << QString() << L{""} << L{} << L{};
}

void PromptsTest::columnEditOfAWholeSection() {
    QFETCH(QList<QByteArray>, line1);
    QFETCH(QList<QByteArray>, line2);
    QFETCH(QList<QByteArray>, line3);
    QFETCH(QString, typed);
    QFETCH(QList<QByteArray>, after1);
    QFETCH(QList<QByteArray>, after2);
    QFETCH(QList<QByteArray>, after3);
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(1, 1);
    const int first = card.sections[section].firstLine;
    setRows(section, 1, first, line1);
    setRows(section, 1, first + 1, line2);
    setRows(section, 1, first + 2, line3);
    showSection(1, 1);
    QVERIFY(enterCell(1, 0));

    QStringList shown;
    for (const auto* rows : {&line1, &line2, &line3}) {
        for (const QByteArray& text : *rows) shown.append(QString::fromLatin1(text));
    }
    QString seen;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            seen = memo.memo().toPlainText();
            memo.memo().setPlainText(typed);
        },
        QDialog::Accepted);

    QCOMPARE(seen, shown.join(QLatin1Char('\n')));
    QCOMPARE(lineRows(card, first), after1);
    QCOMPARE(lineRows(card, first + 1), after2);
    QCOMPARE(lineRows(card, first + 2), after3);
    const int rows = static_cast<int>(after1.size() + after2.size() + after3.size());
    QCOMPARE(card.sections[section].rowCount, rows);
    QCOMPARE(app.sectionView().grid(1).gridModel().rowCount(), rows);
    QVERIFY(rows >= 1);
}

void PromptsTest::columnEditFromTheLabelColumn() {
    // In a two-column section the label column can be the active cell,
    // though it has no editor; the edit takes the answers beside it.
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int names = card.sections[0].firstLine;
    setRows(0, 1, names, {"\ta\t", "\tb\t"});
    showSection(0, 0);
    app.sectionView().grid(1).setActiveCell(2, 0);
    app.sectionView().grid(1).setFocus();
    QTRY_VERIFY(app.sectionView().grid(1).hasFocus());
    QVERIFY(!app.sectionView().grid(1).editor());
    QString seen;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            seen = memo.memo().toPlainText();
            QCOMPARE(memo.columnWidth(), app.sectionView().grid(1).columnWidth(1));
            memo.memo().setPlainText(QStringLiteral("A\nB\nC"));
        },
        QDialog::Accepted);
    QCOMPARE(seen, QStringLiteral("a\nb"));
    QCOMPARE(lineRows(card, names), (QList<QByteArray>{"\tA\t", "\tB\t", "\tC\t"}));
    QCOMPARE(card.sections[0].rowCount, 5);
    // The grid shows the new row under Names' label and System after it.
    QCOMPARE(cellText(app, 1, 3, 0), QString());
    QCOMPARE(cellText(app, 1, 3, 1), QStringLiteral("C"));
    QCOMPARE(cellText(app, 1, 4, 0), QStringLiteral("System"));
}

void PromptsTest::columnEditTakesSuitSymbolsAsSuits() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int names = card.sections[0].firstLine;
    setRows(0, 1, names, {"\ta\t", "\tb\t"});
    showSection(0, 0);
    QVERIFY(enterCell(1, 1));
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            // Pasted from a printed card, with a letter no card holds; the
            // OK says what was replaced.
            dialogs().expectMessage(
                QStringLiteral("Replaced, as a card file cannot store them: \u0416 by ?"));
            memo.memo().setPlainText(QStringLiteral("1\u2663 2\u2666\n3\u2665 4\u2660 \u0416"));
        },
        QDialog::Accepted);
    QCOMPARE(lineRows(card, names), (QList<QByteArray>{"\t1\x05 2\x04\t", "\t3\x03 4\x06 ?\t"}));
}

void PromptsTest::columnEditOfGrid2() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(2, 0);
    const int subsequent = card.sections[section].firstLine2;
    setRows(section, 2, subsequent, {"p1"});
    showSection(2, 0);
    QVERIFY(enterCell(2, 1, 2));
    QCOMPARE(app.sectionView().activeGrid(), 2);
    QString seen;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            seen = memo.memo().toPlainText();
            memo.memo().setPlainText(QStringLiteral("q1\nq2"));
        },
        QDialog::Accepted);
    QCOMPARE(seen, QString());  // the second line's only row is empty
    QCOMPARE(lineRows(card, subsequent), QList<QByteArray>{"p1"});
    QCOMPARE(lineRows(card, subsequent + 1), (QList<QByteArray>{"q1", "q2"}));
    QCOMPARE(card.sections[section].rowCount2, 3);
    QCOMPARE(app.sectionView().grid(2).gridModel().rowCount(), 3);
    QCOMPARE(card.sections[section].rowCount, 2);
}

void PromptsTest::wrappedLineBecomesSeveralRows() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(1, 1);
    const int first = card.sections[section].firstLine;
    showSection(1, 1);
    QVERIFY(enterCell(1, 0));
    QStringList words;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            QCOMPARE(memo.columnWidth(), app.sectionView().grid(1).columnWidth(0));
            // Words that fit a line alone but never two to a line.
            const QFontMetrics metrics(memo.memo().font());
            const double room = memo.columnWidth() - 2 * memo.memo().document()->documentMargin();
            QString body;
            while (metrics.horizontalAdvance(QStringLiteral("w") + body + QStringLiteral("m")) <
                   room * 0.7) {
                body += QLatin1Char('m');
            }
            QVERIFY(metrics.horizontalAdvance(QStringLiteral("w") + body) > room * 0.5);
            for (const char* head : {"a", "b", "c"}) words.append(QString::fromLatin1(head) + body);
            memo.memo().clear();
            QTest::keyClicks(&memo.memo(), words.join(QLatin1Char(' ')));
            QCOMPARE(memo.memo().document()->blockCount(), 1);
        },
        QDialog::Accepted);
    QCOMPARE(words.size(), 3);
    QList<QByteArray> expected;
    for (const QString& word : words) expected.append(word.toLatin1());
    // Three rows where there were three lines of one row: one each.
    QCOMPARE(lineRows(card, first) + lineRows(card, first + 1) + lineRows(card, first + 2),
             expected);
    QCOMPARE(card.sections[section].rowCount, 3);
}

void PromptsTest::symbolsShowAsCharactersAndStoreAsCodes() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(2, 0);
    const int leadStyle = card.sections[section].firstLine;
    setRows(section, 1, leadStyle, {"\t4\x06 from \x05\x04\t\x03x\t"});
    showSection(2, 0);
    QVERIFY(enterCell(1, 1));
    QString seen;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            seen = memo.memo().toPlainText();
            memo.memo().moveCursor(QTextCursor::End);
            for (Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
                QTest::keyClick(&memo.memo(), key);
            // A suit key replaces the selection.
            memo.memo().moveCursor(QTextCursor::Start);
            memo.memo().moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);
            QTest::keyClick(&memo.memo(), Qt::Key_F7);
        },
        QDialog::Accepted);
    QCOMPARE(seen, QStringLiteral("4[ from }{"));
    QCOMPARE(lineRows(card, leadStyle),
             QList<QByteArray>{"\t\x03\x06 from \x05\x04\x05\x04\x03\x06\t\x03x\t"});
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("][ from }{}{]["));
}

void PromptsTest::cancelLeavesTheCardAlone_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << QStringLiteral("button");
    QTest::newRow("Esc in the memo") << QStringLiteral("escape");
    QTest::newRow("menu Cancel") << QStringLiteral("menu");
}

void PromptsTest::cancelLeavesTheCardAlone() {
    QFETCH(QString, how);
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(2, 0);
    const int leadStyle = card.sections[section].firstLine;
    const QList<QByteArray> rows = {"\ts1\tn1\t", "\ts2\tn2\t"};
    setRows(section, 1, leadStyle, rows);
    showSection(2, 0);
    QVERIFY(enterCell(1, 1));
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            memo.memo().setPlainText(QStringLiteral("changed\nentirely\nmore"));
            if (how == QStringLiteral("escape")) {
                QTest::keyClick(&memo.memo(), Qt::Key_Escape);
            } else if (how == QStringLiteral("menu")) {
                memo.findChild<QAction*>(QStringLiteral("cancelColumn"))->trigger();
            }
        },
        QDialog::Rejected);
    QCOMPARE(lineRows(card, leadStyle), rows);
    QCOMPARE(card.sections[section].rowCount, 3);
    QCOMPARE(app.sectionView().grid(1).gridModel().rowCount(), 3);
    QVERIFY(!card.isModified);
    QVERIFY(app.sectionView().grid(1).isEditing());
}

void PromptsTest::promptsInsertIntoTheMemo() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    app.notesEditor().setPlainText(QStringLiteral("Intro"));
    const int section = card.sectionIndexOf(1, 1);
    const int first = card.sections[section].firstLine;
    setRows(section, 1, first, {"one"});
    setRows(section, 1, first + 1, {"two"});
    setRows(section, 1, first + 2, {"three"});
    showSection(1, 1);
    QVERIFY(enterCell(2, 0));
    bool chosen = false;
    QStringList listed;
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            QTRY_VERIFY(memo.memo().hasFocus());
            memo.memo().moveCursor(QTextCursor::End);
            QTest::keyClick(&memo.memo(), Qt::Key_F5);
            QTest::keyClick(&memo.memo(), Qt::Key_F2);
            listed = list().prompts();
            chosen = choose(kBrown);
            QTRY_VERIFY(memo.memo().hasFocus());
        },
        QDialog::Rejected);
    QVERIFY(chosen);
    QCOMPARE(listed,
             (QStringList{QStringLiteral("*brown lower case"), kBrown, QStringLiteral("None")}));
    // Cancel drops the memo's text, but the note and its heading stay.
    QCOMPARE(lineRows(card, first + 2), QList<QByteArray>{"three"});
    QCOMPARE(card.rows[card.findRow(section, first, 2).row].noteNo, 999);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Intro\nNote:..999:"));
    QVERIFY(!list().isVisible());
    QCOMPARE(list().parentWidget(), &app.sectionView());

    // The same with OK keeps the symbol and the prompt after it.
    columnEditWith(
        [&](ColumnEditDialog& memo) {
            QTRY_VERIFY(memo.memo().hasFocus());
            memo.memo().moveCursor(QTextCursor::End);
            QTest::keyClick(&memo.memo(), Qt::Key_F5);
            QTest::keyClick(&memo.memo(), Qt::Key_F2);
            chosen = choose(QStringLiteral("None"));
            QTRY_VERIFY(memo.memo().hasFocus());
        },
        QDialog::Accepted);
    QVERIFY(chosen);
    QCOMPARE(lineRows(card, first + 2), QList<QByteArray>{"three\x05None"});
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Intro\nNote:..999:"));
}

ZQW_GUI_TEST(PromptsTest)
#include "prompts_test.moc"
