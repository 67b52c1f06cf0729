// The File menu driven as a user would: New, Open (cards and packages),
// Save, Save As, Close, Exit and the question before the window closes, with
// every question and dialog answered from a script and real files on disk.

#include <zip.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include "app/editorapp.h"
#include "card/plainnotes.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"

namespace {

using Answer = UserDialogs::Answer;

// Table value for "no question is asked".
constexpr int kNotAsked = -1;

const QString kCaption = QStringLiteral("ZQW Convention card editor: ");
const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kOpenFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");
const QString kSaveCard = QStringLiteral("Do you wish to save the current file");
const QString kSaveNotes = QStringLiteral("Do you wish to save the current notes file");
const QString kLinkOnClose =
    QStringLiteral("Do you wish to link the current notes file to the current card");

// Types into the first section's answer cell of a row and stores it.
void typeAnswer(EditorApp& app, int row, const QString& text) {
    app.sectionView().selectGroup(0);
    editCell(app, 1, row, 1);
    typeIntoCell(app, 1, text);
    app.sectionView().storePendingEdits();
}

// The card's answer in the first section's row, from the card itself.
QString answerText(EditorApp& app, int row) {
    zqw::Card& card = app.document().card();
    const zqw::RowRef ref = card.findGridRow(0, 1, row);
    if (!ref) return QStringLiteral("<no row>");
    return QString::fromStdString(card.field(ref, 1, 2));
}

// The card file record of the first section's first row with this answer
// (the row's fields are set off by TABs).
QByteArray firstRecord(const char* answer) { return QByteArray("}\t") + answer + "\t\r\n"; }

// Every file under a folder, relative to it, sorted.
QStringList filesUnder(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}

// How a table answers the card save dialog.
enum class SaveTo { NotShown, Cancelled, GoodPath, BadPath };

}  // namespace

Q_DECLARE_METATYPE(SaveTo)

class FileCommandsTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void newCommand_data();
    void newCommand();
    void typingInTheNotesThenNewAsksAboutTheCard();
    void notesChangesCountUntilTheNotesAreSaved_data();
    void notesChangesCountUntilTheNotesAreSaved();
    void notesMovedWithTheirCardAreLinkedAnew_data();
    void notesMovedWithTheirCardAreLinkedAnew();
    void openCommand_data();
    void openCommand();
    void saveCommand_data();
    void saveCommand();
    void saveAsCommand_data();
    void saveAsCommand();
    void closeCommand_data();
    void closeCommand();
    void closeDoesNotAskAboutModifiedNotes();
    void fileMenuFollowsTheCardState();
    void closeQuestion_data();
    void closeQuestion();
    void exitStoresTheCellBeingEdited();
    void theNotesAnswerAtExitHoldsForTheCardSave_data();
    void theNotesAnswerAtExitHoldsForTheCardSave();
    void exitAfterCloseStillOffersTheLink();
    void packageMadeWithZipOpens_data();
    void packageMadeWithZipOpens();
    void packageEntriesCannotLeaveTheFolder();
    void packageProblemsKeepTheCard_data();
    void packageProblemsKeepTheCard();
    void packageHoldingOnlyNotesGivesABlankCard();

private:
    QString folder() const { return session().folder().path(); }
    // Scripts the card save dialog and returns the path it answers.
    QString scriptSaveDialog(SaveTo saveTo, const QString& goodName) {
        switch (saveTo) {
            case SaveTo::NotShown:
                return {};
            case SaveTo::Cancelled:
                dialogs().expectSaveFile(std::nullopt, kCardFilter);
                return {};
            case SaveTo::GoodPath:
                dialogs().expectSaveFile(path(goodName), kCardFilter);
                return path(goodName);
            case SaveTo::BadPath: {
                const QString bad = path(QStringLiteral("no such folder/") + goodName);
                dialogs().expectSaveFile(bad, kCardFilter);
                dialogs().expectMessage(QStringLiteral("Unable to write to the file ") + bad);
                return bad;
            }
        }
        return {};
    }
};

void FileCommandsTest::newCommand_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("blankAfter");
    QTest::addColumn<bool>("viewRebuilt");

    QTest::newRow("unchanged: no question")
        << false << kNotAsked << SaveTo::NotShown << true << true;
    QTest::newRow("changed, No") << true << int(Answer::No) << SaveTo::NotShown << true << true;
    QTest::newRow("changed, Cancel: card kept, view rebuilt")
        << true << int(Answer::Cancel) << SaveTo::NotShown << false << true;
    QTest::newRow("changed, Yes, saved")
        << true << int(Answer::Yes) << SaveTo::GoodPath << true << true;
    QTest::newRow("changed, Yes, dialog cancelled: nothing changes")
        << true << int(Answer::Yes) << SaveTo::Cancelled << false << false;
    QTest::newRow("changed, Yes, write fails: nothing lost")
        << true << int(Answer::Yes) << SaveTo::BadPath << false << false;
}

