// The Notes menu, the note number dialog and F3 driven as a user would, with
// every question and dialog answered from a script and real files on disk.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include "app/editorapp.h"
#include "card/filelimits.h"
#include "dialogs/notenumberdialog.h"
#include "dialogs/updownspinner.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"

namespace {

using Answer = UserDialogs::Answer;

constexpr int kNotAsked = -1;
constexpr int kNotesGroup = 7;  // the bundled template's last top tab

const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");
const QString kSaveNotes = QStringLiteral("Do you wish to save the current notes file");
const QString kLink = QStringLiteral("Link the current notes file to the current card");
const QString kNoteDialog = QStringLiteral("Select note number");

// The note number of a grid row, read from the card.
int noteOf(EditorApp& app, int group, int sectionTab, int grid, int row) {
    zqw::Card& card = app.document().card();
    const int section = card.sectionIndexOf(group, sectionTab);
    if (section < 0) return -999;
    const int index = card.findGridRow(section, grid, row).row;
    return index > 0 ? card.rows[index].noteNo : -999;
}

// Puts a grid's active cell in editing, as a click into it would.
void goToCell(EditorApp& app, int group, int sectionTab, int grid, int row, int column) {
    app.sectionView().selectGroup(group);
    app.sectionView().selectSection(sectionTab);
    CardGrid& view = app.sectionView().grid(grid);
    QVERIFY(view.isVisible());
    view.setFocus();
    QVERIFY(editCell(app, grid, row, column));
    view.editor()->setFocus();
    QCOMPARE(app.sectionView().activeGrid(), grid);
}

// Answers the note number dialog: keeps what it showed, types over it and
// presses OK or Cancel.
std::function<int(QDialog&)> noteDialog(const QString& typed, bool ok, QString* shown = nullptr) {
    return [typed, ok, shown](QDialog& dialog) {
        auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("noteNumber"));
        auto* button = dialog.findChild<QPushButton*>(ok ? QStringLiteral("okButton")
                                                         : QStringLiteral("cancelButton"));
        if (!field || !button) return int(QDialog::Rejected);
        if (shown) *shown = field->text();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QTest::mouseClick(button, Qt::LeftButton);
        return dialog.result();
    };
}

QStringList rightCaptions(EditorApp& app) {
    QStringList captions;
    for (int i = 0; i < app.sectionView().sectionTabs().count(); ++i)
        captions << app.sectionView().sectionTabs().tabText(i);
    return captions;
}

int visibleRightItems(EditorApp& app) {
    int count = 0;
    for (int k = 1; k <= 10; ++k)
        count += app.action(QStringLiteral("selectSection%1").arg(k))->isVisible() ? 1 : 0;
    return count;
}

enum class SaveTo { NotShown, Cancelled, GoodPath };

}  // namespace

Q_DECLARE_METATYPE(SaveTo)

class NotesCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        session_ = std::make_unique<EditorSession>();
        // Headings appended and found must never aim the caret past the text.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QTextCursor::setPosition")));
    }
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
    void savingCharactersANotesFileCannotHoldIsAsked_data();
    void savingCharactersANotesFileCannotHoldIsAsked();

