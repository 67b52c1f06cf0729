// Two editors of one user at the same time, each in a process of its own
// (the second one is tests/gui/editorpeer.cpp): neither takes the other's
// copies of unsaved work, and neither silently writes over a card or notes
// file the other saved.

#include <signal.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "app/recoveryfiles.h"
#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

using Answer = UserDialogs::Answer;

constexpr int kNotAsked = -1;
const QString kOpenFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kNotesFilter = QStringLiteral("Text file (*.txt)|*.txt");

QString restoreQuestion(const QString& card) {
    return QStringLiteral("The editor did not close normally. Restore the unsaved changes to ") +
           card + QStringLiteral("?");
}
QString overwriteQuestion(const QString& file) {
    return file +
           QStringLiteral(" was changed by another program since you opened it. Overwrite it?");
}
QString openElsewhereMessage(const QString& card) {
    return card + QStringLiteral(" is also open in another editor on this machine.");
}

// The other editor: started on the test's settings and state folders, driven
// line by line, killed or ended on request.
class PeerEditor {
public:
    PeerEditor() { process_.setProcessChannelMode(QProcess::ForwardedErrorChannel); }
    ~PeerEditor() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.closeWriteChannel();
        if (!process_.waitForFinished(10000)) kill();
    }

    bool start() {
        process_.start(QStringLiteral(ZQW_EDITOR_PEER), {});
        return process_.waitForStarted(10000) && nextLine() == QStringLiteral("ready");
    }
    // Runs one command; what the editor said before it was done (messages,
    // questions), or "<no answer>" when it stopped answering.
    QStringList run(const QString& verb, const QString& argument = {}) {
        process_.write(verb.toUtf8() + ' ' + argument.toUtf8().toPercentEncoding() + '\n');
        QStringList said;
        for (;;) {
            const QString line = nextLine();
            if (line == QStringLiteral("done")) return said;
            if (line.isNull()) return {QStringLiteral("<no answer>")};
            said << line;
        }
    }
    // As a crash ends it: no question, nothing tidied up.
    void kill() {
        ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
        process_.waitForFinished(10000);
    }

private:
    QString nextLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(20000)) return {};
        }
        return QString::fromUtf8(process_.readLine()).chopped(1);
    }

    QProcess process_;
};

// The notes of the copies of unsaved work in the state folder.
QStringList recoveryNotes() {
    return QDir(RecoveryFiles::folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

// Types into the first section's first answer and stores it.
void typeAnswer(EditorApp& app, const QString& text) {
    app.sectionView().selectGroup(0);
    editCell(app, 1, 1, 1);
    typeIntoCell(app, 1, text);
    app.sectionView().storePendingEdits();
}

void openCard(EditorSession& session, const QString& path) {
    session.dialogs().expectOpenFile(path, kOpenFilter);
    chooseMenuItem(session.app(), "openCard");
}

}  // namespace

class TwoEditorsTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void aRunningEditorsCopyIsLeftToIt();
    void aCopyIsRestoredUnderANameOfAnyCharacters();
    void restoredWorkStillAsksBeforeOverwritingAnotherSave();
    void everyEditorOnACardIsToldOfTheOthers();
    void theSecondEditorOnACardIsToldAndAsksBeforeOverwriting_data();
    void theSecondEditorOnACardIsToldAndAsksBeforeOverwriting();
    void changesOnDiskAreTold_data();
    void changesOnDiskAreTold();
};