void FileCommandsTest::newCommand() {
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, blankAfter);
    QFETCH(bool, viewRebuilt);
    EditorApp& app = start();
    if (changed) typeAnswer(app, 1, QStringLiteral("Kept answer"));
    QCOMPARE(app.document().card().isModified, changed);
    app.sectionView().selectGroup(2);
    if (answer != kNotAsked) dialogs().expectQuestion(kSaveCard, Answer(answer));
    const QString savedTo = scriptSaveDialog(saveTo, QStringLiteral("new.ccf"));

    chooseMenuItem(app, "newCard");

    zqw::Card& card = app.document().card();
    QCOMPARE(answerText(app, 1),
             blankAfter || !changed ? QString() : QStringLiteral("Kept answer"));
    QCOMPARE(card.isModified, !blankAfter);
    QVERIFY(card.isOpen);
    QVERIFY(!card.isNoCard);
    // An unwritten card stays unnamed, so the next save asks for a name.
    QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("UnNamed file"));
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), viewRebuilt ? 0 : 2);
    if (viewRebuilt)
        QCOMPARE(cellText(app, 1, 1, 1), blankAfter ? QString() : QStringLiteral("Kept answer"));
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("new.ccf"))), saveTo == SaveTo::GoodPath);
    if (saveTo == SaveTo::GoodPath)
        QVERIFY(readBytes(savedTo).contains(firstRecord("Kept answer")));
    QCOMPARE(filesUnder(folder()).size(), saveTo == SaveTo::GoodPath ? 1 : 0);
}

void FileCommandsTest::typingInTheNotesThenNewAsksAboutTheCard() {
    const QString cardPath = path(QStringLiteral("club.ccf"));
    const QString notesPath = path(QStringLiteral("club.txt"));
    writeCardFile(cardPath, QStringLiteral("Strong club"), notesPath, QStringLiteral("Old notes"));
    EditorApp& app = start();
    dialogs().expectOpenFile(cardPath, kOpenFilter);
    chooseMenuItem(app, "openCard");
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Old notes\n"));
    QVERIFY(!app.document().card().isModified);

    app.sectionView().selectGroup(7);
    app.notesEditor().setCaret(1, 100);  // the end of the first line
    QTest::keyClicks(&app.notesEditor(), QStringLiteral(" and new"));
    QVERIFY(!app.document().card().isModified);
    dialogs().expectQuestion(kSaveCard, Answer::Yes);
    chooseMenuItem(app, "newCard");

    // The card's question covered the notes: both were written.
    QCOMPARE(readBytes(notesPath), QByteArray("Old notes and new\r\n"));
    QVERIFY(readBytes(cardPath).startsWith("ZQW1.0" + notesPath.toUtf8() + "\r\n"));
    QVERIFY(readBytes(cardPath).contains(firstRecord("Strong club")));
    QCOMPARE(QString::fromStdString(app.document().card().cardFileName),
             QStringLiteral("UnNamed file"));
    QVERIFY(app.document().card().notesFileName.empty());
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
}

void FileCommandsTest::notesChangesCountUntilTheNotesAreSaved_data() {
    QTest::addColumn<bool>("notesSaved");
    QTest::newRow("notes still changed: asked again") << false;
    QTest::newRow("notes saved since: nothing to ask") << true;
}

void FileCommandsTest::notesChangesCountUntilTheNotesAreSaved() {
    QFETCH(bool, notesSaved);
    const QString notesPath = path(QStringLiteral("club.txt"));
    writeBytes(notesPath, "Old notes\r\n");
    EditorApp& app = start();
    dialogs().expectOpenFile(notesPath, kNotesFilter);
    chooseMenuItem(app, "openNotes");
    app.notesEditor().moveCursor(QTextCursor::End);
    app.notesEditor().insertPlainText(QStringLiteral("new"));
    // The card itself is unchanged; its question covers the notes.
    dialogs().expectQuestion(kSaveCard, Answer::Cancel);
    chooseMenuItem(app, "newCard");
    QVERIFY(!app.document().isModified());

    if (notesSaved) chooseMenuItem(app, "saveNotes");
    if (!notesSaved) dialogs().expectQuestion(kSaveCard, Answer::No);
    chooseMenuItem(app, "newCard");
    session().verifyDialogs();
    QCOMPARE(readBytes(notesPath),
             notesSaved ? QByteArray("Old notes\r\nnew\r\n") : QByteArray("Old notes\r\n"));
    QVERIFY(!app.document().isModified());
}

void FileCommandsTest::notesMovedWithTheirCardAreLinkedAnew_data() {
    QTest::addColumn<bool>("changedBefore");
    QTest::newRow("after an unchanged card") << false;
    QTest::newRow("after a changed card") << true;
}

