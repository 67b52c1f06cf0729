// The main window driven as a user would: start-up and settings, tabs and
// menus, typing into cells, column drags, note hints.

#include "mainwindow/mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include "app/editorapp.h"
#include "dialogs/cardfontdialog.h"
#include "dialogs/notesfontdialog.h"
#include "dialogs/suitsymbolsdialog.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "printing/printlayoutdialog.h"
#include "prompts/promptlistwindow.h"

class MainWindowTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void firstRunUsesTheDefaults();
    void startUpBuildsNoSecondaryWindow();
    void settingsSurviveARestart();
    void keysAreFoundInAnySpelling();
    void typingStoresSuitCodesAndMarksTheCard();
    void unchangedTextLeavesTheCardUnchanged();
    void tabChangeStoresThePendingEdit();
    void suitKeyReplacesTheSelection();
    void suitKeyWithoutAnEditingGridAsksForAPlace();
    void suitKeysTypeTheChosenCharacters_data();
    void suitKeysTypeTheChosenCharacters();
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
    void missingTemplateEndsTheStartAndWritesNothing();
    void manySectionsDoNotBreakTheRightMenu();
    void tabAndArrowKeysMoveBetweenCells();
    void rightClickOnAnotherCellOpensItsPrompts();
    void narrowWindowShowsTheMenuBarArrow();

private:
    QString iniPath() { return session().settings().iniPath(); }
};

void MainWindowTest::startUpBuildsNoSecondaryWindow() {
    // The windows of the menus are built when first asked for: a start-up
    // that built them all would pay for every one of them every time.
    EditorApp& app = start();
    QStringList built;
    for (QWidget* widget : QApplication::allWidgets()) {
        const bool ours = !QByteArray(widget->metaObject()->className()).startsWith('Q');
        if (widget->isWindow() && widget != &app.mainWindow() && ours)
            built << QLatin1String(widget->metaObject()->className());
    }
    QVERIFY2(built.isEmpty(), qPrintable(built.join(QStringLiteral(", "))));
}

void MainWindowTest::firstRunUsesTheDefaults() {
    EditorApp& app = start();
    QCOMPARE(app.mainWindow().geometry(), QRect(20, 20, 425, 335));
    QCOMPARE(app.settings().displayFont().family(), QStringLiteral("CardArial"));
    QCOMPARE(app.settings().displayFont().pointSize(), 7);
    QCOMPARE(app.settings().notesFont().family(), QStringLiteral("CardCourier"));
    QCOMPARE(app.settings().notesFont().pointSize(), 8);
    for (const char* option :
         {"toggleNoteTabs", "toggleRightMousePrompts", "togglePrintAuctions"}) {
        QVERIFY2(app.action(QString::fromLatin1(option))->isChecked(), option);
    }
    QCOMPARE(QString::fromStdString(app.document().card().cardFileName),
             QStringLiteral("UnNamed file"));
    QCOMPARE(app.mainWindow().windowTitle(),
             QStringLiteral("ZQW Convention card editor: UnNamed file"));
    QVERIFY(app.document().card().isOpen);
    QVERIFY(!app.document().card().isModified);
    QCOMPARE(app.sectionView().groupTabs().count(), 8);
    QCOMPARE(app.sectionView().captionLine().text(), QStringLiteral("Players"));
    QCOMPARE(app.action(QStringLiteral("showPrompts"))->text().section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("&Prompts (Right button)"));
    // The grid of the first section, in editing on the answer column.
    QVERIFY(app.sectionView().grid(1).isVisible());
    QVERIFY(app.sectionView().grid(1).isEditing());
    QCOMPARE(app.sectionView().grid(1).activeColumn(), 1);
    QCOMPARE(cellText(app, 1, 2, 0), QStringLiteral("Names"));
}

