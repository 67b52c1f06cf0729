// The Notes menu, the note number dialog and F3 driven as a user would, with
// every question and dialog answered from a script and real files on disk.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "files/tgetnote.h"
#include "files/updownspinner.h"
#include "guitestsupport.h"
#include "mainwindow/editorapp.h"
#include "mainwindow/truvcce.h"

namespace {

using Answer = UserDialogs::Answer;

constexpr int kNotAsked = -1;
constexpr int kNotesGroup = 7;  // the bundled template's last top tab

const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");
const QString kSaveNotes = QStringLiteral("Do you wish to save the current notes file");
const QString kLink = QStringLiteral("Link the current notes file to the current card");
const QString kNoteDialog = QStringLiteral("Select note number");

// The note number of a grid row, read from the card.
int noteOf(TRUVCCE& window, int group, int sectionTab, int grid, int row) {
    zqw::Card& card = window.card();
    const int section = card.sectionIndexOf(group, sectionTab);
    if (section < 0) return -999;
    const int index = card.findGridRow(section, grid, row).row;
    return index > 0 ? card.rows[index].noteNo : -999;
}

// Puts a grid's active cell in editing, as a click into it would.
void goToCell(TRUVCCE& window, int group, int sectionTab, int grid, int row, int column) {
    window.TT11Click(group);
    window.RT11Click(sectionTab);
    CardGrid& view = window.grid(grid);
    QVERIFY(view.isVisible());
    view.setFocus();
    QVERIFY(editCell(window, grid, row, column));
    view.editor()->setFocus();
    QCOMPARE(window.ActiveGrid, grid);
}

// Answers the note number dialog: keeps what it showed, types over it and
// presses OK or Cancel.
std::function<int(QDialog&)> noteDialog(const QString& typed, bool ok, QString* shown = nullptr) {
    return [typed, ok, shown](QDialog& dialog) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("NoteNum"));
        auto* button = dialog.findChild<QPushButton*>(ok ? QStringLiteral("Button1")
                                                         : QStringLiteral("Button2"));
        if (!field || !button) return int(QDialog::Rejected);
        if (shown) *shown = field->text();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QTest::mouseClick(button, Qt::LeftButton);
        return dialog.result();
    };
}

QStringList rightCaptions(TRUVCCE& window) {
    QStringList captions;
    for (int i = 0; i < window.rightTabs().count(); ++i) captions << window.rightTabs().tabText(i);
    return captions;
}

int visibleRightItems(TRUVCCE& window) {
    int count = 0;
    for (int k = 1; k <= 10; ++k)
        count += window.actionNamed(QStringLiteral("RT%1").arg(k))->isVisible() ? 1 : 0;
    return count;
}

enum class SaveTo { NotShown, Cancelled, GoodPath };

}  // namespace

Q_DECLARE_METATYPE(SaveTo)

class NotesCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { session_ = std::make_unique<EditorSession>(); }
    void cleanup() {
        session_->verifyDialogs();
        session_.reset();
    }

    void noteNumberDialogLooksRight();
    void noteNumberField_data();
    void noteNumberField();

    void f3AttachesANote_data();
    void f3AttachesANote();
    void f3WithZeroRemovesTheNote_data();
    void f3WithZeroRemovesTheNote();
    void f3CancelledChangesNothing();
    void f3AgainUsesTheTabWithoutSearching();
    void f3OnTheNotesDoesNothing();
    void escapeReturnsToTheCell_data();
    void escapeReturnsToTheCell();

    void notesNew_data();
    void notesNew();
    void notesLoad_data();
    void notesLoad();
    void loadTurns8EInto81_data();
    void loadTurns8EInto81();
    void tabIsSavedAsASpace();
    void notesSave_data();
    void notesSave();
    void notesClose_data();
    void notesClose();
    void link_data();
    void link();
    void notesMenuFollowsNotesOpen();
    void notesOpenFollowsItsEvents();
    void cardAndNotesComeBackAfterARestart();