void FileCommandsTest::notesMovedWithTheirCardAreLinkedAnew() {
    QFETCH(bool, changedBefore);
    // A card and its notes written in one folder, then moved to another:
    // the link names the old folder, the notes are found beside the card.
    QVERIFY(QDir().mkpath(path(QStringLiteral("old"))));
    writeCardFile(path(QStringLiteral("old/club.ccf")), QStringLiteral("Strong club"),
                  path(QStringLiteral("old/club.txt")), QStringLiteral("Old notes"));
    QVERIFY(QDir().rename(path(QStringLiteral("old")), path(QStringLiteral("new"))));
    EditorApp& app = start();
    if (changedBefore) {
        typeAnswer(app, 1, QStringLiteral("Typed"));
        dialogs().expectQuestion(kSaveCard, Answer::No);
    }
    dialogs().expectOpenFile(path(QStringLiteral("new/club.ccf")), kOpenFilter);
    chooseMenuItem(app, "openCard");
    session().verifyDialogs();

    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Old notes\n"));
    QCOMPARE(app.document().linkedNotesFile(),
             QFileInfo(path(QStringLiteral("new/club.txt"))).canonicalFilePath());
    // The link the file holds is not the card's any more: there is a change
    // to save, whatever card was open before.
    QVERIFY(app.document().isModified());
    dialogs().expectQuestion(kSaveCard, Answer::No);
    chooseMenuItem(app, "newCard");
}

void FileCommandsTest::openCommand_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<QString>(
        "chosen");  // "card", "missing", "cancel", or "" when no open dialog shows
    QTest::addColumn<bool>("opened");

    QTest::newRow("card chosen") << false << kNotAsked << SaveTo::NotShown << "card" << true;
    QTest::newRow("dialog cancelled")
        << false << kNotAsked << SaveTo::NotShown << "cancel" << false;
    QTest::newRow("file missing: blank card")
        << false << kNotAsked << SaveTo::NotShown << "missing" << false;
    QTest::newRow("changed, No") << true << int(Answer::No) << SaveTo::NotShown << "card" << true;
    QTest::newRow("changed, Cancel")
        << true << int(Answer::Cancel) << SaveTo::NotShown << "" << false;
    QTest::newRow("changed, Yes, saved")
        << true << int(Answer::Yes) << SaveTo::GoodPath << "card" << true;
    QTest::newRow("changed, Yes, dialog cancelled")
        << true << int(Answer::Yes) << SaveTo::Cancelled << "" << false;
    QTest::newRow("changed, Yes, write fails: card kept")
        << true << int(Answer::Yes) << SaveTo::BadPath << "" << false;
}

void FileCommandsTest::openCommand() {
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(QString, chosen);
    QFETCH(bool, opened);
    const QString cardPath = path(QStringLiteral("disk.ccf"));
    writeCardFile(cardPath, QStringLiteral("From disk"));
    EditorApp& app = start();
    if (changed) typeAnswer(app, 1, QStringLiteral("In memory"));
    app.sectionView().selectGroup(3);

    if (answer != kNotAsked) dialogs().expectQuestion(kSaveCard, Answer(answer));
    const QString savedTo = scriptSaveDialog(saveTo, QStringLiteral("memory.ccf"));
    const QString missing = path(QStringLiteral("gone.ccf"));
    if (chosen == QLatin1String("card")) dialogs().expectOpenFile(cardPath, kOpenFilter);
    if (chosen == QLatin1String("cancel")) dialogs().expectOpenFile(std::nullopt, kOpenFilter);
    if (chosen == QLatin1String("missing")) {
        dialogs().expectOpenFile(missing, kOpenFilter);
        dialogs().expectMessage(missing + QStringLiteral(" file not found"));
    }

    chooseMenuItem(app, "openCard");

    zqw::Card& card = app.document().card();
    if (!chosen.isEmpty())
        QCOMPARE(dialogs().lastFileRequest().defaultExtension, QStringLiteral("ccf"));
    if (saveTo == SaveTo::GoodPath) QVERIFY(readBytes(savedTo).contains(firstRecord("In memory")));
    if (opened) {
        QCOMPARE(QString::fromStdString(card.cardFileName), cardPath);
        QCOMPARE(app.mainWindow().windowTitle(), kCaption + cardPath);
        QCOMPARE(answerText(app, 1), QStringLiteral("From disk"));
        QVERIFY(!card.isModified);
        QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
        QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("From disk"));
    } else if (chosen == QLatin1String("missing")) {
        QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("UnNamed file"));
        QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
        QCOMPARE(answerText(app, 1), QString());
        QVERIFY(card.isOpen);
        QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
    } else {
        // The card in memory stays as it was, view included.
        QCOMPARE(answerText(app, 1), changed ? QStringLiteral("In memory") : QString());
        QCOMPARE(card.isModified, changed);
        QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("UnNamed file"));
        QCOMPARE(app.sectionView().groupTabs().currentIndex(), 3);
    }
    QCOMPARE(readBytes(cardPath).contains(firstRecord("From disk")), true);
}