private:
    EditorApp& start() { return session_->start(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    QString path(const QString& name) const { return session_->path(name); }
    // Scripts the notes save dialog as a table row asks: not shown, cancelled
    // or answered with the path given.
    void scriptSaveDialog(SaveTo saveTo, const QString& chosen) {
        if (saveTo == SaveTo::GoodPath) dialogs().expectSaveFile(chosen, kNotesFilter);
        if (saveTo == SaveTo::Cancelled) dialogs().expectSaveFile(std::nullopt, kNotesFilter);
    }
    // Loads a notes file by Notes > Load (the notes are not modified).
    void loadNotes(EditorApp& app, const QString& file, const QByteArray& bytes) {
        writeBytes(file, bytes);
        dialogs().expectOpenFile(file, kNotesFilter);
        chooseMenuItem(app, "openNotes");
        QCOMPARE(app.notesEditor().fileName(), file);
    }
    // Gives the notes the text and state a table row asks for.
    void prepareNotes(EditorApp& app, bool named, bool modified) {
        if (named) loadNotes(app, path(QStringLiteral("named.txt")), "Named notes\r\n");
        if (modified) {
            app.notesEditor().setCaret(1, 100);
            app.notesEditor().insertPlainText(QStringLiteral(" typed"));
        }
    }

    std::unique_ptr<EditorSession> session_;
};

// --- the note number dialog ---------------------------------------------------

void NotesCommandsTest::noteNumberDialogLooksRight() {
    NoteNumberDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select note number"));
    QCOMPARE(dialog.size(), QSize(286, 156));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("notePrompt"))->text(),
             QStringLiteral("Enter the note number:"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(dialog.findChild<UpDownSpinner*>(QStringLiteral("noteSpinner")));

    // Return is OK, Esc is Cancel.
    dialog.setNoteNumber(4);
    dialog.show();
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("noteNumber")), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    dialog.show();
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("noteNumber")), Qt::Key_Escape);
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
    NoteNumberDialog dialog;
    dialog.setNoteNumber(initial);
    dialog.show();
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("noteNumber"));
    auto* spinner = dialog.findChild<UpDownSpinner*>(QStringLiteral("noteSpinner"));
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
    EditorApp& app = start();
    app.notesEditor().setPlainText(notesBefore);
    if (!tabsOn) app.action(QStringLiteral("toggleNoteTabs"))->trigger();
    QCOMPARE(app.action(QStringLiteral("toggleNoteTabs"))->isChecked(), tabsOn);
    goToCell(app, 2, 1, 1, 2, 1);
    QVERIFY(!app.document().card().isModified);

    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QString::number(number), true, &shown));
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QStringLiteral("0"));
    QCOMPARE(noteOf(app, 2, 1, 1, 2), number);
    QVERIFY(app.document().card().isModified);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), kNotesGroup);
    QVERIFY(app.notesEditor().isVisible());
    QCOMPARE(app.notesEditor().toPlainText(), notesAfter);
    QCOMPARE(app.notesEditor().caretLine(), caretLine);
    QCOMPARE(app.notesEditor().caretColumn(), caretColumn);
    QCOMPARE(rightCaptions(app), captions);
    QCOMPARE(app.sectionView().sectionTabs().currentIndex(), 0);
    QCOMPARE(app.sectionView().noteTabs().count(), tabsOn ? 1 : 0);
    // One tab leaves one "Right" item; no tabs leave none.
    QCOMPARE(visibleRightItems(app), tabsOn ? 1 : 0);
    QCOMPARE(app.sectionView().returnPosition().group, 2);
}

void NotesCommandsTest::f3WithZeroRemovesTheNote_data() {
    QTest::addColumn<int>("noteBefore");
    QTest::newRow("cell without a note") << 0;
    QTest::newRow("cell with note 5") << 5;
}

void NotesCommandsTest::f3WithZeroRemovesTheNote() {
    QFETCH(int, noteBefore);
    EditorApp& app = start();
    app.notesEditor().setPlainText(QStringLiteral("Note:..5: five"));
    goToCell(app, 0, 0, 1, 3, 1);
    zqw::Card& card = app.document().card();
    card.rows[card.findGridRow(0, 1, 3).row].noteNo = noteBefore;

    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("0"), true, &shown));
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QString::number(noteBefore));
    QCOMPARE(noteOf(app, 0, 0, 1, 3), 0);
    QVERIFY(card.isModified);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Note:..5: five"));
    QCOMPARE(app.sectionView().noteTabs().count(), 0);
}

void NotesCommandsTest::f3CancelledChangesNothing() {
    EditorApp& app = start();
    app.notesEditor().setPlainText(QStringLiteral("Intro"));
    goToCell(app, 0, 0, 1, 2, 1);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("44"), false));
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);
    QCOMPARE(noteOf(app, 0, 0, 1, 2), 0);
    QVERIFY(!app.document().card().isModified);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Intro"));
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
    QCOMPARE(app.sectionView().noteTabs().count(), 0);
}