void MainWindowTest::settingsSurviveARestart() {
    {
        EditorApp& app = start();
        app.mainWindow().setGeometry(40, 50, 700, 500);
        app.action(QStringLiteral("toggleNoteTabs"))->trigger();
        QVERIFY(!app.action(QStringLiteral("toggleNoteTabs"))->isChecked());
        app.settings().setHintNumber(4);
        session().stop();
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

    EditorApp& again = start();
    QCOMPARE(again.mainWindow().geometry(), QRect(40, 50, 700, 500));
    QVERIFY(!again.action(QStringLiteral("toggleNoteTabs"))->isChecked());
    QCOMPARE(again.settings().hintNumber(), 4);
    // "UnNamed file" names no file: a blank card again, without a message.
    QCOMPARE(QString::fromStdString(again.document().card().cardFileName),
             QStringLiteral("UnNamed file"));
}

void MainWindowTest::keysAreFoundInAnySpelling() {
    QVERIFY(session().settings().writeIni(
        "[Setup]\r\nHINTNO=7\r\nDfont=CardTimes\r\ndsize=9\r\nLEFT=33\r\nMyOwnKey=kept\r\n"));
    EditorApp& app = start();
    QCOMPARE(app.settings().hintNumber(), 7);
    QCOMPARE(app.settings().displayFont().family(), QStringLiteral("CardTimes"));
    QCOMPARE(app.settings().displayFont().pointSize(), 9);
    QCOMPARE(app.mainWindow().geometry().x(), 33);
    session().stop();

    IniFile written(iniPath());
    const QString text = written.text();
    QVERIFY2(text.contains(QStringLiteral("HintNo=7")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("HINTNO")),
             qPrintable(text));  // replaced, not duplicated
    QVERIFY(text.contains(QStringLiteral("DFont=CardTimes")));
    QVERIFY(text.contains(QStringLiteral("MyOwnKey=kept")));
}

void MainWindowTest::typingStoresSuitCodesAndMarksTheCard() {
    EditorApp& app = start();
    app.sectionView().grid(1).setActiveCell(4, 1);  // System
    app.sectionView().grid(1).startEditing(true);
    typeIntoCell(app, 1, QStringLiteral("Acol 1} opens"));
    app.sectionView().storePendingEdits();
    zqw::Card& card = app.document().card();
    QVERIFY(card.isModified);
    QCOMPARE(QByteArray::fromStdString(card.field(card.findGridRow(0, 1, 4), 1, 2)),
             QByteArray("Acol 1\x05 opens"));
    QCOMPARE(cellText(app, 1, 4, 1), QStringLiteral("Acol 1} opens"));
}

void MainWindowTest::unchangedTextLeavesTheCardUnchanged() {
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    card.rows[card.lines[card.sections[0].firstLine].firstRow].text = "\tPair 1\x05\t";
    app.sectionView().grid(1).gridModel().refresh();
    app.sectionView().grid(1).setActiveCell(1, 1);
    app.sectionView().grid(1).startEditing(true);
    QCOMPARE(app.sectionView().grid(1).editor()->text(), QStringLiteral("Pair 1}"));
    typeIntoCell(app, 1, QStringLiteral("Pair 1}"));
    app.sectionView().storePendingEdits();
    QVERIFY(!card.isModified);
}

void MainWindowTest::tabChangeStoresThePendingEdit() {
    EditorApp& app = start();
    typeIntoCell(app, 1, QStringLiteral("Kept across tabs"));
    app.sectionView().selectGroup(1);  // as Ctrl+F2 would
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 1);
    QVERIFY(app.document().card().isModified);
    app.sectionView().selectGroup(0);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Kept across tabs"));
    // The same for a right tab change inside a group.
    app.sectionView().selectGroup(1);
    typeIntoCell(app, 1, QStringLiteral("General"));
    app.sectionView().selectSection(2);
    QCOMPARE(app.sectionView().sectionTabs().currentIndex(), 2);
    app.sectionView().selectSection(0);
    QCOMPARE(cellText(app, 1, 1, 0), QStringLiteral("General"));
}

void MainWindowTest::suitKeyReplacesTheSelection() {
    EditorApp& app = start();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QVERIFY(editor);
    editor->setFocus();
    editor->setText(QStringLiteral("abcd"));
    editor->setSelection(1, 2);
    QTest::keyClick(editor, Qt::Key_F7);
    QCOMPARE(editor->text(), QStringLiteral("a]d"));
    QCOMPARE(editor->cursorPosition(), 2);
    QVERIFY(app.document().card().isModified);
    QCOMPARE(app.promptController().insertionPoint().text, QStringLiteral("a]d"));
}