void FileCommandsTest::saveCommand_data() {
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("changeCard");
    QTest::addColumn<bool>("changeNotes");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("folderInPlace");  // a folder where the named card's file was
    QTest::addColumn<bool>("written");

    QTest::newRow("named, unchanged: nothing written")
        << true << false << false << SaveTo::NotShown << false << false;
    QTest::newRow("named, changed") << true << true << false << SaveTo::NotShown << false << true;
    QTest::newRow("named, only the notes typed in")
        << true << false << true << SaveTo::NotShown << false << true;
    QTest::newRow("named, changed, folder in place of the file")
        << true << true << false << SaveTo::NotShown << true << false;
    QTest::newRow("unnamed, unchanged: no dialog")
        << false << false << false << SaveTo::NotShown << false << false;
    QTest::newRow("unnamed, changed, name chosen")
        << false << true << false << SaveTo::GoodPath << false << true;
    QTest::newRow("unnamed, changed, dialog cancelled")
        << false << true << false << SaveTo::Cancelled << false << false;
    QTest::newRow("unnamed, changed, write fails")
        << false << true << false << SaveTo::BadPath << false << false;
}

void FileCommandsTest::saveCommand() {
    QFETCH(bool, named);
    QFETCH(bool, changeCard);
    QFETCH(bool, changeNotes);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, folderInPlace);
    QFETCH(bool, written);
    const QString namedPath = path(QStringLiteral("named.ccf"));
    EditorApp& app = start();
    if (named) {
        writeCardFile(namedPath, QStringLiteral("On disk"));
        app.fileCommands().openCardOrPackage(namedPath);
        QVERIFY(!app.document().card().isModified);
        // Anything the command writes puts the file back. (Other bytes in
        // its place would be another program's, not to be written over
        // without a question.)
        QVERIFY(QFile::remove(namedPath));
    }
    if (changeCard) typeAnswer(app, 1, QStringLiteral("Typed"));
    if (changeNotes) app.notesEditor().insertPlainText(QStringLiteral("notes typed"));
    if (folderInPlace) {
        QVERIFY(QDir().mkdir(namedPath));
        dialogs().expectMessage(QStringLiteral("Unable to write to the file ") + namedPath);
    }
    const QString chosen = scriptSaveDialog(saveTo, QStringLiteral("chosen.ccf"));
    const QString before = app.mainWindow().windowTitle();

    chooseMenuItem(app, "saveCard");

    zqw::Card& card = app.document().card();
    const QString target = named ? namedPath : chosen;
    QCOMPARE(card.isModified, (changeCard || changeNotes) && !written);
    if (written) {
        const QByteArray bytes = readBytes(target);
        QVERIFY2(bytes.startsWith("ZQW1.0"), bytes.constData());
        QCOMPARE(bytes.contains(firstRecord("Typed")), changeCard);
        QCOMPARE(QString::fromStdString(card.cardFileName), target);
        QCOMPARE(app.mainWindow().windowTitle(), kCaption + target);
    } else {
        if (named && !folderInPlace) QVERIFY(!QFileInfo::exists(namedPath));
        QCOMPARE(app.mainWindow().windowTitle(), before);
        QCOMPARE(QString::fromStdString(card.cardFileName),
                 named ? namedPath : QStringLiteral("UnNamed file"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("chosen.ccf"))));
    }
    if (changeCard && !written) QCOMPARE(answerText(app, 1), QStringLiteral("Typed"));
}

void FileCommandsTest::saveAsCommand_data() {
    QTest::addColumn<bool>("changeCard");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("written");

    QTest::newRow("unchanged card is written") << false << SaveTo::GoodPath << true;
    QTest::newRow("changed card is written") << true << SaveTo::GoodPath << true;
    QTest::newRow("dialog cancelled") << true << SaveTo::Cancelled << false;
    QTest::newRow("write fails: old name kept") << true << SaveTo::BadPath << false;
}

void FileCommandsTest::saveAsCommand() {
    QFETCH(bool, changeCard);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, written);
    const QString oldPath = path(QStringLiteral("old.ccf"));
    writeCardFile(oldPath, QStringLiteral("Old answer"));
    EditorApp& app = start();
    app.fileCommands().openCardOrPackage(oldPath);
    if (changeCard) typeAnswer(app, 1, QStringLiteral("Typed"));
    const QString chosen = scriptSaveDialog(saveTo, QStringLiteral("copy.ccf"));

    chooseMenuItem(app, "saveCardAs");

    const UserDialogs::FileRequest request = dialogs().lastFileRequest();
    QCOMPARE(request.defaultExtension, QStringLiteral("ccf"));
    QVERIFY(request.fileName.isEmpty());
    QVERIFY(request.hideReadOnly);
    QVERIFY(request.folderMustExist);
    zqw::Card& card = app.document().card();
    QCOMPARE(card.isModified, changeCard && !written);
    QCOMPARE(QString::fromStdString(card.cardFileName), written ? chosen : oldPath);
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + (written ? chosen : oldPath));
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("copy.ccf"))), written);
    if (written) {
        QVERIFY(readBytes(chosen).contains(changeCard ? firstRecord("Typed")
                                                      : firstRecord("Old answer")));
    }
    QVERIFY(readBytes(oldPath).contains(firstRecord("Old answer")));
}