private:
    TRUVCCE& start() { return session_->start(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    QString path(const QString& name) const { return session_->path(name); }
    // Scripts the notes save dialog as a table row asks: not shown, cancelled
    // or answered with the path given.
    void scriptSaveDialog(SaveTo saveTo, const QString& chosen) {
        if (saveTo == SaveTo::GoodPath) dialogs().expectSaveFile(chosen, kNotesFilter);
        if (saveTo == SaveTo::Cancelled) dialogs().expectSaveFile(std::nullopt, kNotesFilter);
    }
    // Loads a notes file by Notes > Load (the notes are not modified).
    void loadNotes(TRUVCCE& window, const QString& file, const QByteArray& bytes) {
        writeBytes(file, bytes);
        dialogs().expectOpenFile(file, kNotesFilter);
        chooseMenuItem(window, "load2");
        QCOMPARE(window.notesEditor().fileName(), file);
    }
    // Gives the notes the text and state a table row asks for.
    void prepareNotes(TRUVCCE& window, bool named, bool modified) {
        if (named) loadNotes(window, path(QStringLiteral("named.txt")), "Named notes\r\n");
        if (modified) {
            window.notesEditor().setCaret(1, 100);
            window.notesEditor().insertPlainText(QStringLiteral(" typed"));
        }
    }

    std::unique_ptr<EditorSession> session_;
};

// --- the note number dialog ---------------------------------------------------

void NotesCommandsTest::noteNumberDialogLooksRight() {
    Tgetnote dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select note number"));
    QCOMPARE(dialog.size(), QSize(286, 156));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Enter the note number:"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
    auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("Button2"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(dialog.findChild<UpDownSpinner*>(QStringLiteral("OvcSpinner1")));

    // Return is OK, Esc is Cancel.
    dialog.setNoteNumber(4);
    dialog.show();
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("NoteNum")), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    dialog.show();
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("NoteNum")), Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void NotesCommandsTest::noteNumberField_data() {
    QTest::addColumn<int>("initial");
    QTest::addColumn<QString>("typed");  // typed over the selected number
    QTest::addColumn<int>("ups");
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");

    QTest::newRow("digits typed") << 0 << "12" << 0 << 0 << "12" << 12;
    QTest::newRow("three digits at most") << 0 << "12345" << 0 << 0 << "123" << 123;
    QTest::newRow("no sign, no letters") << 0 << "-4x5" << 0 << 0 << "45" << 45;
    QTest::newRow("emptied field counts as 0") << 7 << "\b" << 0 << 0 << "" << 0;
    QTest::newRow("spinner up and down") << 5 << "" << 3 << 1 << "7" << 7;
    QTest::newRow("spinner past three digits") << 999 << "" << 1 << 0 << "1000" << 1000;
    QTest::newRow("spinner below zero") << 0 << "" << 0 << 1 << "-1" << -1;
    QTest::newRow("spinner stops at the top") << 32767 << "" << 2 << 0 << "32767" << 32767;
    QTest::newRow("spinner on an emptied field") << 9 << "\b" << 1 << 0 << "1" << 1;
}

void NotesCommandsTest::noteNumberField() {
    QFETCH(int, initial);
    QFETCH(QString, typed);
    QFETCH(int, ups);
    QFETCH(int, downs);
    QFETCH(QString, shown);
    QFETCH(int, value);
    Tgetnote dialog;
    dialog.setNoteNumber(initial);
    dialog.show();
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("NoteNum"));
    auto* spinner = dialog.findChild<UpDownSpinner*>(QStringLiteral("OvcSpinner1"));
    QCOMPARE(field->text(), QString::number(initial));
    QCOMPARE(field->selectedText(), QString::number(initial));
    QTest::keyClicks(field, typed);
    for (int i = 0; i < ups; ++i) QTest::mouseClick(spinner->upButton(), Qt::LeftButton);
    for (int i = 0; i < downs; ++i) QTest::mouseClick(spinner->downButton(), Qt::LeftButton);
    QCOMPARE(field->text(), shown);
    QCOMPARE(dialog.noteNumber(), value);
}

// --- F3 --------------------------------------------------------------------------

void NotesCommandsTest::f3AttachesANote_data() {
    QTest::addColumn<QString>("notesBefore");
    QTest::addColumn<bool>("tabsOn");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("notesAfter");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("caretColumn");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("new number: heading appended")
        << "Intro" << true << 12 << "Intro\nNote:..12:" << 2 << 11
        << QStringList{QStringLiteral("12")};
    QTest::newRow("empty notes") << "" << true << 999 << "\nNote:..999:" << 2 << 12
                                 << QStringList{QStringLiteral("999")};
    QTest::newRow("existing heading found")
        << "Intro\nNote:..12: old\nmore" << true << 12 << "Intro\nNote:..12: old\nmore" << 2 << 10
        << QStringList{QStringLiteral("12")};
    QTest::newRow("note 1 found at note 12's heading")
        << "Note:..12: twelve" << true << 1 << "Note:..12: twelve" << 1 << 9
        << QStringList{QStringLiteral("1")};
    QTest::newRow("heading typed in small letters")
        << "x\nnote:..7: mine" << true << 7 << "x\nnote:..7: mine" << 2 << 9
        << QStringList{QStringLiteral("7")};
    QTest::newRow("tabs option off")
        << "Intro" << false << 12 << "Intro\nNote:..12:" << 2 << 11 << QStringList{QString()};
}