void MainWindowTest::suitKeyWithoutAnEditingGridAsksForAPlace() {
    EditorApp& app = start();
    app.sectionView().selectGroup(2);  // Card play: its first section has both grids
    QVERIFY(app.sectionView().grid(2).isVisible());
    QLineEdit* editor2 = app.sectionView().grid(2).editor();
    QVERIFY(editor2);
    app.sectionView().grid(1).stopEditing(true);
    dialogs().expectMessage(QStringLiteral("Select a place to enter the card symbol"));
    editor2->setFocus();
    QTest::keyClick(editor2, Qt::Key_F5);
    QCOMPARE(editor2->text(), QString());
}

void MainWindowTest::suitKeysTypeTheChosenCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::newRow("F5 club") << int(Qt::Key_F5) << QStringLiteral("\u00a7");
    QTest::newRow("F6 diamond") << int(Qt::Key_F6) << QStringLiteral("d");
    QTest::newRow("F7 heart") << int(Qt::Key_F7) << QStringLiteral("h");
    QTest::newRow("F8 spade") << int(Qt::Key_F8) << QStringLiteral("s");
    QTest::newRow("F9 no suit") << int(Qt::Key_F9) << QString();
}

void MainWindowTest::suitKeysTypeTheChosenCharacters() {
    QFETCH(int, key);
    QFETCH(QString, typed);
    EditorApp& app = start();
    // Characters chosen after the start, as Options > Card symbols does.
    zqw::SuitChars chosen;
    chosen.club = 0xA7;
    chosen.diamond = 'd';
    chosen.heart = 'h';
    chosen.spade = 's';
    app.settings().setSuitChars(chosen);

    QLineEdit* editor = app.sectionView().grid(1).editor();
    QVERIFY(editor);
    editor->setFocus();
    editor->setText(QStringLiteral("1"));
    editor->setCursorPosition(1);
    QTest::keyClick(editor, Qt::Key(key));
    QCOMPARE(editor->text(), QStringLiteral("1") + typed);

    NotesTextEditor& notes = app.notesEditor();
    notes.setFocus();
    QTest::keyClick(&notes, Qt::Key_2);
    QTest::keyClick(&notes, Qt::Key(key));
    QCOMPARE(notes.toPlainText(), QStringLiteral("2") + typed);
}

