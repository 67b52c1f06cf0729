// What the editor keeps for the user alone: the copies of unsaved work, the
// folder they live in and the per-user store are created open to the owner
// only (whatever the umask lets others have), and a copy's note holds any
// file name.

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include "app/recoveryfiles.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "platform/profilestore.h"

namespace {

// The permission bits of a file or folder.
int modeOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

// The usual umask, which lets everyone read new files, for the span of a
// test: under a stricter one every check would pass by itself.
class UsualUmask {
public:
    UsualUmask() : old_(::umask(022)) {}
    ~UsualUmask() { ::umask(old_); }

private:
    mode_t old_;
};

QString storePath() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZQW_VEZ"))
        .fileName();
}

}  // namespace

class PrivateFilesTest : public QObject {
    Q_OBJECT

private slots:
    void copiesOfUnsavedWorkAreTheUsersAlone_data();
    void copiesOfUnsavedWorkAreTheUsersAlone();
    void theStoreIsCreatedPrivate_data();
    void theStoreIsCreatedPrivate();
    void aNoteHoldsAnyFileName_data();
    void aNoteHoldsAnyFileName();
    void notesOfEarlierBuildsAreStillRead();
};

void PrivateFilesTest::copiesOfUnsavedWorkAreTheUsersAlone_data() {
    QTest::addColumn<bool>("folderLeftOpen");
    QTest::newRow("folder made by the editor") << false;
    QTest::newRow("folder an earlier build left open to others") << true;
}

void PrivateFilesTest::copiesOfUnsavedWorkAreTheUsersAlone() {
    QFETCH(bool, folderLeftOpen);
    UsualUmask umask;
    EditorSession session;
    const QString folder = RecoveryFiles::folder();
    if (folderLeftOpen) {
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(modeOf(folder), 0755);
    }
    EditorApp& app = session.start();
    app.sectionView().selectGroup(0);
    editCell(app, 1, 1, 1);
    typeIntoCell(app, 1, QStringLiteral("Not for other eyes"));
    app.sectionView().storePendingEdits();
    QTRY_VERIFY_WITH_TIMEOUT(
        !QDir(folder).entryList({QStringLiteral("*.recovery")}, QDir::Files).isEmpty(), 15000);

    QCOMPARE(modeOf(folder), 0700);
    const QStringList copies = QDir(folder).entryList(
        {QStringLiteral("*.ccf"), QStringLiteral("*.txt"), QStringLiteral("*.recovery")},
        QDir::Files);
    QCOMPARE(copies.size(), 3);
    for (const QString& name : copies) {
        QVERIFY2(modeOf(QDir(folder).filePath(name)) == 0600, qPrintable(name));
        QVERIFY(readBytes(QDir(folder).filePath(name)) != "<unreadable>");
    }
    session.verifyDialogs();
}

void PrivateFilesTest::theStoreIsCreatedPrivate_data() {
    QTest::addColumn<bool>("leftOpen");
    QTest::newRow("a first run") << false;
    QTest::newRow("a store an earlier build left open to others") << true;
}

void PrivateFilesTest::theStoreIsCreatedPrivate() {
    QFETCH(bool, leftOpen);
    UsualUmask umask;
    IsolatedSettings settings;
    const QString path = storePath();
    if (leftOpen) {
        writeBytes(path, "[profile]\nHost=mail.example\n");
        QCOMPARE(modeOf(path), 0644);
    }
    ProfileStore store;
    // Private from the start, before anything is written into it.
    QCOMPARE(modeOf(path), 0600);
    store.setValue(QStringLiteral("UserID"), QStringLiteral("someone"));
    store.sync();
    QCOMPARE(modeOf(path), 0600);
    QVERIFY(readBytes(path).contains("someone"));
    if (leftOpen) QCOMPARE(store.value(QStringLiteral("host")), QStringLiteral("mail.example"));
}

void PrivateFilesTest::aNoteHoldsAnyFileName_data() {
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("notes");
    QTest::newRow("plain") << "/home/p/club.ccf"
                           << "/home/p/club.txt";
    QTest::newRow("line breaks") << "/home/p/two\nlines.ccf"
                                 << "/home/p/cr\r\nlf\n";
    QTest::newRow("what a note might use itself") << "/home/p/card %0A notes %25.ccf"
                                                  << "notes /home/p/x.txt";
    QTest::newRow("no notes, unnamed card") << "UnNamed file"
                                            << "";
    QTest::newRow("letters beyond ASCII")
        << QStringLiteral("/home/p/Bücher/Übung ♣.ccf") << QStringLiteral("/home/p/Ärger.txt");
}

void PrivateFilesTest::aNoteHoldsAnyFileName() {
    QFETCH(QString, card);
    QFETCH(QString, notes);
    RecoveryFiles::Copy copy;
    copy.cardFile = card;
    copy.notesFile = notes;
    copy.cardState = "802:" + QByteArray(64, 'a');
    const auto read = RecoveryFiles::parseNote(RecoveryFiles::noteBytes(copy));
    QVERIFY(read);
    QCOMPARE(read->cardFile, card);
    QCOMPARE(read->notesFile, notes);
    QCOMPARE(read->cardState, copy.cardState);
    QCOMPARE(read->notesState, QByteArray());
}

void PrivateFilesTest::notesOfEarlierBuildsAreStillRead() {
    // They held the two names on two lines; copies left by such a build are
    // offered after an update too.
    const auto read = RecoveryFiles::parseNote("/home/p/club.ccf\n/home/p/club notes.txt");
    QVERIFY(read);
    QCOMPARE(read->cardFile, QStringLiteral("/home/p/club.ccf"));
    QCOMPARE(read->notesFile, QStringLiteral("/home/p/club notes.txt"));
    QVERIFY(!RecoveryFiles::parseNote("zqwcce recovery note 2\nnotes x\ncard y\n"));
}

ZQW_GUI_TEST(PrivateFilesTest)
#include "privatefiles_test.moc"