void NotesCommandsTest::f3AttachesANote() {
    QFETCH(QString, notesBefore);
    QFETCH(bool, tabsOn);
    QFETCH(int, number);
    QFETCH(QString, notesAfter);
    QFETCH(int, caretLine);
    QFETCH(int, caretColumn);
    QFETCH(QStringList, captions);
    TRUVCCE& window = start();
    window.notesEditor().setPlainText(notesBefore);
    if (!tabsOn) window.actionNamed(QStringLiteral("NoteTabs1"))->trigger();
    QCOMPARE(window.actionNamed(QStringLiteral("NoteTabs1"))->isChecked(), tabsOn);
    goToCell(window, 2, 1, 1, 2, 1);
    QVERIFY(!window.card().isModified);

    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QString::number(number), true, &shown));
    QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QStringLiteral("0"));
    QCOMPARE(noteOf(window, 2, 1, 1, 2), number);
    QVERIFY(window.card().isModified);
    QCOMPARE(window.topTabs().currentIndex(), kNotesGroup);
    QVERIFY(window.notesEditor().isVisible());
    QCOMPARE(window.notesEditor().toPlainText(), notesAfter);
    QCOMPARE(window.notesEditor().caretLine(), caretLine);
    QCOMPARE(window.notesEditor().caretColumn(), caretColumn);
    QCOMPARE(rightCaptions(window), captions);
    QCOMPARE(window.rightTabs().currentIndex(), 0);
    QCOMPARE(window.noteTabs().NoteTabCount, tabsOn ? 1 : 0);
    // One tab leaves one "Right" item; no tabs leave none.
    QCOMPARE(visibleRightItems(window), tabsOn ? 1 : 0);
    QCOMPARE(window.NoteReturnPosition.group, 2);
}

void NotesCommandsTest::f3WithZeroRemovesTheNote_data() {
    QTest::addColumn<int>("noteBefore");
    QTest::newRow("cell without a note") << 0;
    QTest::newRow("cell with note 5") << 5;
}

void NotesCommandsTest::f3WithZeroRemovesTheNote() {
    QFETCH(int, noteBefore);
    TRUVCCE& window = start();
    window.notesEditor().setPlainText(QStringLiteral("Note:..5: five"));
    goToCell(window, 0, 0, 1, 3, 1);
    zqw::Card& card = window.card();
    card.rows[card.findGridRow(0, 1, 3).row].noteNo = noteBefore;

    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("0"), true, &shown));
    QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QString::number(noteBefore));
    QCOMPARE(noteOf(window, 0, 0, 1, 3), 0);
    QVERIFY(card.isModified);
    QCOMPARE(window.topTabs().currentIndex(), 0);
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("Note:..5: five"));
    QCOMPARE(window.noteTabs().NoteTabCount, 0);
}

void NotesCommandsTest::f3CancelledChangesNothing() {
    TRUVCCE& window = start();
    window.notesEditor().setPlainText(QStringLiteral("Intro"));
    goToCell(window, 0, 0, 1, 2, 1);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("44"), false));
    QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);
    QCOMPARE(noteOf(window, 0, 0, 1, 2), 0);
    QVERIFY(!window.card().isModified);
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("Intro"));
    QCOMPARE(window.topTabs().currentIndex(), 0);
    QCOMPARE(window.noteTabs().NoteTabCount, 0);
}

void NotesCommandsTest::f3AgainUsesTheTabWithoutSearching() {
    TRUVCCE& window = start();
    window.notesEditor().setPlainText(QStringLiteral("Intro"));
    goToCell(window, 1, 0, 1, 1, 0);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true));
    QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);
    QCOMPARE(window.notesEditor().caretLine(), 2);

    // Lines typed above the heading move it; the tab keeps its place.
    QTest::keyClick(&window.notesEditor(), Qt::Key_Escape);
    QCOMPARE(window.topTabs().currentIndex(), 1);
    window.notesEditor().setCaret(1, 1);
    window.notesEditor().insertPlainText(QStringLiteral("A\nB\n"));
    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true, &shown));
    QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QStringLiteral("12"));
    QCOMPARE(window.topTabs().currentIndex(), kNotesGroup);
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("A\nB\nIntro\nNote:..12:"));
    QCOMPARE(window.notesEditor().caretLine(), 2);
    QCOMPARE(window.notesEditor().caretColumn(), 2);  // the stored column, cut to line 2's "B"
    QCOMPARE(window.noteTabs().NoteTabCount, 1);
}

void NotesCommandsTest::f3OnTheNotesDoesNothing() {
    TRUVCCE& window = start();
    window.TT11Click(kNotesGroup);
    window.notesEditor().setPlainText(QStringLiteral("Intro"));
    QTest::keyClick(&window.notesEditor(), Qt::Key_F3);  // no dialog is expected
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("Intro"));
    QVERIFY(!window.card().isModified);
}

void NotesCommandsTest::escapeReturnsToTheCell_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("sectionTab");
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("first group") << 0 << 0 << 1 << 3 << 1;
    QTest::newRow("later section, second column") << 2 << 1 << 1 << 2 << 2;
    QTest::newRow("second grid") << 2 << 0 << 2 << 1 << 1;
}