void MainWindowTest::labelCellsAreReadOnly() {
    EditorApp& app = start();
    auto& model = app.sectionView().grid(1).gridModel();
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    app.sectionView().selectGroup(1);  // single-column sections: column 0 is the text
    QVERIFY(app.sectionView().grid(1).gridModel().flags(
                app.sectionView().grid(1).gridModel().index(0, 0)) &
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
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    // Give the section's first line a second row, as inserting a row does.
    const int section = card.groups[group].firstSection;
    zqw::TemplateLine& line = card.lines[card.sections[section].firstLine];
    zqw::RowText extra;
    extra.prevRow = line.firstRow;
    card.rows.push_back(extra);
    card.rows[line.firstRow].nextRow = static_cast<int>(card.rows.size()) - 1;
    line.rowCount = 2;
    card.sections[section].rowCount += 1;
    app.settings().printLayout().setOpenBidsOnAllLines(openBids);

    app.sectionView().selectGroup(group);
    const QString label = cellText(app, 1, 1, 0);
    QVERIFY(!label.isEmpty());
    QCOMPARE(cellText(app, 1, 2, 0), repeated ? label : QString());
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
    EditorApp& app = start();
    app.mainWindow().resize(width, 400);
    QTRY_COMPARE(app.sectionView().groupTabs().tabText(0), first);
    QCOMPARE(app.sectionView().groupTabs().tabText(7), notes);
    // Eight tabs: the Top menu's items 9 and 10 are hidden.
    QVERIFY(app.action(QStringLiteral("selectGroup8"))->isVisible());
    QVERIFY(!app.action(QStringLiteral("selectGroup9"))->isVisible());
}

void MainWindowTest::controlF6OnAFiveGroupTemplateShowsTheNotes() {
    ProgramFolder folder(
        records({"FOne", "PA", "C195",  "L02", "GTwo", "PB", "C195",  "OX", "GThree", "PC",
                 "C195", "OY", "GFour", "PD",  "C195", "OZ", "GFive", "PE", "C195",   "OW"}));
    useProgramDir(folder.path());
    EditorApp& app = start();
    QCOMPARE(app.sectionView().groupTabs().count(), 6);
    for (int k = 6; k < 10; ++k)
        QVERIFY(!app.action(QStringLiteral("selectGroup%1").arg(k + 1))->isVisible());
    QTest::keyClick(&app.mainWindow(), Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 5);
    QVERIFY(app.notesEditor().isVisible());
    QVERIFY(app.sectionView().captionLine().text().startsWith(QStringLiteral("Notes file")));
    QCOMPARE(app.sectionView().sectionCaption().text(), QStringLiteral("Notes text editor"));
}

void MainWindowTest::sectionWithOnlyGrid2FillsTheHeight() {
    ProgramFolder folder(records({"FOnly", "PGrid two", "A3070", "OFirst", "OSecond", "PBoth", "C2",
                                  "C23070", "OA", "A3070", "OB"}));
    dialogs().expectMessage(QStringLiteral("Invalid line in zqw.sel file: C2"));
    useProgramDir(folder.path());
    EditorApp& app = start();
    QVERIFY(!app.sectionView().grid(1).isVisible());
    QVERIFY(app.sectionView().grid(2).isVisible());
    QCOMPARE(cellText(app, 2, 1, 0), QStringLiteral("First"));
    QVERIFY(app.sectionView().grid(2).isEditing());
    QCOMPARE(app.sectionView().grid(2).activeColumn(), 1);
    const int fullHeight = app.sectionView().grid(2).height();
    app.sectionView().selectSection(1);
    QVERIFY(app.sectionView().grid(1).isVisible());
    QVERIFY(app.sectionView().grid(2).isVisible());
    QCOMPARE(app.sectionView().grid(1).height(), app.sectionView().grid(2).height());
    QCOMPARE(app.sectionView().grid(1).height(), fullHeight / 2);
    QCOMPARE(app.sectionView().grid(2).y(), app.sectionView().grid(1).height());
}

void MainWindowTest::bothGridsShareTheHeight() {
    EditorApp& app = start();
    app.mainWindow().resize(900, 700);
    app.sectionView().selectGroup(2);
    QVERIFY(app.sectionView().grid(1).isVisible());
    QVERIFY(app.sectionView().grid(2).isVisible());
    QCOMPARE(app.sectionView().grid(1).width(), app.sectionView().printColumnWidth() + 4);
    QCOMPARE(app.sectionView().grid(1).height(), app.sectionView().grid(2).height());
}

void MainWindowTest::columnDragPastThePrintWidthIsCut() {
    EditorApp& app = start();
    app.mainWindow().resize(900, 700);
    zqw::Card& card = app.document().card();
    const int W = app.sectionView().printColumnWidth();
    const zqw::Section& section = card.sections[0];
    QHeaderView* header = app.sectionView().grid(1).horizontalHeader();
    header->resizeSection(1, W);  // the answer column as wide as the whole print column
    const int label = app.sectionView().grid(1).columnWidth(0);
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
    EditorApp& app = start();
    zqw::Card& card = app.document().card();
    card.rows[card.lines[card.sections[0].firstLine + 1].firstRow].noteNo = 14;
    CardGrid& grid = app.sectionView().grid(1);
    const auto hover = [&grid](int row) {
        QTest::mouseMove(grid.viewport(),
                         grid.visualRect(grid.gridModel().index(row - 1, 1)).center());
    };
    hover(2);
    QCOMPARE(grid.toolTip(), QStringLiteral("14"));
    hover(1);
    QCOMPARE(grid.toolTip(), QString());
}

void MainWindowTest::escapeReturnsFromTheNotesToTheCell() {
    EditorApp& app = start();
    app.sectionView().selectGroup(1);
    app.sectionView().selectSection(2);
    app.sectionView().grid(1).setActiveCell(2, 0);
    app.sectionView().selectGroup(7);
    QVERIFY(app.notesEditor().isVisible());
    QCOMPARE(app.sectionView().returnPosition().group, 1);
    QTest::keyClick(&app.notesEditor(), Qt::Key_Escape);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 1);
    QCOMPARE(app.sectionView().sectionTabs().currentIndex(), 2);
    QCOMPARE(app.sectionView().grid(1).activeRow(), 2);
    QVERIFY(app.sectionView().grid(1).isEditing());
    QCOMPARE(app.sectionView().returnPosition().group, -1);
}