void NotesCommandsTest::f3AgainUsesTheTabWithoutSearching() {
    EditorApp& app = start();
    app.notesEditor().setPlainText(QStringLiteral("Intro"));
    goToCell(app, 1, 0, 1, 1, 0);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true));
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);
    QCOMPARE(app.notesEditor().caretLine(), 2);

    // Lines typed above the heading move it; the tab keeps its place.
    QTest::keyClick(&app.notesEditor(), Qt::Key_Escape);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 1);
    app.notesEditor().setCaret(1, 1);
    app.notesEditor().insertPlainText(QStringLiteral("A\nB\n"));
    QString shown;
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true, &shown));
    QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);

    QCOMPARE(shown, QStringLiteral("12"));
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), kNotesGroup);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("A\nB\nIntro\nNote:..12:"));
    QCOMPARE(app.notesEditor().caretLine(), 2);
    QCOMPARE(app.notesEditor().caretColumn(), 2);  // the stored column, cut to line 2's "B"
    QCOMPARE(app.sectionView().noteTabs().count(), 1);
}

void NotesCommandsTest::f3OnTheNotesDoesNothing() {
    EditorApp& app = start();
    app.sectionView().selectGroup(kNotesGroup);
    app.notesEditor().setPlainText(QStringLiteral("Intro"));
    QTest::keyClick(&app.notesEditor(), Qt::Key_F3);  // no dialog is expected
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Intro"));
    QVERIFY(!app.document().card().isModified);
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
    EditorApp& app = start();
    goToCell(app, group, sectionTab, grid, row, column);
    dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("8"), true));
    QTest::keyClick(app.sectionView().grid(grid).editor(), Qt::Key_F3);
    QCOMPARE(noteOf(app, group, sectionTab, grid, row), 8);
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), kNotesGroup);

    QTest::keyClick(&app.notesEditor(), Qt::Key_Escape);

    QCOMPARE(app.sectionView().groupTabs().currentIndex(), group);
    QCOMPARE(app.sectionView().sectionTabs().currentIndex(), sectionTab);
    QCOMPARE(app.sectionView().grid(grid).activeRow(), row);
    QCOMPARE(app.sectionView().grid(grid).activeColumn(), column);
    QVERIFY(app.sectionView().grid(grid).isEditing());
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
    EditorApp& app = start();
    const QString namedPath =
        folderGone ? path(QStringLiteral("gone/named.txt")) : path(QStringLiteral("named.txt"));
    if (folderGone) QVERIFY(QDir().mkpath(path(QStringLiteral("gone"))));
    if (named) loadNotes(app, namedPath, "Named notes\r\n");
    if (folderGone) QVERIFY(QDir(path(QStringLiteral("gone"))).removeRecursively());
    if (!named) app.notesEditor().setPlainText(QStringLiteral("Named notes"));
    if (modified) {
        app.notesEditor().setCaret(1, 100);
        app.notesEditor().insertPlainText(QStringLiteral(" typed"));
    }
    app.document().card().notesFileName = "/linked/elsewhere.txt";
    app.sectionView().noteTabs().addNoteTab(5);
    app.sectionView().selectGroup(kNotesGroup);
    const QString before = app.notesEditor().toPlainText();

    if (answer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(answer));
    const QString chosen = path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    if (folderGone) dialogs().expectMessage(QStringLiteral("Cannot create file ") + namedPath);

    chooseMenuItem(app, "newNotes");

    NotesTextEditor& notes = app.notesEditor();
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
        QCOMPARE(app.sectionView().noteTabs().count(), 0);
        QCOMPARE(app.sectionView().captionLine().text(), QStringLiteral("Notes file: "));
        QCOMPARE(rightCaptions(app), QStringList{QString()});
    } else {
        QCOMPARE(notes.toPlainText(), before);
        QVERIFY(notes.isModified());
        QCOMPARE(app.sectionView().noteTabs().count(), 1);
    }
    QVERIFY(app.document().card().notesOpen);
    QVERIFY(notes.isInputEnabled());
    QCOMPARE(app.document().card().notesFileName, std::string("/linked/elsewhere.txt"));
}