void TwoEditorsTest::aRunningEditorsCopyIsLeftToIt() {
    PeerEditor peer;
    QVERIFY(peer.start());
    QCOMPARE(peer.run(QStringLiteral("type"), QStringLiteral("Partner's unsaved work")),
             QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(!recoveryNotes().isEmpty(), 15000);
    const QDir folder(RecoveryFiles::folder());
    const QStringList peersFiles = folder.entryList(QDir::Files);

    // A second editor while the first runs: nothing to offer, nothing gone.
    session().start();
    session().verifyDialogs();
    session().stop();
    for (const QString& file : peersFiles) QVERIFY2(folder.exists(file), qPrintable(file));

    // Once the first editor has crashed, its work is offered.
    peer.kill();
    session().dialogs().expectQuestion(restoreQuestion(QStringLiteral("UnNamed file")),
                                       Answer::Yes);
    EditorApp& app = session().start();
    session().verifyDialogs();
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Partner's unsaved work"));
    QVERIFY(app.document().isModified());
}

void TwoEditorsTest::aCopyIsRestoredUnderANameOfAnyCharacters() {
    // Folder and file names may hold line breaks and the characters a note
    // might use to separate its parts.
    const QString folder = path(QStringLiteral("two\nlines %0A"));
    QVERIFY(QDir().mkpath(folder));
    const QString card = folder + QStringLiteral("/club\r\ncard: notes.ccf");
    writeCardFile(card, QStringLiteral("Strong club"));
    PeerEditor peer;
    QVERIFY(peer.start());
    QCOMPARE(peer.run(QStringLiteral("open"), card), QStringList());
    QCOMPARE(peer.run(QStringLiteral("type"), QStringLiteral("Changed")), QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(!recoveryNotes().isEmpty(), 15000);
    peer.kill();

    session().dialogs().expectQuestion(restoreQuestion(card), Answer::Yes);
    EditorApp& app = session().start();
    session().verifyDialogs();
    QCOMPARE(app.document().fileName(), card);
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Changed"));
}

void TwoEditorsTest::restoredWorkStillAsksBeforeOverwritingAnotherSave() {
    const QString card = path(QStringLiteral("club.ccf"));
    writeCardFile(card, QStringLiteral("Opening"));
    PeerEditor peer;
    QVERIFY(peer.start());
    QCOMPARE(peer.run(QStringLiteral("open"), card), QStringList());
    // Another program saves the card while the editor has it open; then the
    // editor's unsaved work is copied, and it crashes.
    writeCardFile(card, QStringLiteral("Saved elsewhere"));
    const QByteArray elsewhere = readBytes(card);
    QTest::qWait(20);  // the copy is later than that save
    QCOMPARE(peer.run(QStringLiteral("type"), QStringLiteral("Crashed work")), QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(!recoveryNotes().isEmpty(), 15000);
    peer.kill();

    session().dialogs().expectQuestion(restoreQuestion(card), Answer::Yes);
    EditorApp& app = session().start();
    QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Crashed work"));
    // The restored work was made on the card as it was before that save.
    session().dialogs().expectQuestionDefaultNo(overwriteQuestion(card), Answer::No);
    chooseMenuItem(app, "saveCard");
    session().verifyDialogs();
    QCOMPARE(readBytes(card), elsewhere);
}

void TwoEditorsTest::everyEditorOnACardIsToldOfTheOthers() {
    const QString card = path(QStringLiteral("club.ccf"));
    writeCardFile(card, QStringLiteral("Opening"));
    auto first = std::make_unique<PeerEditor>();
    QVERIFY(first->start());
    QCOMPARE(first->run(QStringLiteral("open"), card), QStringList());
    EditorApp& app = session().start();
    session().dialogs().expectOpenFile(card, kOpenFilter);
    session().dialogs().expectMessage(openElsewhereMessage(card));
    chooseMenuItem(app, "openCard");
    session().verifyDialogs();

    // The first editor ends; a third still hears of the second.
    first.reset();
    auto third = std::make_unique<PeerEditor>();
    QVERIFY(third->start());
    QCOMPARE(third->run(QStringLiteral("open"), card),
             QStringList{QStringLiteral("message: ") + openElsewhereMessage(card)});
    // Once the others have ended, one crashed, nobody is told.
    session().stop();
    third->kill();
    PeerEditor last;
    QVERIFY(last.start());
    QCOMPARE(last.run(QStringLiteral("open"), card), QStringList());
}

void TwoEditorsTest::theSecondEditorOnACardIsToldAndAsksBeforeOverwriting_data() {
    QTest::addColumn<int>("cardAnswer");
    QTest::addColumn<int>("notesAnswer");
    QTest::newRow("No keeps the other editor's card and notes") << int(Answer::No) << kNotAsked;
    QTest::newRow("Yes to the card, No to the notes: neither is written")
        << int(Answer::Yes) << int(Answer::No);
    QTest::newRow("Yes to both writes over both") << int(Answer::Yes) << int(Answer::Yes);
}

void TwoEditorsTest::theSecondEditorOnACardIsToldAndAsksBeforeOverwriting() {
    QFETCH(int, cardAnswer);
    QFETCH(int, notesAnswer);
    const QString card = path(QStringLiteral("club.ccf"));
    const QString notes = path(QStringLiteral("club.txt"));
    writeCardFile(card, QStringLiteral("Opening"), notes, QStringLiteral("Note:..1:first"));
    PeerEditor peer;
    QVERIFY(peer.start());
    QCOMPARE(peer.run(QStringLiteral("open"), card), QStringList());

    EditorApp& app = session().start();
    session().dialogs().expectOpenFile(card, kOpenFilter);
    session().dialogs().expectMessage(openElsewhereMessage(card));
    chooseMenuItem(app, "openCard");
    session().verifyDialogs();

    // The other editor saves first: the files are as it read them, so it
    // asks nothing.
    QCOMPARE(peer.run(QStringLiteral("type"), QStringLiteral("Partner")), QStringList());
    QCOMPARE(peer.run(QStringLiteral("notes"), QStringLiteral(" partner's note")), QStringList());
    QCOMPARE(peer.run(QStringLiteral("save")), QStringList());
    const QByteArray partnerCard = readBytes(card);
    const QByteArray partnerNotes = readBytes(notes);
    QVERIFY(partnerCard.contains("Partner"));
    QVERIFY(partnerNotes.contains("partner's note"));

    typeAnswer(app, QStringLiteral("Mine"));
    app.notesEditor().moveCursor(QTextCursor::End);
    app.notesEditor().insertPlainText(QStringLiteral(" my note"));
    session().dialogs().expectQuestionDefaultNo(overwriteQuestion(card), Answer(cardAnswer));
    if (notesAnswer != kNotAsked)
        session().dialogs().expectQuestionDefaultNo(overwriteQuestion(notes), Answer(notesAnswer));
    chooseMenuItem(app, "saveCard");
    session().verifyDialogs();

    const bool written = cardAnswer == int(Answer::Yes) && notesAnswer == int(Answer::Yes);
    if (written) {
        QVERIFY(readBytes(card).contains("Mine"));
        QVERIFY(readBytes(notes).contains("my note"));
        QVERIFY(!readBytes(notes).contains("partner's note"));
        // What this editor wrote is what it knows now: its next save asks
        // nothing.
        typeAnswer(app, QStringLiteral("Mine again"));
        chooseMenuItem(app, "saveCard");
        session().verifyDialogs();
        QVERIFY(readBytes(card).contains("Mine again"));
    } else {
        QCOMPARE(readBytes(card), partnerCard);
        QCOMPARE(readBytes(notes), partnerNotes);
        QVERIFY(app.document().isModified());
        QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Mine"));
    }
}

void TwoEditorsTest::changesOnDiskAreTold_data() {
    QTest::addColumn<QString>("file");     // "card" or "notes": the one another program writes
    QTest::addColumn<QString>("change");   // "same size", "same bytes", "removed"
    QTest::addColumn<QString>("command");  // the command that writes
    QTest::addColumn<bool>("asked");
    QTest::newRow("card: other bytes of the same size") << "card"
                                                        << "same size"
                                                        << "saveCard" << true;
    QTest::newRow("card: the same bytes written again") << "card"
                                                        << "same bytes"
                                                        << "saveCard" << false;
    QTest::newRow("card: removed (the save puts it back)") << "card"
                                                           << "removed"
                                                           << "saveCard" << false;
    QTest::newRow("notes: other bytes, card save") << "notes"
                                                   << "same size"
                                                   << "saveCard" << true;
    QTest::newRow("notes: other bytes, Notes > Save") << "notes"
                                                      << "same size"
                                                      << "saveNotes" << true;
    QTest::newRow("notes: the same bytes, Notes > Save") << "notes"
                                                         << "same bytes"
                                                         << "saveNotes" << false;
}

void TwoEditorsTest::changesOnDiskAreTold() {
    QFETCH(QString, file);
    QFETCH(QString, change);
    QFETCH(QString, command);
    QFETCH(bool, asked);
    const QString card = path(QStringLiteral("club.ccf"));
    const QString notes = path(QStringLiteral("club.txt"));
    writeCardFile(card, QStringLiteral("Opening"), notes, QStringLiteral("Note:..1:first"));
    EditorApp& app = session().start();
    openCard(session(), card);

    const QString changed = file == QLatin1String("card") ? card : notes;
    const QByteArray before = readBytes(changed);
    if (change == QLatin1String("same size")) {
        QByteArray other = before;
        other.replace("first", "FIRST").replace("Opening", "OPENING");
        QVERIFY(other != before);
        writeBytes(changed, other);
    } else if (change == QLatin1String("same bytes")) {
        QTest::qWait(20);  // a later modification time
        writeBytes(changed, before);
    } else {
        QVERIFY(QFile::remove(changed));
    }
    const QByteArray onDisk = readBytes(changed);

    typeAnswer(app, QStringLiteral("Mine"));
    app.notesEditor().moveCursor(QTextCursor::End);
    app.notesEditor().insertPlainText(QStringLiteral(" my note"));
    if (asked) session().dialogs().expectQuestionDefaultNo(overwriteQuestion(changed), Answer::No);
    chooseMenuItem(app, command.toLatin1().constData());
    session().verifyDialogs();
    if (asked) {
        QCOMPARE(readBytes(changed), onDisk);
    } else {
        QVERIFY(readBytes(changed).contains(file == QLatin1String("card") ? "Mine" : "my note"));
    }
}

ZQW_GUI_TEST(TwoEditorsTest)
#include "twoeditors_test.moc"