void MainWindowTest::menuShortcutRunsTheMenuHandlerFirst() {
    EditorApp& app = start();
    app.document().card().notesOpen = false;
    // Ctrl+Shift+S: the Notes menu's handler disables Save with the notes
    // closed, so the item does not run; the item itself stays in the menu.
    QAction* save = app.action(QStringLiteral("saveNotes"));
    save->setEnabled(true);
    QTest::keyClick(&app.mainWindow(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!MenuActions::itemEnabled(save));
    // A hidden item still answers its shortcut: Shift+F2 picks right tab 2.
    app.sectionView().selectGroup(1);
    QVERIFY(app.action(QStringLiteral("selectSection2"))->isVisible());
    app.action(QStringLiteral("selectSection2"))->setVisible(false);
    QTest::keyClick(&app.mainWindow(), Qt::Key_F2, Qt::ShiftModifier);
    QCOMPARE(app.sectionView().sectionTabs().currentIndex(), 1);
}

void MainWindowTest::displayFontDialogAppliesOrCancels() {
    EditorApp& app = start();
    const auto choose = [](const QString& name, int size, bool ok) {
        return [name, size, ok](QDialog& dialog) {
            dialog.findChild<QComboBox*>(QStringLiteral("fontName"))->setCurrentText(name);
            dialog.findChild<QSpinBox*>(QStringLiteral("fontSize"))->setValue(size);
            QTest::mouseClick(dialog.findChild<QPushButton*>(ok ? QStringLiteral("okButton")
                                                                : QStringLiteral("cancelButton")),
                              Qt::LeftButton);
            return dialog.result();
        };
    };
    dialogs().expectDialog(QStringLiteral("Select convention card font"),
                           choose(QStringLiteral("Courier"), 12, true));
    app.optionsCommands().chooseCardFont();
    QCOMPARE(app.settings().displayFont().family(), QStringLiteral("CardCourier"));
    QCOMPARE(app.sectionView().groupTabs().font().pointSize(), 12);
    QCOMPARE(app.sectionView().grid(1).font().family(), QStringLiteral("CardCourier"));
    QCOMPARE(app.sectionView().captionLine().font().pointSize(), 12);

    dialogs().expectDialog(QStringLiteral("Select convention card font"),
                           choose(QStringLiteral("Times"), 9, false));
    app.optionsCommands().chooseCardFont();
    QCOMPARE(app.settings().displayFont().family(), QStringLiteral("CardCourier"));
    QCOMPARE(app.sectionView().grid(2).font().pointSize(), 12);
}

void MainWindowTest::missingTemplateEndsTheStartAndWritesNothing() {
    // The last card is a filled card of the user's; without a template the
    // editor has no card to show it in, and must not write a blank one over
    // it at any later save.
    const QString cardPath = session().path(QStringLiteral("filled.ccf"));
    const QByteArray filled = readBytes(QStringLiteral(ZQW_SOURCE_DIR "/tests/cli/fixture.ccf"));
    QVERIFY(filled.size() > 100);
    writeBytes(cardPath, filled);
    QVERIFY(session().settings().writeIni("[setup]\r\nfile=" + cardPath.toUtf8() + "\r\n"));
    const QByteArray settingsBefore = readBytes(iniPath());
    QTemporaryDir empty;
    useProgramDir(empty.path());
    dialogs().expectMessage(QStringLiteral("zqw.sel file not found"));

    EditorApp& app = start();
    QVERIFY(!app.isReady());
    QVERIFY(!app.document().hasTemplate());
    QVERIFY(!app.document().save());
    QVERIFY(!app.document().saveAs(cardPath));
    session().stop();

    QCOMPARE(readBytes(cardPath), filled);
    QCOMPARE(readBytes(iniPath()), settingsBefore);
}

void MainWindowTest::manySectionsDoNotBreakTheRightMenu() {
    QList<QByteArray> lines = {"FMany"};
    for (int s = 0; s < 12; ++s)
        lines << "PSection " + QByteArray::number(s + 1) << "C195"
              << "L01";
    ProgramFolder folder(records(lines));
    useProgramDir(folder.path());
    EditorApp& app = start();
    QCOMPARE(app.sectionView().sectionTabs().count(), 12);
    for (int k = 0; k < 10; ++k)
        QVERIFY(app.action(QStringLiteral("selectSection%1").arg(k + 1))->isVisible());
    app.sectionView().selectSection(11);
    QCOMPARE(app.sectionView().sectionCaption().text(), QStringLiteral("Section 12"));
}

void MainWindowTest::tabAndArrowKeysMoveBetweenCells() {
    EditorApp& app = start();
    app.sectionView().selectGroup(2);
    app.sectionView().selectSection(1);  // opening leads: label, two answer columns
    CardGrid& grid = app.sectionView().grid(1);
    grid.startEditing(true);
    QTest::keyClicks(grid.editor(), QStringLiteral("first"));
    QTest::keyClick(grid.editor(), Qt::Key_Tab);
    QCOMPARE(grid.activeColumn(), 2);
    QTest::keyClicks(grid.editor(), QStringLiteral("second"));
    // Past the next row's label, which takes no typing, to its first answer.
    QTest::keyClick(grid.editor(), Qt::Key_Tab);
    QCOMPARE(grid.activeRow(), 2);
    QCOMPARE(grid.activeColumn(), 1);
    QTest::keyClicks(grid.editor(), QStringLiteral("third"));
    QTest::keyClick(grid.editor(), Qt::Key_Backtab);  // back past the label again
    QCOMPARE(grid.activeRow(), 1);
    QCOMPARE(grid.activeColumn(), 2);
    QTest::keyClick(grid.editor(), Qt::Key_Down);
    QTest::keyClick(grid.editor(), Qt::Key_Up);
    QCOMPARE(grid.activeRow(), 1);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("first"));
    QCOMPARE(cellText(app, 1, 1, 2), QStringLiteral("second"));
    QCOMPARE(cellText(app, 1, 2, 1), QStringLiteral("third"));
    QVERIFY(grid.editor()->hasFocus());

    // A click on a label makes it the active cell; typing then goes into
    // the row's first answer cell, never into a search of the labels.
    const QRect label = grid.visualRect(grid.gridModel().index(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, label.center());
    QCOMPARE(grid.activeColumn(), 0);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("z"));
    QCOMPARE(grid.activeRow(), 3);
    QCOMPARE(grid.activeColumn(), 1);
    QCOMPARE(grid.editor()->text(), QStringLiteral("z"));
}

