// The main window driven as a user would: start-up and settings, tabs and
// menus, typing into cells, column drags, note hints.

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "guitestsupport.h"
#include "mainwindow/editorapp.h"
#include "mainwindow/truvcce.h"
#include "printing/fontdialogs.h"
#include "printing/tcarddef.h"
#include "prompts/tprompts.h"

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { session_ = std::make_unique<EditorSession>(); }
    void cleanup() {
        session_->verifyDialogs();
        session_.reset();
    }

    void firstRunUsesTheDefaults();
    void settingsSurviveARestart();
    void keysAreFoundInAnySpelling();
    void typingStoresSuitCodesAndMarksTheCard();
    void unchangedTextLeavesTheCardUnchanged();
    void tabChangeStoresThePendingEdit();
    void suitKeyReplacesTheSelection();
    void suitKeyWithoutAnEditingGridAsksForAPlace();
    void labelCellsAreReadOnly();
    void openingBidsRepeatOnFurtherRows_data();
    void openingBidsRepeatOnFurtherRows();
    void topCaptionsFollowTheWidth_data();
    void topCaptionsFollowTheWidth();
    void controlF6OnAFiveGroupTemplateShowsTheNotes();
    void sectionWithOnlyGrid2FillsTheHeight();
    void bothGridsShareTheHeight();
    void columnDragPastThePrintWidthIsCut();
    void noteNumberShowsAsHint();
    void escapeReturnsFromTheNotesToTheCell();
    void menuShortcutRunsTheMenuHandlerFirst();
    void displayFontDialogAppliesOrCancels();
    void missingTemplateIsReported();
    void manySectionsDoNotBreakTheRightMenu();
    void tabAndArrowKeysMoveBetweenCells();
    void rightClickOnAnotherCellOpensItsPrompts();