void NotesCommandsTest::escapeReturnsToTheCell() {
    QFETCH(int, group);
    QFETCH(int, sectionTab);
    QFETCH(int, grid);
    QFETCH(int, row);
    QFETCH(int, column);
    TRUVCCE& window = start();
    goToCell(window, group, sectionTab, grid, row, column);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("8"), true));
    QTest::keyClick(window.grid(grid).editor(), Qt::Key_F3);
    QCOMPARE(noteOf(window, group, sectionTab, grid, row), 8);
    QCOMPARE(window.topTabs().currentIndex(), kNotesGroup);

    QTest::keyClick(&window.notesEditor(), Qt::Key_Escape);

    QCOMPARE(window.topTabs().currentIndex(), group);
    QCOMPARE(window.rightTabs().currentIndex(), sectionTab);
    QCOMPARE(window.grid(grid).activeRow(), row);
    QCOMPARE(window.grid(grid).activeColumn(), column);
    QVERIFY(window.grid(grid).isEditing());
}

// --- the Notes menu ------------------------------------------------------------

void NotesCommandsTest::notesNew_data() {
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("folderGone");  // the named notes' folder was removed
    QTest::addColumn<bool>("cleared");

    QTest::newRow("not modified: no question")
        << true << false << kNotAsked << SaveTo::NotShown << false << true;
    QTest::newRow("modified, No") << true << true << int(Answer::No) << SaveTo::NotShown << false
                                  << true;
    QTest::newRow("modified, Cancel")
        << true << true << int(Answer::Cancel) << SaveTo::NotShown << false << false;
    QTest::newRow("named, Yes: saved to its file")
        << true << true << int(Answer::Yes) << SaveTo::NotShown << false << true;
    QTest::newRow("unnamed, Yes, name chosen")
        << false << true << int(Answer::Yes) << SaveTo::GoodPath << false << true;
    QTest::newRow("unnamed, Yes, dialog cancelled")
        << false << true << int(Answer::Yes) << SaveTo::Cancelled << false << false;
    QTest::newRow("named, Yes, save fails")
        << true << true << int(Answer::Yes) << SaveTo::NotShown << true << false;
}

void NotesCommandsTest::notesNew() {
    QFETCH(bool, named);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, folderGone);
    QFETCH(bool, cleared);
    TRUVCCE& window = start();
    const QString namedPath =
        folderGone ? path(QStringLiteral("gone/named.txt")) : path(QStringLiteral("named.txt"));
    if (folderGone) QVERIFY(QDir().mkpath(path(QStringLiteral("gone"))));
    if (named) loadNotes(window, namedPath, "Named notes\r\n");
    if (folderGone) QVERIFY(QDir(path(QStringLiteral("gone"))).removeRecursively());
    if (!named) window.notesEditor().setPlainText(QStringLiteral("Named notes"));
    if (modified) {
        window.notesEditor().setCaret(1, 100);
        window.notesEditor().insertPlainText(QStringLiteral(" typed"));
    }
    window.card().notesFileName = "/linked/elsewhere.txt";
    window.noteTabs().AddNoteTab(5);
    window.TT11Click(kNotesGroup);
    const QString before = window.notesEditor().toPlainText();

    if (answer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(answer));
    const QString chosen = path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    if (folderGone) dialogs().expectMessage(QStringLiteral("Cannot create file ") + namedPath);
    window.LastAnswer = Answer::Cancel;

    chooseMenuItem(window, "New3");

    NotesTextEditor& notes = window.notesEditor();
    if (answer != kNotAsked) QCOMPARE(int(window.LastAnswer), answer);
    const bool yesSaved = answer == int(Answer::Yes) && !folderGone && saveTo != SaveTo::Cancelled;
    if (yesSaved)
        QCOMPARE(readBytes(named ? namedPath : chosen), QByteArray("Named notes typed\r\n"));
    if (named && !yesSaved && !folderGone)
        QCOMPARE(readBytes(namedPath), QByteArray("Named notes\r\n"));
    QCOMPARE(QFileInfo::exists(chosen), saveTo == SaveTo::GoodPath);
    if (cleared) {
        QCOMPARE(notes.toPlainText(), QString());
        QCOMPARE(notes.fileName(), QString());
        QVERIFY(!notes.isModified());
        QCOMPARE(window.noteTabs().NoteTabCount, 0);
        QCOMPARE(window.captionLine().text(), QStringLiteral("Notes file: "));
        QCOMPARE(rightCaptions(window), QStringList{QString()});
    } else {
        QCOMPARE(notes.toPlainText(), before);
        QVERIFY(notes.isModified());
        QCOMPARE(window.noteTabs().NoteTabCount, 1);
    }
    QVERIFY(window.card().notesOpen);
    QVERIFY(notes.isInputEnabled());
    QCOMPARE(window.card().notesFileName, std::string("/linked/elsewhere.txt"));
}