void MainWindowTest::rightClickOnAnotherCellOpensItsPrompts() {
    EditorApp& app = start();
    app.sectionView().selectGroup(1);
    app.sectionView().selectSection(1);  // special methods: every line offers prompts
    CardGrid& grid = app.sectionView().grid(1);
    QCOMPARE(grid.activeRow(), 1);
    const QRect third = grid.visualRect(grid.gridModel().index(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::NoModifier, third.center());
    QCOMPARE(grid.activeRow(), 3);
    QVERIFY(grid.isEditing());
    PromptListWindow& prompts = app.promptController().promptList();
    QTRY_VERIFY(prompts.isVisible());
    QVERIFY(prompts.listBox().count() > 0);
}

void MainWindowTest::narrowWindowShowsTheMenuBarArrow() {
    // The arrow is loaded only when first drawn: it must still be the
    // style's own arrow when the menus stop fitting.
    EditorApp& app = start();
    MainWindow& window = app.mainWindow();
    window.resize(120, window.height());
    auto* arrow =
        window.menuBar()->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    QVERIFY(arrow);
    QTRY_VERIFY(arrow->isVisible());
    const QImage shown = arrow->icon().pixmap(QSize(16, 16)).toImage();
    auto* proxy = qobject_cast<QProxyStyle*>(QApplication::style());
    QVERIFY(proxy);
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(proxy->baseStyle()->name()));
    QVERIFY(plain);
    const QImage expected = plain->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)
                                .pixmap(QSize(16, 16))
                                .toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
    bool drawn = false;
    for (int y = 0; y < shown.height() && !drawn; ++y)
        for (int x = 0; x < shown.width() && !drawn; ++x) drawn = qAlpha(shown.pixel(x, y)) != 0;
    QVERIFY2(drawn, "the arrow is blank");
}

ZQW_GUI_TEST(MainWindowTest)
#include "mainwindow_test.moc"