void FileCommandsTest::closeCommand_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<SaveTo>("saveTo");
    QTest::addColumn<bool>("closed");

    QTest::newRow("unchanged: no question") << false << kNotAsked << SaveTo::NotShown << true;
    QTest::newRow("changed, No") << true << int(Answer::No) << SaveTo::NotShown << true;
    QTest::newRow("changed, Cancel") << true << int(Answer::Cancel) << SaveTo::NotShown << false;
    QTest::newRow("changed, Yes, saved") << true << int(Answer::Yes) << SaveTo::GoodPath << true;
    QTest::newRow("changed, Yes, dialog cancelled")
        << true << int(Answer::Yes) << SaveTo::Cancelled << false;
    QTest::newRow("changed, Yes, write fails: card kept")
        << true << int(Answer::Yes) << SaveTo::BadPath << false;
}

void FileCommandsTest::closeCommand() {
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(SaveTo, saveTo);
    QFETCH(bool, closed);
    EditorApp& app = start();
    app.document().card().notesFileName = path(QStringLiteral("linked.txt")).toStdString();
    if (changed) typeAnswer(app, 1, QStringLiteral("Typed"));
    if (answer != kNotAsked) dialogs().expectQuestion(kSaveCard, Answer(answer));
    const QString chosen = scriptSaveDialog(saveTo, QStringLiteral("closed.ccf"));

    chooseMenuItem(app, "closeCard");

    zqw::Card& card = app.document().card();
    QCOMPARE(card.isOpen, !closed);
    QCOMPARE(card.isNoCard, closed);
    if (closed) {
        QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("No file"));
        QVERIFY(card.notesFileName.empty());
        QVERIFY(!card.isModified);
    } else {
        QCOMPARE(card.isModified, changed);
        QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("UnNamed file"));
        QCOMPARE(QString::fromStdString(card.notesFileName), path(QStringLiteral("linked.txt")));
    }
    // Close leaves the caption and the grids alone.
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
    QCOMPARE(cellText(app, 1, 1, 1), changed ? QStringLiteral("Typed") : QString());
    if (saveTo == SaveTo::GoodPath) QVERIFY(readBytes(chosen).contains(firstRecord("Typed")));
}

void FileCommandsTest::closeDoesNotAskAboutModifiedNotes() {
    EditorApp& app = start();
    app.notesEditor().insertPlainText(QStringLiteral("Unsaved notes"));
    chooseMenuItem(app, "closeCard");
    QVERIFY(!app.document().card().isOpen);
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Unsaved notes"));
    QVERIFY(app.notesEditor().isModified());
}