void NotesCommandsTest::notesLoad_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<QString>("chosen");  // "file", "missing", "cancel", or "" for no open dialog
    QTest::addColumn<bool>("loaded");

    QTest::newRow("not modified") << false << kNotAsked << SaveTo::NotShown << "file" << true;
    QTest::newRow("dialog cancelled")
        << false << kNotAsked << SaveTo::NotShown << "cancel" << false;
    QTest::newRow("file missing: notes kept")
        << false << kNotAsked << SaveTo::NotShown << "missing" << false;
    QTest::newRow("modified, No") << true << int(Answer::No) << SaveTo::NotShown << "file" << true;
    QTest::newRow("modified, Cancel")
        << true << int(Answer::Cancel) << SaveTo::NotShown << "" << false;
    QTest::newRow("modified, Yes, saved")
        << true << int(Answer::Yes) << SaveTo::GoodPath << "file" << true;
    QTest::newRow("modified, Yes, dialog cancelled")
        << true << int(Answer::Yes) << SaveTo::Cancelled << "" << false;
}

void NotesCommandsTest::notesLoad() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(QString, chosen);
    QFETCH(bool, loaded);
    const QString file = path(QStringLiteral("other notes.txt"));
    writeBytes(file, "Note:..3: other\r\nsecond\r\n");
    TRUVCCE& window = start();
    window.TT11Click(kNotesGroup);
    window.noteTabs().AddNoteTab(3);
    chooseMenuItem(window, "Close2");  // loading opens closed notes again
    QVERIFY(!window.card().notesOpen);
    window.notesEditor().setPlainText(QStringLiteral("Current"));
    window.notesEditor().document()->setModified(modified);

    if (answer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(answer));
    const QString saved = path(QStringLiteral("saved.txt"));
    scriptSaveDialog(saveTo, saved);
    const QString missing = path(QStringLiteral("missing.txt"));
    if (chosen == QLatin1String("file")) dialogs().expectOpenFile(file, kNotesFilter);
    if (chosen == QLatin1String("cancel")) dialogs().expectOpenFile(std::nullopt, kNotesFilter);
    if (chosen == QLatin1String("missing")) {
        dialogs().expectOpenFile(missing, kNotesFilter);
        dialogs().expectMessage(QStringLiteral("Cannot open file ") + missing);
    }

    chooseMenuItem(window, "load2");

    NotesTextEditor& notes = window.notesEditor();
    if (saveTo == SaveTo::GoodPath) QCOMPARE(readBytes(saved), QByteArray("Current\r\n"));
    if (!chosen.isEmpty())
        QCOMPARE(dialogs().lastFileRequest().defaultExtension, QStringLiteral("txt"));
    if (loaded) {
        QCOMPARE(notes.toPlainText(), QStringLiteral("Note:..3: other\nsecond\n"));
        QCOMPARE(notes.fileName(), file);
        QVERIFY(!notes.isModified());
        QVERIFY(window.card().notesOpen);
        QVERIFY(notes.isInputEnabled());
        QCOMPARE(window.noteTabs().NoteTabCount, 0);
        QCOMPARE(window.captionLine().text(), QStringLiteral("Notes file: other notes.txt"));
        // Loading links nothing.
        QVERIFY(window.card().notesFileName.empty());
    } else {
        QCOMPARE(notes.toPlainText(), QStringLiteral("Current"));
        QCOMPARE(notes.isModified(), modified);
        QVERIFY(!window.card().notesOpen);
        QCOMPARE(window.noteTabs().NoteTabCount, 1);
        QCOMPARE(window.captionLine().text(), QStringLiteral("Notes file closed"));
    }
}

void NotesCommandsTest::loadTurns8EInto81_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QByteArray>("savedAs");

    const QString c81(QChar(0x81));
    QTest::newRow("0x8E replaced") << QByteArray(
                                          "A\x8E"
                                          "B \x8E\r\n")
                                   << QStringLiteral("A%1B %1\n").arg(c81) << true
                                   << QByteArray(
                                          "A\x81"
                                          "B \x81\r\n");
    // The replacement compares letters without regard to case, so the
    // small letter of 0x8E goes the same way.
    QTest::newRow("its small letter too")
        << QByteArray("z\x9E\r\n") << QStringLiteral("z%1\n").arg(c81) << true
        << QByteArray("z\x81\r\n");
    QTest::newRow("other characters kept")
        << QByteArray("\x8A\x9A \xE9\r\n") << QStringLiteral("\u0160\u0161 \u00E9\n") << false
        << QByteArray("\x8A\x9A \xE9\r\n");
}