private:
    TRUVCCE& start() { return session_->start(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    QString iniPath() const { return session_->settings().iniPath(); }

    std::unique_ptr<EditorSession> session_;
};

void MainWindowTest::firstRunUsesTheDefaults() {
    TRUVCCE& window = start();
    QCOMPARE(window.geometry(), QRect(20, 20, 425, 335));
    QCOMPARE(window.DisplayFont.family(), QStringLiteral("CardArial"));
    QCOMPARE(window.DisplayFont.pointSize(), 7);
    QCOMPARE(window.NotesFont.family(), QStringLiteral("CardCourier"));
    QCOMPARE(window.NotesFont.pointSize(), 8);
    for (const char* option : {"NoteTabs1", "RightMousebuttonprompts1", "printauction"}) {
        QVERIFY2(window.actionNamed(QString::fromLatin1(option))->isChecked(), option);
    }
    QCOMPARE(QString::fromStdString(window.card().cardFileName), QStringLiteral("UnNamed file"));
    QCOMPARE(window.windowTitle(), QStringLiteral("ZQW Convention card editor: UnNamed file"));
    QVERIFY(window.card().isOpen);
    QVERIFY(!window.card().isModified);
    QCOMPARE(window.topTabs().count(), 8);
    QCOMPARE(window.captionLine().text(), QStringLiteral("Players"));
    QCOMPARE(
        window.actionNamed(QStringLiteral("Prompts1"))->text().section(QLatin1Char('\t'), 0, 0),
        QStringLiteral("&Prompts (Right button)"));
    // The grid of the first section, in editing on the answer column.
    QVERIFY(window.grid(1).isVisible());
    QVERIFY(window.grid(1).isEditing());
    QCOMPARE(window.grid(1).activeColumn(), 1);
    QCOMPARE(cellText(window, 1, 2, 0), QStringLiteral("Names"));
}

void MainWindowTest::settingsSurviveARestart() {
    {
        TRUVCCE& window = start();
        window.setGeometry(40, 50, 700, 500);
        window.actionNamed(QStringLiteral("NoteTabs1"))->trigger();
        QVERIFY(!window.actionNamed(QStringLiteral("NoteTabs1"))->isChecked());
        window.HintNo = 4;
        session_->stop();
    }
    IniFile written(iniPath());
    QCOMPARE(written.readInt(QStringLiteral("width"), 0), 700);
    QCOMPARE(written.readBool(QStringLiteral("NoteTabs"), true), false);
    QCOMPARE(written.readString(QStringLiteral("file"), QString()), QStringLiteral("UnNamed file"));
    QCOMPARE(written.readString(QStringLiteral("DFont"), QString()), QStringLiteral("CardArial"));
    QCOMPARE(written.readInt(QStringLiteral("club"), 0), int('}'));
    // Keys other windows own are written too, before the file is saved.
    QCOMPARE(written.readInt(QStringLiteral("unit"), -1), 0);
    QVERIFY(written.text().contains(QStringLiteral("HintNo=4")));

    TRUVCCE& again = start();
    QCOMPARE(again.geometry(), QRect(40, 50, 700, 500));
    QVERIFY(!again.actionNamed(QStringLiteral("NoteTabs1"))->isChecked());
    QCOMPARE(again.HintNo, 4);
    // "UnNamed file" names no file: a blank card again, without a message.
    QCOMPARE(QString::fromStdString(again.card().cardFileName), QStringLiteral("UnNamed file"));
}

void MainWindowTest::keysAreFoundInAnySpelling() {
    QVERIFY(session_->settings().writeIni(
        "[Setup]\r\nHINTNO=7\r\nDfont=CardTimes\r\ndsize=9\r\nLEFT=33\r\nMyOwnKey=kept\r\n"));
    TRUVCCE& window = start();
    QCOMPARE(window.HintNo, 7);
    QCOMPARE(window.DisplayFont.family(), QStringLiteral("CardTimes"));
    QCOMPARE(window.DisplayFont.pointSize(), 9);
    QCOMPARE(window.geometry().x(), 33);
    session_->stop();

    IniFile written(iniPath());
    const QString text = written.text();
    QVERIFY2(text.contains(QStringLiteral("HintNo=7")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("HINTNO")),
             qPrintable(text));  // replaced, not duplicated
    QVERIFY(text.contains(QStringLiteral("DFont=CardTimes")));
    QVERIFY(text.contains(QStringLiteral("MyOwnKey=kept")));
}

void MainWindowTest::typingStoresSuitCodesAndMarksTheCard() {
    TRUVCCE& window = start();
    window.grid(1).setActiveCell(4, 1);  // System
    window.grid(1).startEditing(true);
    typeIntoCell(window, 1, QStringLiteral("Acol 1} opens"));
    window.storePendingEdits();
    zqw::Card& card = window.card();
    QVERIFY(card.isModified);
    QCOMPARE(QByteArray::fromStdString(card.field(card.findGridRow(0, 1, 4), 1, 2)),
             QByteArray("Acol 1\x05 opens"));
    QCOMPARE(cellText(window, 1, 4, 1), QStringLiteral("Acol 1} opens"));
}

void MainWindowTest::unchangedTextLeavesTheCardUnchanged() {
    TRUVCCE& window = start();
    zqw::Card& card = window.card();
    card.rows[card.lines[card.sections[0].firstLine].firstRow].text = "\tPair 1\x05\t";
    window.grid(1).gridModel().refresh();
    window.grid(1).setActiveCell(1, 1);
    window.grid(1).startEditing(true);
    QCOMPARE(window.grid(1).editor()->text(), QStringLiteral("Pair 1}"));
    typeIntoCell(window, 1, QStringLiteral("Pair 1}"));
    window.storePendingEdits();
    QVERIFY(!card.isModified);
}

void MainWindowTest::tabChangeStoresThePendingEdit() {
    TRUVCCE& window = start();
    typeIntoCell(window, 1, QStringLiteral("Kept across tabs"));
    window.TT11Click(1);  // as Ctrl+F2 would
    QCOMPARE(window.topTabs().currentIndex(), 1);
    QVERIFY(window.card().isModified);
    window.TT11Click(0);
    QCOMPARE(cellText(window, 1, 1, 1), QStringLiteral("Kept across tabs"));
    // The same for a right tab change inside a group.
    window.TT11Click(1);
    typeIntoCell(window, 1, QStringLiteral("General"));
    window.RT11Click(2);
    QCOMPARE(window.rightTabs().currentIndex(), 2);
    window.RT11Click(0);
    QCOMPARE(cellText(window, 1, 1, 0), QStringLiteral("General"));
}

void MainWindowTest::suitKeyReplacesTheSelection() {
    TRUVCCE& window = start();
    QLineEdit* editor = window.grid(1).editor();
    QVERIFY(editor);
    editor->setFocus();
    editor->setText(QStringLiteral("abcd"));
    editor->setSelection(1, 2);
    QTest::keyClick(editor, Qt::Key_F7);
    QCOMPARE(editor->text(), QStringLiteral("a]d"));
    QCOMPARE(editor->cursorPosition(), 2);
    QVERIFY(window.card().isModified);
    QCOMPARE(window.InsertionPoint.text, QStringLiteral("a]d"));
}

void MainWindowTest::suitKeyWithoutAnEditingGridAsksForAPlace() {
    TRUVCCE& window = start();
    window.TT11Click(2);  // Card play: its first section has both grids
    QVERIFY(window.grid(2).isVisible());
    QLineEdit* editor2 = window.grid(2).editor();
    QVERIFY(editor2);
    window.grid(1).stopEditing(true);
    dialogs().expectMessage(QStringLiteral("Select a place to enter the card symbol"));
    editor2->setFocus();
    QTest::keyClick(editor2, Qt::Key_F5);
    QCOMPARE(editor2->text(), QString());
}

void MainWindowTest::labelCellsAreReadOnly() {
    TRUVCCE& window = start();
    auto& model = window.grid(1).gridModel();
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    window.TT11Click(1);  // single-column sections: column 0 is the text
    QVERIFY(window.grid(1).gridModel().flags(window.grid(1).gridModel().index(0, 0)) &
            Qt::ItemIsEditable);
}

void MainWindowTest::openingBidsRepeatOnFurtherRows_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("openBids");
    QTest::addColumn<bool>("repeated");
    QTest::newRow("opening bids, option on") << 5 << true << true;
    QTest::newRow("opening bids, option off") << 5 << false << false;
    QTest::newRow("other three-column group") << 2 << true << false;
}