void NotesCommandsTest::notesLoad_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    // "file", "missing", "huge" (past what the editor holds), "cancel", or "" for no open dialog
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("not modified") << false << kNotAsked << SaveTo::NotShown << "file" << true;
    QTest::newRow("dialog cancelled")
        << false << kNotAsked << SaveTo::NotShown << "cancel" << false;
    QTest::newRow("file missing: notes kept")
        << false << kNotAsked << SaveTo::NotShown << "missing" << false;
    QTest::newRow("file too large: notes kept, the reason said")
        << false << kNotAsked << SaveTo::NotShown << "huge" << false;
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
    EditorApp& app = start();
    app.sectionView().selectGroup(kNotesGroup);
    app.sectionView().noteTabs().addNoteTab(3);
    chooseMenuItem(app, "closeNotes");  // loading opens closed notes again
    QVERIFY(!app.document().card().notesOpen);
    app.notesEditor().setPlainText(QStringLiteral("Current"));
    app.notesEditor().document()->setModified(modified);

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
    if (chosen == QLatin1String("huge")) {
        const QString huge = path(QStringLiteral("huge.txt"));
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(zqw::kMostNotesBytes) + 1));
        file.close();
        dialogs().expectOpenFile(huge, kNotesFilter);
        dialogs().expectMessage(QStringLiteral("Unable to load the notes file ") + huge +
                                QStringLiteral(": larger than 32 MB"));
    }

    chooseMenuItem(app, "openNotes");

    NotesTextEditor& notes = app.notesEditor();
    if (saveTo == SaveTo::GoodPath) QCOMPARE(readBytes(saved), QByteArray("Current\r\n"));
    if (!chosen.isEmpty())
        QCOMPARE(dialogs().lastFileRequest().defaultExtension, QStringLiteral("txt"));
    if (loaded) {
        QCOMPARE(notes.toPlainText(), QStringLiteral("Note:..3: other\nsecond\n"));
        QCOMPARE(notes.fileName(), file);
        QVERIFY(!notes.isModified());
        QVERIFY(app.document().card().notesOpen);
        QVERIFY(notes.isInputEnabled());
        QCOMPARE(app.sectionView().noteTabs().count(), 0);
        QCOMPARE(app.sectionView().captionLine().text(),
                 QStringLiteral("Notes file: other notes.txt"));
        // Loading links nothing.
        QVERIFY(app.document().card().notesFileName.empty());
    } else {
        QCOMPARE(notes.toPlainText(), QStringLiteral("Current"));
        QCOMPARE(notes.isModified(), modified);
        QVERIFY(!app.document().card().notesOpen);
        QCOMPARE(app.sectionView().noteTabs().count(), 1);
        QCOMPARE(app.sectionView().captionLine().text(), QStringLiteral("Notes file closed"));
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
    EditorApp& app = start();
    loadNotes(app, path(QStringLiteral("in.txt")), file);
    QCOMPARE(app.notesEditor().toPlainText(), shown);
    QCOMPARE(app.notesEditor().isModified(), modified);
    QCOMPARE(app.notesEditor().caretLine(), 1);
    QCOMPARE(app.notesEditor().caretColumn(), 1);
    dialogs().expectSaveFile(path(QStringLiteral("out.txt")), kNotesFilter);
    chooseMenuItem(app, "saveNotesAs");
    QCOMPARE(readBytes(path(QStringLiteral("out.txt"))), savedAs);
    QCOMPARE(readBytes(path(QStringLiteral("in.txt"))), file);
}