void NotesCommandsTest::loadTurns8EInto81() {
    QFETCH(QByteArray, file);
    QFETCH(QString, shown);
    QFETCH(bool, modified);
    QFETCH(QByteArray, savedAs);
    TRUVCCE& window = start();
    loadNotes(window, path(QStringLiteral("in.txt")), file);
    QCOMPARE(window.notesEditor().toPlainText(), shown);
    QCOMPARE(window.notesEditor().isModified(), modified);
    QCOMPARE(window.notesEditor().caretLine(), 1);
    QCOMPARE(window.notesEditor().caretColumn(), 1);
    dialogs().expectSaveFile(path(QStringLiteral("out.txt")), kNotesFilter);
    chooseMenuItem(window, "SaveAs2");
    QCOMPARE(readBytes(path(QStringLiteral("out.txt"))), savedAs);
    QCOMPARE(readBytes(path(QStringLiteral("in.txt"))), file);
}

void NotesCommandsTest::tabIsSavedAsASpace() {
    TRUVCCE& window = start();
    window.TT11Click(kNotesGroup);
    QTest::keyClicks(&window.notesEditor(), QStringLiteral("a"));
    QTest::keyClick(&window.notesEditor(), Qt::Key_Tab);
    QTest::keyClicks(&window.notesEditor(), QStringLiteral("b"));
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("a\tb"));
    const QString file = path(QStringLiteral("tab.txt"));
    dialogs().expectSaveFile(file, kNotesFilter);
    chooseMenuItem(window, "Save2");
    QCOMPARE(readBytes(file), QByteArray("a b\r\n"));
    dialogs().expectOpenFile(file, kNotesFilter);
    chooseMenuItem(window, "load2");
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("a b\n"));
}

void NotesCommandsTest::notesSave_data() {
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("folderGone");
    QTest::addColumn<bool>("written");

    QTest::newRow("not modified: nothing written")
        << true << false << SaveTo::NotShown << false << false;
    QTest::newRow("named, modified") << true << true << SaveTo::NotShown << false << true;
    QTest::newRow("unnamed, name chosen") << false << true << SaveTo::GoodPath << false << true;
    QTest::newRow("unnamed, dialog cancelled")
        << false << true << SaveTo::Cancelled << false << false;
    QTest::newRow("unnamed, not modified: no dialog")
        << false << false << SaveTo::NotShown << false << false;
    QTest::newRow("named, folder gone") << true << true << SaveTo::NotShown << true << false;
}

void NotesCommandsTest::notesSave() {
    QFETCH(bool, named);
    QFETCH(bool, modified);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, folderGone);
    QFETCH(bool, written);
    TRUVCCE& window = start();
    QVERIFY(QDir().mkpath(path(QStringLiteral("sub"))));
    const QString namedPath = path(QStringLiteral("sub/named.txt"));
    if (named) loadNotes(window, namedPath, "Named notes\r\n");
    if (!named) {
        window.notesEditor().setPlainText(QStringLiteral("Named notes"));
        window.notesEditor().document()->setModified(false);
    }
    if (modified) {
        window.notesEditor().setCaret(1, 100);
        window.notesEditor().insertPlainText(QStringLiteral(" typed"));
    }
    window.TT11Click(kNotesGroup);
    if (named && !folderGone) writeBytes(namedPath, "untouched");
    if (folderGone) {
        QVERIFY(QDir(path(QStringLiteral("sub"))).removeRecursively());
        dialogs().expectMessage(QStringLiteral("Cannot create file ") + namedPath);
    }
    const QString chosen = path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    const QString label = window.captionLine().text();

    chooseMenuItem(window, "Save2");

    const QString target = named ? namedPath : chosen;
    QCOMPARE(window.notesEditor().isModified(), modified && !written);
    if (written) {
        QCOMPARE(readBytes(target), QByteArray("Named notes typed\r\n"));
        QCOMPARE(window.notesEditor().fileName(), target);
        QCOMPARE(window.captionLine().text(),
                 QStringLiteral("Notes file: ") + QFileInfo(target).fileName());
    } else {
        if (named && !folderGone) QCOMPARE(readBytes(namedPath), QByteArray("untouched"));
        QVERIFY(!QFileInfo::exists(chosen));
        QCOMPARE(window.captionLine().text(), label);
    }
}

void NotesCommandsTest::notesClose_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("closed");

    QTest::newRow("not modified") << false << kNotAsked << SaveTo::NotShown << true;
    QTest::newRow("modified, No") << true << int(Answer::No) << SaveTo::NotShown << true;
    QTest::newRow("modified, Cancel") << true << int(Answer::Cancel) << SaveTo::NotShown << false;
    QTest::newRow("never saved, Yes, dialog cancelled: nothing changes")
        << true << int(Answer::Yes) << SaveTo::Cancelled << false;
    QTest::newRow("never saved, Yes, saved")
        << true << int(Answer::Yes) << SaveTo::GoodPath << true;
}