void MainWindowTest::openingBidsRepeatOnFurtherRows() {
    QFETCH(int, group);
    QFETCH(bool, openBids);
    QFETCH(bool, repeated);
    TRUVCCE& window = start();
    zqw::Card& card = window.card();
    // Give the section's first line a second row, as inserting a row does.
    const int section = card.groups[group].firstSection;
    zqw::TemplateLine& line = card.lines[card.sections[section].firstLine];
    zqw::RowText extra;
    extra.prevRow = line.firstRow;
    card.rows.push_back(extra);
    card.rows[line.firstRow].nextRow = static_cast<int>(card.rows.size()) - 1;
    line.rowCount = 2;
    card.sections[section].rowCount += 1;
    QWidget& layout = session_->app().windows->cardLayout();
    layout.findChild<QCheckBox*>(QStringLiteral("cbOpenBids"))->setChecked(openBids);

    window.TT11Click(group);
    const QString label = cellText(window, 1, 1, 0);
    QVERIFY(!label.isEmpty());
    QCOMPARE(cellText(window, 1, 2, 0), repeated ? label : QString());
    if (group == 5)
        QCOMPARE(label, QStringLiteral("1}"));  // suit codes shown as display characters
}

void MainWindowTest::topCaptionsFollowTheWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("notes");
    // (width - 15 - 21) / 8 tabs / 7 points, less 2 when at least 3.
    QTest::newRow("narrow") << 200 << QStringLiteral("1") << QStringLiteral("8");
    QTest::newRow("wide") << 800 << QStringLiteral("1:Players") << QStringLiteral("8:NOTES");
    QTest::newRow("middle") << 500 << QStringLiteral("1:Player") << QStringLiteral("8:NOTES");
}

void MainWindowTest::topCaptionsFollowTheWidth() {
    QFETCH(int, width);
    QFETCH(QString, first);
    QFETCH(QString, notes);
    TRUVCCE& window = start();
    window.resize(width, 400);
    QTRY_COMPARE(window.topTabs().tabText(0), first);
    QCOMPARE(window.topTabs().tabText(7), notes);
    // Eight tabs: the Top menu's items 9 and 10 are hidden.
    QVERIFY(window.actionNamed(QStringLiteral("TT8"))->isVisible());
    QVERIFY(!window.actionNamed(QStringLiteral("TT9"))->isVisible());
}