void FileCommandsTest::fileMenuFollowsTheCardState() {
    EditorApp& app = start();
    const QStringList cardItems = {QStringLiteral("saveCard"), QStringLiteral("saveCardAs"),
                                   QStringLiteral("closeCard"), QStringLiteral("printCard")};
    const QStringList alwaysItems = {QStringLiteral("newCard"), QStringLiteral("openCard"),
                                     QStringLiteral("exit")};
    const auto check = [&](bool cardOpen) {
        emit menuNamed(app, QStringLiteral("fileMenu"))->aboutToShow();
        for (const QString& name : cardItems)
            QCOMPARE(MenuActions::itemEnabled(app.action(name)), cardOpen);
        for (const QString& name : alwaysItems) QVERIFY(MenuActions::itemEnabled(app.action(name)));
    };
    check(true);
    typeAnswer(app, 1, QStringLiteral("Typed"));
    dialogs().expectQuestion(kSaveCard, Answer::No);
    chooseMenuItem(app, "closeCard");
    check(false);
    // The disabled items do nothing, even by their shortcuts.
    QTest::keyClick(&app.mainWindow(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&app.mainWindow(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
    app.fileCommands().saveCardAs();  // and called directly, the handler checks for itself
    // New makes a card again.
    QTest::keyClick(&app.mainWindow(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(app.document().card().isOpen);
    QCOMPARE(answerText(app, 1), QString());
    check(true);
}

void FileCommandsTest::closeQuestion_data() {
    QTest::addColumn<bool>("cardChanged");
    QTest::addColumn<QString>(
        "notes");  // "", "typed" (never saved), "loaded" (by Notes > Load), "vanished"
    QTest::addColumn<int>("notesAnswer");
    QTest::addColumn<SaveTo>("notesSaveTo");
    QTest::addColumn<int>("linkAnswer");
    QTest::addColumn<int>("cardAnswer");
    QTest::addColumn<SaveTo>("cardSaveTo");
    QTest::addColumn<bool>("closes");

    const int no = int(Answer::No);
    const int yes = int(Answer::Yes);
    const int cancel = int(Answer::Cancel);
    const SaveTo none = SaveTo::NotShown;
    QTest::newRow("nothing to ask")
        << false << "" << kNotAsked << none << kNotAsked << kNotAsked << none << true;
    QTest::newRow("card, No") << true << "" << kNotAsked << none << kNotAsked << no << none << true;
    QTest::newRow("card, Cancel") << true << "" << kNotAsked << none << kNotAsked << cancel << none
                                  << false;
    QTest::newRow("card, Yes, saved")
        << true << "" << kNotAsked << none << kNotAsked << yes << SaveTo::GoodPath << true;
    QTest::newRow("card, Yes, dialog cancelled")
        << true << "" << kNotAsked << none << kNotAsked << yes << SaveTo::Cancelled << false;
    QTest::newRow("card, Yes, write fails: app stays")
        << true << "" << kNotAsked << none << kNotAsked << yes << SaveTo::BadPath << false;
    QTest::newRow("notes, Cancel")
        << true << "typed" << cancel << none << kNotAsked << kNotAsked << none << false;
    QTest::newRow("notes, Yes, dialog cancelled")
        << false << "typed" << yes << SaveTo::Cancelled << kNotAsked << kNotAsked << none << false;
    QTest::newRow("notes, Yes, saved, link No")
        << false << "typed" << yes << SaveTo::GoodPath << no << kNotAsked << none << true;
    QTest::newRow("notes, No: nothing to link")
        << false << "typed" << no << none << kNotAsked << kNotAsked << none << true;
    QTest::newRow("loaded notes, link Yes, card No")
        << false << "loaded" << kNotAsked << none << yes << no << none << true;
    QTest::newRow("loaded notes, link Yes, card Cancel")
        << false << "loaded" << kNotAsked << none << yes << cancel << none << false;
    QTest::newRow("notes cannot be written: app stays")
        << false << "vanished" << yes << none << kNotAsked << kNotAsked << none << false;
}

void FileCommandsTest::closeQuestion() {
    QFETCH(bool, cardChanged);
    QFETCH(QString, notes);
    QFETCH(int, notesAnswer);
    QFETCH(SaveTo, notesSaveTo);
    QFETCH(int, linkAnswer);
    QFETCH(int, cardAnswer);
    QFETCH(SaveTo, cardSaveTo);
    QFETCH(bool, closes);
    EditorApp& app = start();
    const QString notesPath = path(QStringLiteral("sub/notes.txt"));
    QVERIFY(QDir().mkpath(path(QStringLiteral("sub"))));
    if (notes == QLatin1String("loaded") || notes == QLatin1String("vanished")) {
        writeBytes(notesPath, "Loaded notes\r\n");
        dialogs().expectOpenFile(notesPath, kNotesFilter);
        chooseMenuItem(app, "openNotes");
        QCOMPARE(app.notesEditor().fileName(), notesPath);
    }
    if (notes == QLatin1String("vanished")) {
        QVERIFY(QDir(path(QStringLiteral("sub"))).removeRecursively());
        dialogs().expectQuestion(kSaveNotes, Answer::Yes);
        dialogs().expectMessage(QStringLiteral("Cannot create file ") + notesPath);
    }
    if (notes == QLatin1String("typed") || notes == QLatin1String("vanished")) {
        app.notesEditor().insertPlainText(QStringLiteral("Typed notes"));
    }
    if (cardChanged) typeAnswer(app, 1, QStringLiteral("Typed"));

    if (notesAnswer != kNotAsked && notes != QLatin1String("vanished")) {
        dialogs().expectQuestion(kSaveNotes, Answer(notesAnswer));
    }
    const QString notesSaved = path(QStringLiteral("typed.txt"));
    if (notesSaveTo == SaveTo::GoodPath) dialogs().expectSaveFile(notesSaved, kNotesFilter);
    if (notesSaveTo == SaveTo::Cancelled) dialogs().expectSaveFile(std::nullopt, kNotesFilter);
    if (linkAnswer != kNotAsked) dialogs().expectQuestion(kLinkOnClose, Answer(linkAnswer));
    if (cardAnswer != kNotAsked) dialogs().expectQuestion(kSaveCard, Answer(cardAnswer));
    const QString cardSaved = scriptSaveDialog(cardSaveTo, QStringLiteral("card.ccf"));

    QCOMPARE(app.mainWindow().close(), closes);

    QCOMPARE(app.mainWindow().isVisible(), !closes);
    const QString linked = QString::fromStdString(app.document().card().notesFileName);
    if (linkAnswer == int(Answer::Yes)) {
        QCOMPARE(linked, notesPath);
        QVERIFY(app.document().card().notesOpen);
    } else {
        QCOMPARE(linked, QString());
    }
    if (notesSaveTo == SaveTo::GoodPath)
        QCOMPARE(readBytes(notesSaved), QByteArray("Typed notes\r\n"));
    if (cardSaveTo == SaveTo::GoodPath)
        QVERIFY(readBytes(cardSaved).contains(firstRecord("Typed")));
    // What the window keeps when it stays open is still there.
    if (!closes && cardChanged) QCOMPARE(answerText(app, 1), QStringLiteral("Typed"));
    if (!closes && (notes == QLatin1String("typed") || notes == QLatin1String("vanished"))) {
        QVERIFY(app.notesEditor().isModified());
    }
}

void FileCommandsTest::exitStoresTheCellBeingEdited() {
    EditorApp& app = start();
    QLineEdit* editor = app.sectionView().grid(1).editor();
    QVERIFY(editor);
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("Half typed"));
    QVERIFY(!app.document().card().isModified);
    const QString saved = path(QStringLiteral("exit.ccf"));
    dialogs().expectQuestion(kSaveCard, Answer::Yes);
    dialogs().expectSaveFile(saved, kCardFilter);
    QTest::keyClick(editor, Qt::Key_E, Qt::ControlModifier);  // Exit
    QVERIFY(!app.mainWindow().isVisible());
    QVERIFY(readBytes(saved).contains(firstRecord("Half typed")));
}

void FileCommandsTest::theNotesAnswerAtExitHoldsForTheCardSave_data() {
    QTest::addColumn<int>("notesAnswer");
    QTest::newRow("No: the card's save leaves the notes file as it is") << int(Answer::No);
    QTest::newRow("Yes: the notes are saved") << int(Answer::Yes);
}

void FileCommandsTest::theNotesAnswerAtExitHoldsForTheCardSave() {
    QFETCH(int, notesAnswer);
    const QString card = path(QStringLiteral("club.ccf"));
    const QString notes = path(QStringLiteral("club.txt"));
    writeCardFile(card, QStringLiteral("Opening"), notes, QStringLiteral("Note:..1:as saved"));
    const QByteArray notesBefore = readBytes(notes);
    EditorApp& app = start();
    dialogs().expectOpenFile(card, kOpenFilter);
    chooseMenuItem(app, "openCard");
    typeAnswer(app, 1, QStringLiteral("Changed"));
    app.notesEditor().moveCursor(QTextCursor::End);
    app.notesEditor().insertPlainText(QStringLiteral(" and typed"));

    dialogs().expectQuestion(kSaveNotes, Answer(notesAnswer));
    dialogs().expectQuestion(kSaveCard, Answer::Yes);
    QVERIFY(app.mainWindow().close());
    session().verifyDialogs();
    QVERIFY(readBytes(card).contains(firstRecord("Changed")));
    if (notesAnswer == int(Answer::No)) {
        QCOMPARE(readBytes(notes), notesBefore);
    } else {
        QCOMPARE(readBytes(notes), QByteArray("Note:..1:as saved\r\n and typed\r\n"));
    }
}

void FileCommandsTest::exitAfterCloseStillOffersTheLink() {
    EditorApp& app = start();
    chooseMenuItem(app, "closeCard");
    const QString notesPath = path(QStringLiteral("loose.txt"));
    writeBytes(notesPath, "Loose notes\r\n");
    dialogs().expectOpenFile(notesPath, kNotesFilter);
    chooseMenuItem(app, "openNotes");
    dialogs().expectQuestion(kLinkOnClose, Answer::Yes);
    // No card is open, so the link's Yes is followed by no card question.
    chooseMenuItem(app, "exit");
    QVERIFY(!app.mainWindow().isVisible());
    QVERIFY(app.document().card().isModified);
    QVERIFY(!app.document().card().isOpen);
}

void FileCommandsTest::packageMadeWithZipOpens_data() {
    QTest::addColumn<QString>("packageName");
    QTest::newRow("lower case") << QStringLiteral("club.zqw");
    QTest::newRow("capital letters") << QStringLiteral("CLUB.ZQW");
    QTest::newRow("mixed letters") << QStringLiteral("Club.Zqw");
}

void FileCommandsTest::packageMadeWithZipOpens() {
    QFETCH(QString, packageName);
    const QString made = path(QStringLiteral("made"));
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(made));
    QVERIFY(QDir().mkpath(out));
    // The card names its notes where they were when the package was made.
    writeCardFile(made + QStringLiteral("/club.ccf"), QStringLiteral("Packed answer"),
                  made + QStringLiteral("/club notes.txt"), QStringLiteral("Note:..1: packed"));
    QProcess zip;
    zip.setWorkingDirectory(made);
    zip.start(QStringLiteral("zip"),
              {QStringLiteral("-q"), path(packageName), QStringLiteral("club.ccf"),
               QStringLiteral("club notes.txt")});
    QVERIFY(zip.waitForFinished(30000));
    QCOMPARE(zip.exitCode(), 0);
    QVERIFY(QDir(made).removeRecursively());  // the notes must be found beside the card

    EditorApp& app = start();
    dialogs().expectOpenFile(path(packageName), kOpenFilter);
    dialogs().expectFolder(out);
    chooseMenuItem(app, "openCard");

    QCOMPARE(filesUnder(out),
             (QStringList{QStringLiteral("club notes.txt"), QStringLiteral("club.ccf")}));
    zqw::Card& card = app.document().card();
    const QString cardPath = out + QStringLiteral("/club.ccf");
    QCOMPARE(QString::fromStdString(card.cardFileName), cardPath);
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + cardPath);
    QCOMPARE(answerText(app, 1), QStringLiteral("Packed answer"));
    QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("Note:..1: packed\n"));
    QCOMPARE(QString::fromStdString(card.notesFileName), out + QStringLiteral("/club notes.txt"));
    QVERIFY(card.isModified);  // the notes' new place is to be saved
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Packed answer"));
}

void FileCommandsTest::packageEntriesCannotLeaveTheFolder() {
    const QString cardFile = path(QStringLiteral("source.ccf"));
    writeCardFile(cardFile, QStringLiteral("Escaped?"));
    const QByteArray card = readBytes(cardFile);
    QVERIFY(QFile::remove(cardFile));
    const QString out = path(QStringLiteral("a/b/out"));
    QVERIFY(QDir().mkpath(out));
    const QByteArray absolute = path(QStringLiteral("a/absolute.txt")).toUtf8();
    writeArchive(path(QStringLiteral("evil.zqw")), {{"../../evil.ccf", card},
                                                    {"../notes.txt", "up one"},
                                                    {absolute, "absolute"},
                                                    {"sub/../../../deep.ccf", "deep"},
                                                    {"..", "nothing"}});

    EditorApp& app = start();
    dialogs().expectOpenFile(path(QStringLiteral("evil.zqw")), kOpenFilter);
    dialogs().expectFolder(out);
    chooseMenuItem(app, "openCard");

    QCOMPARE(filesUnder(folder()),
             (QStringList{QStringLiteral("a/b/out/absolute.txt"),
                          QStringLiteral("a/b/out/deep.ccf"), QStringLiteral("a/b/out/evil.ccf"),
                          QStringLiteral("a/b/out/notes.txt"), QStringLiteral("evil.zqw")}));
    QCOMPARE(QString::fromStdString(app.document().card().cardFileName),
             out + QStringLiteral("/evil.ccf"));
    QCOMPARE(answerText(app, 1), QStringLiteral("Escaped?"));
}

void FileCommandsTest::packageProblemsKeepTheCard_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("folderAsked");
    QTest::addColumn<QString>("message");  // its start; the rest may name the archive's fault

    QTest::newRow("no entries") << "empty" << true << "No .ccf files enclosed";
    QTest::newRow("only a folder entry") << "folder entry" << true << "No .ccf files enclosed";
    QTest::newRow("not an archive") << "text" << true << "Unable to open the ZQW file %1/bad.zqw: ";
    QTest::newRow("package missing")
        << "missing" << true << "Unable to open the ZQW file %1/bad.zqw: ";
    QTest::newRow("folder dialog cancelled") << "cancel" << true << "";
}