void NotesCommandsTest::notesClose() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, closed);
    TRUVCCE& window = start();
    window.card().notesFileName = "/linked/notes.txt";
    window.noteTabs().AddNoteTab(4);
    window.TT11Click(kNotesGroup);
    window.notesEditor().setPlainText(QStringLiteral("Some notes"));
    window.notesEditor().document()->setModified(modified);
    if (answer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(answer));
    const QString chosen = path(QStringLiteral("closing.txt"));
    scriptSaveDialog(saveTo, chosen);

    chooseMenuItem(window, "Close2");

    NotesTextEditor& notes = window.notesEditor();
    QCOMPARE(window.card().notesOpen, !closed);
    QCOMPARE(notes.isInputEnabled(), !closed);
    QCOMPARE(notes.toPlainText(), closed ? QString() : QStringLiteral("Some notes"));
    QCOMPARE(window.captionLine().text(),
             closed ? QStringLiteral("Notes file closed") : QStringLiteral("Notes file: "));
    if (closed) QCOMPARE(notes.fileName(), QString());
    if (!closed) QCOMPARE(notes.isModified(), modified);
    QCOMPARE(QFileInfo::exists(chosen), saveTo == SaveTo::GoodPath);
    if (saveTo == SaveTo::GoodPath) QCOMPARE(readBytes(chosen), QByteArray("Some notes\r\n"));
    // Close leaves the link and the note tabs.
    QCOMPARE(window.card().notesFileName, std::string("/linked/notes.txt"));
    QCOMPARE(window.noteTabs().NoteTabCount, 1);
    // Showing the notes again makes the editor usable again.
    window.TT11Click(0);
    window.TT11Click(kNotesGroup);
    QVERIFY(notes.isInputEnabled());
}

void NotesCommandsTest::link_data() {
    QTest::addColumn<QString>("notes");     // "unnamed" or "named"
    QTest::addColumn<QString>("linkedTo");  // NoteFileName before: "", "same", "other case"
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("saveFails");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<bool>("changed");

    QTest::newRow("unnamed, dialog cancelled")
        << "unnamed"
        << "" << SaveTo::Cancelled << false << kNotAsked << "Note file not linked to current card"
        << false << false;
    QTest::newRow("unnamed, saved, Yes")
        << "unnamed"
        << "" << SaveTo::GoodPath << false << int(Answer::Yes) << "" << true << true;
    QTest::newRow("unnamed, saved, No")
        << "unnamed"
        << "" << SaveTo::GoodPath << false << int(Answer::No) << "" << false << true;
    QTest::newRow("unnamed, save fails")
        << "unnamed"
        << "" << SaveTo::GoodPath << true << kNotAsked << "" << false << false;
    QTest::newRow("named, Yes") << "named"
                                << "" << SaveTo::NotShown << false << int(Answer::Yes) << "" << true
                                << true;
    QTest::newRow("named, already linked")
        << "named"
        << "same" << SaveTo::NotShown << false << kNotAsked
        << "Notes file already linked to current card" << true << false;
    QTest::newRow("named, linked in other letter case: asked")
        << "named"
        << "other case" << SaveTo::NotShown << false << int(Answer::No) << "" << false << false;
}

void NotesCommandsTest::link() {
    QFETCH(QString, notes);
    QFETCH(QString, linkedTo);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, saveFails);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(bool, linked);
    QFETCH(bool, changed);
    TRUVCCE& window = start();
    const QString namedPath = path(QStringLiteral("Named.txt"));
    if (notes == QLatin1String("named")) loadNotes(window, namedPath, "Named notes\r\n");
    if (notes == QLatin1String("unnamed"))
        window.notesEditor().setPlainText(QStringLiteral("Fresh notes"));
    QString before;
    if (linkedTo == QLatin1String("same")) before = namedPath;
    if (linkedTo == QLatin1String("other case")) before = path(QStringLiteral("named.txt"));
    window.card().notesFileName = before.toStdString();
    window.card().notesOpen = false;
    window.TT11Click(kNotesGroup);
    // The Notes menu offers Link only while the notes are open; the
    // shortcut-less handler is called as the item would be.
    const QString chosen =
        saveFails ? path(QStringLiteral("gone/chosen.txt")) : path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    if (saveFails) dialogs().expectMessage(QStringLiteral("Cannot create file ") + chosen);
    if (answer != kNotAsked) dialogs().expectQuestion(kLink, Answer(answer));
    if (!message.isEmpty()) dialogs().expectMessage(message);
    window.LastAnswer = Answer::Cancel;

    window.Setnotefile1Click();

    if (answer != kNotAsked) QCOMPARE(int(window.LastAnswer), answer);
    const QString expectedLink = linked ? window.notesEditor().fileName() : before;
    QCOMPARE(QString::fromStdString(window.card().notesFileName), expectedLink);
    QCOMPARE(window.card().isModified, changed);
    QCOMPARE(window.card().notesOpen, linked && linkedTo != QLatin1String("same"));
    if (saveTo == SaveTo::GoodPath && !saveFails) {
        QCOMPARE(readBytes(chosen), QByteArray("Fresh notes\r\n"));
        QCOMPARE(window.notesEditor().fileName(), chosen);
        QCOMPARE(window.captionLine().text(), QStringLiteral("Notes file: chosen.txt"));
    }
    if (linked) QVERIFY(!window.notesEditor().fileName().isEmpty());
}