void NotesCommandsTest::tabIsSavedAsASpace() {
    EditorApp& app = start();
    app.sectionView().selectGroup(kNotesGroup);
    QTest::keyClicks(&app.notesEditor(), QStringLiteral("a"));
    QTest::keyClick(&app.notesEditor(), Qt::Key_Tab);
    QTest::keyClicks(&app.notesEditor(), QStringLiteral("b"));
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("a\tb"));
    const QString file = path(QStringLiteral("tab.txt"));
    dialogs().expectSaveFile(file, kNotesFilter);
    chooseMenuItem(app, "saveNotes");
    QCOMPARE(readBytes(file), QByteArray("a b\r\n"));
    dialogs().expectOpenFile(file, kNotesFilter);
    chooseMenuItem(app, "openNotes");
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("a b\n"));
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
    EditorApp& app = start();
    QVERIFY(QDir().mkpath(path(QStringLiteral("sub"))));
    const QString namedPath = path(QStringLiteral("sub/named.txt"));
    if (named) loadNotes(app, namedPath, "Named notes\r\n");
    if (!named) {
        app.notesEditor().setPlainText(QStringLiteral("Named notes"));
        app.notesEditor().document()->setModified(false);
    }
    if (modified) {
        app.notesEditor().setCaret(1, 100);
        app.notesEditor().insertPlainText(QStringLiteral(" typed"));
    }
    app.sectionView().selectGroup(kNotesGroup);
    // Anything the command writes puts the file back (other bytes in its
    // place would be another program's, not written over without asking).
    if (named && !folderGone) QVERIFY(QFile::remove(namedPath));
    if (folderGone) {
        QVERIFY(QDir(path(QStringLiteral("sub"))).removeRecursively());
        dialogs().expectMessage(QStringLiteral("Cannot create file ") + namedPath);
    }
    const QString chosen = path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    const QString label = app.sectionView().captionLine().text();

    chooseMenuItem(app, "saveNotes");

    const QString target = named ? namedPath : chosen;
    QCOMPARE(app.notesEditor().isModified(), modified && !written);
    if (written) {
        QCOMPARE(readBytes(target), QByteArray("Named notes typed\r\n"));
        QCOMPARE(app.notesEditor().fileName(), target);
        QCOMPARE(app.sectionView().captionLine().text(),
                 QStringLiteral("Notes file: ") + QFileInfo(target).fileName());
    } else {
        if (named && !folderGone) QVERIFY(!QFileInfo::exists(namedPath));
        QVERIFY(!QFileInfo::exists(chosen));
        QCOMPARE(app.sectionView().captionLine().text(), label);
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
    EditorApp& app = start();
    app.document().card().notesFileName = "/linked/notes.txt";
    app.sectionView().noteTabs().addNoteTab(4);
    app.sectionView().selectGroup(kNotesGroup);
    app.notesEditor().setPlainText(QStringLiteral("Some notes"));
    app.notesEditor().document()->setModified(modified);
    if (answer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(answer));
    const QString chosen = path(QStringLiteral("closing.txt"));
    scriptSaveDialog(saveTo, chosen);

    chooseMenuItem(app, "closeNotes");

    NotesTextEditor& notes = app.notesEditor();
    QCOMPARE(app.document().card().notesOpen, !closed);
    QCOMPARE(notes.isInputEnabled(), !closed);
    QCOMPARE(notes.toPlainText(), closed ? QString() : QStringLiteral("Some notes"));
    QCOMPARE(app.sectionView().captionLine().text(),
             closed ? QStringLiteral("Notes file closed") : QStringLiteral("Notes file: "));
    if (closed) QCOMPARE(notes.fileName(), QString());
    if (!closed) QCOMPARE(notes.isModified(), modified);
    QCOMPARE(QFileInfo::exists(chosen), saveTo == SaveTo::GoodPath);
    if (saveTo == SaveTo::GoodPath) QCOMPARE(readBytes(chosen), QByteArray("Some notes\r\n"));
    // Close leaves the link and the note tabs.
    QCOMPARE(app.document().card().notesFileName, std::string("/linked/notes.txt"));
    QCOMPARE(app.sectionView().noteTabs().count(), 1);
    // Showing the notes again makes the editor usable again.
    app.sectionView().selectGroup(0);
    app.sectionView().selectGroup(kNotesGroup);
    QVERIFY(notes.isInputEnabled());
}