void MainWindowTest::controlF6OnAFiveGroupTemplateShowsTheNotes() {
    ProgramFolder folder(
        records({"FOne", "PA", "C195",  "L02", "GTwo", "PB", "C195",  "OX", "GThree", "PC",
                 "C195", "OY", "GFour", "PD",  "C195", "OZ", "GFive", "PE", "C195",   "OW"}));
    useProgramDir(folder.path());
    TRUVCCE& window = start();
    QCOMPARE(window.topTabs().count(), 6);
    for (int k = 6; k < 10; ++k)
        QVERIFY(!window.actionNamed(QStringLiteral("TT%1").arg(k + 1))->isVisible());
    QTest::keyClick(&window, Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(window.topTabs().currentIndex(), 5);
    QVERIFY(window.notesEditor().isVisible());
    QVERIFY(window.captionLine().text().startsWith(QStringLiteral("Notes file")));
    QCOMPARE(window.sectionCaption().text(), QStringLiteral("Notes text editor"));
}

void MainWindowTest::sectionWithOnlyGrid2FillsTheHeight() {
    ProgramFolder folder(records({"FOnly", "PGrid two", "A3070", "OFirst", "OSecond", "PBoth", "C2",
                                  "C23070", "OA", "A3070", "OB"}));
    dialogs().expectMessage(QStringLiteral("Invalid line in zqw.sel file: C2"));
    useProgramDir(folder.path());
    TRUVCCE& window = start();
    QVERIFY(!window.grid(1).isVisible());
    QVERIFY(window.grid(2).isVisible());
    QCOMPARE(cellText(window, 2, 1, 0), QStringLiteral("First"));
    QVERIFY(window.grid(2).isEditing());
    QCOMPARE(window.grid(2).activeColumn(), 1);
    const int fullHeight = window.grid(2).height();
    window.RT11Click(1);
    QVERIFY(window.grid(1).isVisible());
    QVERIFY(window.grid(2).isVisible());
    QCOMPARE(window.grid(1).height(), window.grid(2).height());
    QCOMPARE(window.grid(1).height(), fullHeight / 2);
    QCOMPARE(window.grid(2).y(), window.grid(1).height());
}

void MainWindowTest::bothGridsShareTheHeight() {
    TRUVCCE& window = start();
    window.resize(900, 700);
    window.TT11Click(2);
    QVERIFY(window.grid(1).isVisible());
    QVERIFY(window.grid(2).isVisible());
    QCOMPARE(window.grid(1).width(), window.printColumnWidth() + 4);
    QCOMPARE(window.grid(1).height(), window.grid(2).height());
}

void MainWindowTest::columnDragPastThePrintWidthIsCut() {
    TRUVCCE& window = start();
    window.resize(900, 700);
    zqw::Card& card = window.card();
    const int W = window.printColumnWidth();
    const zqw::Section& section = card.sections[0];
    QHeaderView* header = window.grid(1).horizontalHeader();
    header->resizeSection(1, W);  // the answer column as wide as the whole print column
    const int label = window.grid(1).columnWidth(0);
    const int expected = std::max(3, static_cast<int>(std::lround((W - label) * 100.0 / W)));
    QVERIFY(std::abs(card.columns[section.firstColumn + 1].width - expected) <= 1);
    QVERIFY(card.columns[section.firstColumn + 1].width < 100);
    QVERIFY(card.isModified);
    // A drag well past the column still stores a width that fits two digits.
    header->resizeSection(0, 3 * W);
    QVERIFY(card.columns[section.firstColumn].width <= 99);
    QCOMPARE(card.columns[section.firstColumn + 1].width, 3);
}

void MainWindowTest::noteNumberShowsAsHint() {
    TRUVCCE& window = start();
    zqw::Card& card = window.card();
    card.rows[card.lines[card.sections[0].firstLine + 1].firstRow].noteNo = 14;
    window.OvcTable1MouseMove(1, 2);
    QCOMPARE(window.grid(1).toolTip(), QStringLiteral("14"));
    window.OvcTable1MouseMove(1, 1);
    QCOMPARE(window.grid(1).toolTip(), QString());
}

void MainWindowTest::escapeReturnsFromTheNotesToTheCell() {
    TRUVCCE& window = start();
    window.TT11Click(1);
    window.RT11Click(2);
    window.grid(1).setActiveCell(2, 0);
    window.TT11Click(7);
    QVERIFY(window.notesEditor().isVisible());
    QCOMPARE(window.NoteReturnPosition.group, 1);
    QTest::keyClick(&window.notesEditor(), Qt::Key_Escape);
    QCOMPARE(window.topTabs().currentIndex(), 1);
    QCOMPARE(window.rightTabs().currentIndex(), 2);
    QCOMPARE(window.grid(1).activeRow(), 2);
    QVERIFY(window.grid(1).isEditing());
    QCOMPARE(window.NoteReturnPosition.group, -1);
}

void MainWindowTest::menuShortcutRunsTheMenuHandlerFirst() {
    TRUVCCE& window = start();
    window.card().notesOpen = false;
    // Ctrl+Shift+S: the Notes menu's handler disables Save with the notes
    // closed, so the item does not run; the item itself stays in the menu.
    QAction* save = window.actionNamed(QStringLiteral("Save2"));
    save->setEnabled(true);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!TRUVCCE::itemEnabled(save));
    // A hidden item still answers its shortcut: Shift+F2 picks right tab 2.
    window.TT11Click(1);
    QVERIFY(window.actionNamed(QStringLiteral("RT2"))->isVisible());
    window.actionNamed(QStringLiteral("RT2"))->setVisible(false);
    QTest::keyClick(&window, Qt::Key_F2, Qt::ShiftModifier);
    QCOMPARE(window.rightTabs().currentIndex(), 1);
}