void NotesCommandsTest::notesMenuFollowsNotesOpen() {
    TRUVCCE& window = start();
    const QStringList openItems = {QStringLiteral("Save2"), QStringLiteral("SaveAs2"),
                                   QStringLiteral("Close2"), QStringLiteral("Print2"),
                                   QStringLiteral("Setnotefile1")};
    const auto check = [&](bool open) {
        window.NoteFile1Click();
        for (const QString& name : openItems)
            QCOMPARE(TRUVCCE::itemEnabled(window.actionNamed(name)), open);
        QVERIFY(TRUVCCE::itemEnabled(window.actionNamed(QStringLiteral("New3"))));
        QVERIFY(TRUVCCE::itemEnabled(window.actionNamed(QStringLiteral("load2"))));
    };
    check(true);
    chooseMenuItem(window, "Close2");
    check(false);
    // Ctrl+K does nothing while the notes are closed.
    QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);  // Notes > New
    check(true);
}

void NotesCommandsTest::notesOpenFollowsItsEvents() {
    const QString cardPath = path(QStringLiteral("card.ccf"));
    TRUVCCE& window = start();
    QVERIFY(window.card().notesOpen);  // start-up
    const auto closeNotes = [&]() {
        chooseMenuItem(window, "Close2");
        QVERIFY(!window.card().notesOpen);
    };
    closeNotes();
    chooseMenuItem(window, "New3");
    QVERIFY(window.card().notesOpen);
    closeNotes();
    loadNotes(window, path(QStringLiteral("a.txt")), "a\r\n");
    QVERIFY(window.card().notesOpen);
    // Link: the notes were closed again after being loaded.
    window.card().notesOpen = false;
    dialogs().expectQuestion(kLink, Answer::Yes);
    window.Setnotefile1Click();
    QVERIFY(window.card().notesOpen);
    // Reading a card.
    dialogs().expectSaveFile(cardPath, QStringLiteral("Convention card files (*.ccf)|*.ccf"));
    chooseMenuItem(window, "SaveAs1");
    closeNotes();
    window.openCardOrPackage(cardPath);
    QVERIFY(window.card().notesOpen);
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("a\n"));
}

void NotesCommandsTest::cardAndNotesComeBackAfterARestart() {
    const QString cardPath = path(QStringLiteral("mine.ccf"));
    const QString notesPath = path(QStringLiteral("mine.txt"));
    {
        TRUVCCE& window = start();
        goToCell(window, 0, 0, 1, 1, 1);
        QTest::keyClicks(window.grid(1).editor(), QStringLiteral("North South"));
        QTest::keyClick(window.grid(1).editor(), Qt::Key_Down);
        QTest::keyClicks(window.grid(1).editor(), QStringLiteral("Strong 1}"));
        dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true));
        QTest::keyClick(window.grid(1).editor(), Qt::Key_F3);
        QTest::keyClicks(&window.notesEditor(), QStringLiteral(" 16+ any shape"));
        // Link the notes (Ctrl+K), then save the card (Ctrl+S) and exit.
        dialogs().expectSaveFile(notesPath, kNotesFilter);
        dialogs().expectQuestion(kLink, Answer::Yes);
        QTest::keyClick(&window.notesEditor(), Qt::Key_K, Qt::ControlModifier);
        dialogs().expectSaveFile(cardPath, QStringLiteral("Convention card files (*.ccf)|*.ccf"));
        QTest::keyClick(&window.notesEditor(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(window.windowTitle(), QStringLiteral("ZQW Convention card editor: ") + cardPath);
        QVERIFY(window.close());
        session_->stop();
    }
    QCOMPARE(readBytes(notesPath), QByteArray("\r\nNote:..12: 16+ any shape\r\n"));

    TRUVCCE& window = start();
    QCOMPARE(QString::fromStdString(window.card().cardFileName), cardPath);
    QCOMPARE(window.windowTitle(), QStringLiteral("ZQW Convention card editor: ") + cardPath);
    QCOMPARE(cellText(window, 1, 1, 1), QStringLiteral("North South"));
    QCOMPARE(cellText(window, 1, 2, 1), QStringLiteral("Strong 1}"));
    QCOMPARE(noteOf(window, 0, 0, 1, 2), 12);
    QCOMPARE(window.notesEditor().toPlainText(), QStringLiteral("\nNote:..12: 16+ any shape\n"));
    QCOMPARE(QString::fromStdString(window.card().notesFileName), notesPath);
    QVERIFY(!window.card().isModified);
}

QTEST_MAIN(NotesCommandsTest)
#include "notescommands_test.moc"