void FileCommandsTest::packageProblemsKeepTheCard() {
    QFETCH(QString, kind);
    QFETCH(bool, folderAsked);
    QFETCH(QString, message);
    const QString package = path(QStringLiteral("bad.zqw"));
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    if (kind == QLatin1String("empty"))
        writeBytes(package, QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
    if (kind == QLatin1String("text")) writeBytes(package, "ZQW1.0\r\nnot a ZIP archive\r\n");
    if (kind == QLatin1String("cancel")) writeArchive(package, {{"club.ccf", "ZQW1.0\r\n"}});
    if (kind == QLatin1String("folder entry")) {
        int code = 0;
        zip_t* archive = zip_open(package.toUtf8().constData(), ZIP_CREATE, &code);
        QVERIFY(archive);
        QVERIFY(zip_dir_add(archive, "cards", ZIP_FL_ENC_RAW) >= 0);
        QVERIFY(zip_close(archive) == 0);
    }

    EditorApp& app = start();
    typeAnswer(app, 1, QStringLiteral("Current"));
    app.sectionView().selectGroup(1);
    dialogs().expectQuestion(kSaveCard, Answer::No);
    dialogs().expectOpenFile(package, kOpenFilter);
    if (folderAsked)
        dialogs().expectFolder(kind == QLatin1String("cancel") ? std::nullopt : std::optional(out));
    if (!message.isEmpty()) dialogs().expectMessage(QString());
    chooseMenuItem(app, "openCard");

    if (!message.isEmpty()) {
        const QString shown = dialogs().log().constLast();
        const QString expected =
            message.contains(QLatin1String("%1")) ? message.arg(folder()) : message;
        QVERIFY2(shown.startsWith(QStringLiteral("message: ") + expected), qPrintable(shown));
    }
    zqw::Card& card = app.document().card();
    QCOMPARE(answerText(app, 1), QStringLiteral("Current"));
    QVERIFY(card.isModified);
    QCOMPARE(QString::fromStdString(card.cardFileName), QStringLiteral("UnNamed file"));
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 1);
    QCOMPARE(filesUnder(out), QStringList());
}

void FileCommandsTest::packageHoldingOnlyNotesGivesABlankCard() {
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    writeArchive(path(QStringLiteral("notes.zqw")), {{"notes.txt", "Note:..1:\r\n"}});
    EditorApp& app = start();
    typeAnswer(app, 1, QStringLiteral("Current"));
    dialogs().expectQuestion(kSaveCard, Answer::No);
    dialogs().expectOpenFile(path(QStringLiteral("notes.zqw")), kOpenFilter);
    dialogs().expectFolder(out);
    dialogs().expectMessage(out + QStringLiteral("/notes.txt has Invalid file content"));
    chooseMenuItem(app, "openCard");
    QCOMPARE(filesUnder(out), QStringList{QStringLiteral("notes.txt")});
    QCOMPARE(QString::fromStdString(app.document().card().cardFileName),
             QStringLiteral("UnNamed file"));
    QCOMPARE(answerText(app, 1), QString());
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
}

ZQW_GUI_TEST(FileCommandsTest)
#include "filecommands_test.moc"