void NotesCommandsTest::link_data() {
    QTest::addColumn<QString>("notes");     // "unnamed" or "named"
    QTest::addColumn<QString>("linkedTo");  // notesFileName before: "", "same", "other case"
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
    EditorApp& app = start();
    const QString namedPath = path(QStringLiteral("Named.txt"));
    if (notes == QLatin1String("named")) loadNotes(app, namedPath, "Named notes\r\n");
    if (notes == QLatin1String("unnamed"))
        app.notesEditor().setPlainText(QStringLiteral("Fresh notes"));
    QString before;
    if (linkedTo == QLatin1String("same")) before = namedPath;
    if (linkedTo == QLatin1String("other case")) before = path(QStringLiteral("named.txt"));
    app.document().card().notesFileName = before.toStdString();
    app.document().card().notesOpen = false;
    app.sectionView().selectGroup(kNotesGroup);
    // The Notes menu offers Link only while the notes are open; the
    // shortcut-less handler is called as the item would be.
    const QString chosen =
        saveFails ? path(QStringLiteral("gone/chosen.txt")) : path(QStringLiteral("chosen.txt"));
    scriptSaveDialog(saveTo, chosen);
    if (saveFails) dialogs().expectMessage(QStringLiteral("Cannot create file ") + chosen);
    if (answer != kNotAsked) dialogs().expectQuestion(kLink, Answer(answer));
    if (!message.isEmpty()) dialogs().expectMessage(message);

    app.notesCommands().linkNotesToCard();

    const QString expectedLink = linked ? app.notesEditor().fileName() : before;
    QCOMPARE(QString::fromStdString(app.document().card().notesFileName), expectedLink);
    QCOMPARE(app.document().card().isModified, changed);
    QCOMPARE(app.document().card().notesOpen, linked && linkedTo != QLatin1String("same"));
    if (saveTo == SaveTo::GoodPath && !saveFails) {
        QCOMPARE(readBytes(chosen), QByteArray("Fresh notes\r\n"));
        QCOMPARE(app.notesEditor().fileName(), chosen);
        QCOMPARE(app.sectionView().captionLine().text(), QStringLiteral("Notes file: chosen.txt"));
    }
    if (linked) QVERIFY(!app.notesEditor().fileName().isEmpty());
}

void NotesCommandsTest::notesMenuFollowsNotesOpen() {
    EditorApp& app = start();
    const QStringList openItems = {QStringLiteral("saveNotes"), QStringLiteral("saveNotesAs"),
                                   QStringLiteral("closeNotes"), QStringLiteral("printNotes"),
                                   QStringLiteral("linkNotesToCard")};
    const auto check = [&](bool open) {
        emit menuNamed(app, QStringLiteral("notesMenu"))->aboutToShow();
        for (const QString& name : openItems)
            QCOMPARE(MenuActions::itemEnabled(app.action(name)), open);
        QVERIFY(MenuActions::itemEnabled(app.action(QStringLiteral("newNotes"))));
        QVERIFY(MenuActions::itemEnabled(app.action(QStringLiteral("openNotes"))));
    };
    check(true);
    chooseMenuItem(app, "closeNotes");
    check(false);
    // Ctrl+K does nothing while the notes are closed.
    QTest::keyClick(&app.mainWindow(), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&app.mainWindow(), Qt::Key_N,
                    Qt::ControlModifier | Qt::ShiftModifier);  // Notes > New
    check(true);
}

void NotesCommandsTest::notesOpenFollowsItsEvents() {
    const QString cardPath = path(QStringLiteral("card.ccf"));
    EditorApp& app = start();
    QVERIFY(app.document().card().notesOpen);  // start-up
    const auto closeNotes = [&]() {
        chooseMenuItem(app, "closeNotes");
        QVERIFY(!app.document().card().notesOpen);
    };
    closeNotes();
    chooseMenuItem(app, "newNotes");
    QVERIFY(app.document().card().notesOpen);
    closeNotes();
    loadNotes(app, path(QStringLiteral("a.txt")), "a\r\n");
    QVERIFY(app.document().card().notesOpen);
    // Link: the notes were closed again after being loaded.
    app.document().card().notesOpen = false;
    dialogs().expectQuestion(kLink, Answer::Yes);
    app.notesCommands().linkNotesToCard();
    QVERIFY(app.document().card().notesOpen);
    // Reading a card.
    dialogs().expectSaveFile(cardPath, QStringLiteral("Convention card files (*.ccf)|*.ccf"));
    chooseMenuItem(app, "saveCardAs");
    closeNotes();
    app.fileCommands().openCardOrPackage(cardPath);
    QVERIFY(app.document().card().notesOpen);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("a\n"));
}