void MainWindowTest::displayFontDialogAppliesOrCancels() {
    TRUVCCE& window = start();
    const auto choose = [](const QString& name, int size, bool ok) {
        return [name, size, ok](QDialog& dialog) {
            dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentText(name);
            dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(size);
            QTest::mouseClick(dialog.findChild<QPushButton*>(ok ? QStringLiteral("OKBtn")
                                                                : QStringLiteral("CancelBtn")),
                              Qt::LeftButton);
            return dialog.result();
        };
    };
    dialogs().expectDialog(QStringLiteral("Select convention card font"),
                           choose(QStringLiteral("Courier"), 12, true));
    window.DisplayFont1Click();
    QCOMPARE(window.DisplayFont.family(), QStringLiteral("CardCourier"));
    QCOMPARE(window.topTabs().font().pointSize(), 12);
    QCOMPARE(window.grid(1).font().family(), QStringLiteral("CardCourier"));
    QCOMPARE(window.captionLine().font().pointSize(), 12);

    dialogs().expectDialog(QStringLiteral("Select convention card font"),
                           choose(QStringLiteral("Times"), 9, false));
    window.DisplayFont1Click();
    QCOMPARE(window.DisplayFont.family(), QStringLiteral("CardCourier"));
    QCOMPARE(window.grid(2).font().pointSize(), 12);
}

void MainWindowTest::missingTemplateIsReported() {
    QTemporaryDir empty;
    useProgramDir(empty.path());
    dialogs().expectMessage(QStringLiteral("zqw.sel file not found"));
    TRUVCCE& window = start();
    QCOMPARE(window.topTabs().count(), 1);  // the notes alone
    QVERIFY(window.notesEditor().isVisible());
}

void MainWindowTest::manySectionsDoNotBreakTheRightMenu() {
    QList<QByteArray> lines = {"FMany"};
    for (int s = 0; s < 12; ++s)
        lines << "PSection " + QByteArray::number(s + 1) << "C195"
              << "L01";
    ProgramFolder folder(records(lines));
    useProgramDir(folder.path());
    TRUVCCE& window = start();
    QCOMPARE(window.rightTabs().count(), 12);
    for (int k = 0; k < 10; ++k)
        QVERIFY(window.actionNamed(QStringLiteral("RT%1").arg(k + 1))->isVisible());
    window.selectRightTab(11);
    QCOMPARE(window.sectionCaption().text(), QStringLiteral("Section 12"));
}

void MainWindowTest::tabAndArrowKeysMoveBetweenCells() {
    TRUVCCE& window = start();
    window.TT11Click(2);
    window.RT11Click(1);  // opening leads: label, two answer columns
    CardGrid& grid = window.grid(1);
    grid.startEditing(true);
    QTest::keyClicks(grid.editor(), QStringLiteral("first"));
    QTest::keyClick(grid.editor(), Qt::Key_Tab);
    QCOMPARE(grid.activeColumn(), 2);
    QTest::keyClicks(grid.editor(), QStringLiteral("second"));
    QTest::keyClick(grid.editor(), Qt::Key_Tab);  // onto the next row's label
    QCOMPARE(grid.activeRow(), 2);
    QCOMPARE(grid.activeColumn(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(grid.activeColumn(), 1);
    QTest::keyClicks(grid.editor(), QStringLiteral("third"));
    QTest::keyClick(grid.editor(), Qt::Key_Up);
    QCOMPARE(grid.activeRow(), 1);
    QCOMPARE(cellText(window, 1, 1, 1), QStringLiteral("first"));
    QCOMPARE(cellText(window, 1, 1, 2), QStringLiteral("second"));
    QCOMPARE(cellText(window, 1, 2, 1), QStringLiteral("third"));
    QVERIFY(grid.editor()->hasFocus());
}

void MainWindowTest::rightClickOnAnotherCellOpensItsPrompts() {
    TRUVCCE& window = start();
    window.TT11Click(1);
    window.RT11Click(1);  // special methods: every line offers prompts
    CardGrid& grid = window.grid(1);
    QCOMPARE(grid.activeRow(), 1);
    const QRect third = grid.visualRect(grid.gridModel().index(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::NoModifier, third.center());
    QCOMPARE(grid.activeRow(), 3);
    QVERIFY(grid.isEditing());
    Tprompts& prompts = session_->app().windows->prompts();
    QTRY_VERIFY(prompts.isVisible());
    QVERIFY(prompts.listBox().count() > 0);
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