void NotesCommandsTest::cardAndNotesComeBackAfterARestart() {
    const QString cardPath = path(QStringLiteral("mine.ccf"));
    const QString notesPath = path(QStringLiteral("mine.txt"));
    {
        EditorApp& app = start();
        goToCell(app, 0, 0, 1, 1, 1);
        QTest::keyClicks(app.sectionView().grid(1).editor(), QStringLiteral("North South"));
        QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_Down);
        QTest::keyClicks(app.sectionView().grid(1).editor(), QStringLiteral("Strong 1}"));
        dialogs().expectDialog(kNoteDialog, noteDialog(QStringLiteral("12"), true));
        QTest::keyClick(app.sectionView().grid(1).editor(), Qt::Key_F3);
        QTest::keyClicks(&app.notesEditor(), QStringLiteral(" 16+ any shape"));
        // Link the notes (Ctrl+K), then save the card (Ctrl+S) and exit.
        dialogs().expectSaveFile(notesPath, kNotesFilter);
        dialogs().expectQuestion(kLink, Answer::Yes);
        QTest::keyClick(&app.notesEditor(), Qt::Key_K, Qt::ControlModifier);
        dialogs().expectSaveFile(cardPath, QStringLiteral("Convention card files (*.ccf)|*.ccf"));
        QTest::keyClick(&app.notesEditor(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(app.mainWindow().windowTitle(),
                 QStringLiteral("ZQW Convention card editor: ") + cardPath);
        QVERIFY(app.mainWindow().close());
        session_->stop();
    }
    QCOMPARE(readBytes(notesPath), QByteArray("\r\nNote:..12: 16+ any shape\r\n"));

    EditorApp& app = start();
    QCOMPARE(QString::fromStdString(app.document().card().cardFileName), cardPath);
    QCOMPARE(app.mainWindow().windowTitle(),
             QStringLiteral("ZQW Convention card editor: ") + cardPath);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("North South"));
    QCOMPARE(cellText(app, 1, 2, 1), QStringLiteral("Strong 1}"));
    QCOMPARE(noteOf(app, 0, 0, 1, 2), 12);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("\nNote:..12: 16+ any shape\n"));
    QCOMPARE(QString::fromStdString(app.document().card().notesFileName), notesPath);
    QVERIFY(!app.document().card().isModified);
}

void NotesCommandsTest::savingCharactersANotesFileCannotHoldIsAsked_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("saveAnyway");
    QTest::newRow("Notes > Save, no") << "notes" << false;
    QTest::newRow("Notes > Save, yes") << "notes" << true;
    QTest::newRow("File > Save writes the linked notes, no") << "card" << false;
    QTest::newRow("File > Save writes the linked notes, yes") << "card" << true;
}

void NotesCommandsTest::savingCharactersANotesFileCannotHoldIsAsked() {
    QFETCH(QString, way);
    QFETCH(bool, saveAnyway);
    EditorApp& app = start();
    const QString notesPath = session_->path(QStringLiteral("notes.txt"));
    const QString cardPath = session_->path(QStringLiteral("card.ccf"));
    writeBytes(notesPath, "Stayman\r\n");
    // A card with these notes linked, both on disk.
    dialogs().expectOpenFile(notesPath, kNotesFilter);
    chooseMenuItem(app, "openNotes");
    zqw::Card& card = app.document().card();
    card.notesFileName = notesPath.toStdString();
    QVERIFY(app.document().saveAs(cardPath));
    const QByteArray cardBefore = readBytes(cardPath);

    app.notesEditor().moveCursor(QTextCursor::End);
    app.notesEditor().insertPlainText(
        QStringLiteral("\u041c\u0430\u0448\u0430 bid 2\u2663 \U0001F600 \u00e9"));
    app.document().changeRow(QStringLiteral("Note number"), 1, card.rows[1].text, 7);
    dialogs().expectQuestion(
        QStringLiteral("The notes hold characters a notes file cannot store "
                       "(\u041c \u0430 \u0448 \U0001F600); they would be saved "
                       "as \"?\". Save anyway?"),
        saveAnyway ? Answer::Yes : Answer::No);
    chooseMenuItem(app, way == QLatin1String("notes") ? "saveNotes" : "saveCard");

    if (saveAnyway) {
        QCOMPARE(readBytes(notesPath), QByteArray("Stayman\r\n???? bid 2} ? \xe9\r\n"));
        QVERIFY(!app.notesEditor().isModified());
    } else {
        // Nothing written: the notes and the card stay as they were on disk,
        // and both still wait to be saved.
        QCOMPARE(readBytes(notesPath), QByteArray("Stayman\r\n"));
        QCOMPARE(readBytes(cardPath), cardBefore);
        QVERIFY(app.notesEditor().isModified());
        if (way == QLatin1String("card")) QVERIFY(app.document().isModified());
    }
}

ZQW_GUI_TEST(NotesCommandsTest)
#include "notescommands_test.moc"
