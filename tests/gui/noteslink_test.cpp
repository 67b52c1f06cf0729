// A card's notes link as a received card or package would use it against the
// user: the editor opens notes out of the card's folder only when the user
// linked that pair or agrees, asking with No as the default, and never
// follows the path written in a packaged card.

#include <zip.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include "app/editorapp.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "platform/profilestore.h"

namespace {

using Answer = UserDialogs::Answer;

const QString kOpenFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kPackageFilter = QStringLiteral("ZQW files (*.zqw)|*.zqw");

QString outsideQuestion(const QString& card, const QString& notes) {
    return QStringLiteral(
               "The card %1 links the notes file %2, which is outside the card's "
               "folder. Open it as the card's notes?")
        .arg(card, notes);
}

QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

// Stored names of a package, in order.
QStringList entryNames(const QString& package) {
    QStringList names;
    int code = 0;
    zip_t* archive = zip_open(package.toUtf8().constData(), ZIP_RDONLY, &code);
    if (!archive) return {QStringLiteral("<no package>")};
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        names << QString::fromUtf8(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
    }
    zip_close(archive);
    return names;
}

}  // namespace

// How the table's card links its notes.
enum class LinkTo { Beside, HomeFile, SymbolicLinkOut, Subfolder };
Q_DECLARE_METATYPE(LinkTo)

class NotesLinkTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        session_ = std::make_unique<EditorSession>();
        QVERIFY(QDir().mkpath(path(QStringLiteral("home/cards/sub"))));
        QVERIFY(QDir().mkpath(path(QStringLiteral("home/Downloads"))));
        writeBytes(home(QStringLiteral(".bashrc")), "alias ls='ls --color'\n");
    }
    void cleanup() {
        if (session_) session_->verifyDialogs();
        session_.reset();
    }

    void openingACardAsksAboutNotesOutsideItsFolder_data();
    void openingACardAsksAboutNotesOutsideItsFolder();
    void aPairTheUserSavedOpensWithoutAsking();
    void aPackageLinksOnlyTheNotesExtractedWithIt_data();
    void aPackageLinksOnlyTheNotesExtractedWithIt();
    void produceAfterDecliningPacksTheCardAlone();
    void theRealQuestionDefaultsToNo();
    void theStoreKeepsOnePairPerCardAndABoundedNumber();

private:
    QString path(const QString& name) const { return session_->path(name); }
    QString home(const QString& name) const { return path(QStringLiteral("home/") + name); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }

    std::unique_ptr<EditorSession> session_;
};

void NotesLinkTest::openingACardAsksAboutNotesOutsideItsFolder_data() {
    QTest::addColumn<LinkTo>("linkTo");
    QTest::addColumn<int>("answer");  // -1: not asked
    QTest::newRow("beside the card") << LinkTo::Beside << -1;
    QTest::newRow("home file, No") << LinkTo::HomeFile << int(Answer::No);
    QTest::newRow("home file, Yes") << LinkTo::HomeFile << int(Answer::Yes);
    QTest::newRow("symbolic link out, No") << LinkTo::SymbolicLinkOut << int(Answer::No);
    QTest::newRow("subfolder, Yes") << LinkTo::Subfolder << int(Answer::Yes);
}

void NotesLinkTest::openingACardAsksAboutNotesOutsideItsFolder() {
    QFETCH(LinkTo, linkTo);
    QFETCH(int, answer);
    const QString card = home(QStringLiteral("Downloads/partner.ccf"));
    QString link;
    QString target;
    switch (linkTo) {
        case LinkTo::Beside:
            target = home(QStringLiteral("Downloads/partner.txt"));
            writeBytes(target, "Note:..1: beside\r\n");
            link = target;
            break;
        case LinkTo::HomeFile:
            // Relative, as a crafted card would write it: from the card's
            // folder, not from the working folder.
            link = QStringLiteral("../.bashrc");
            target = home(QStringLiteral(".bashrc"));
            break;
        case LinkTo::SymbolicLinkOut:
            link = home(QStringLiteral("Downloads/innocent.txt"));
            QVERIFY(QFile::link(home(QStringLiteral(".bashrc")), link));
            target = home(QStringLiteral(".bashrc"));
            break;
        case LinkTo::Subfolder:
            target = home(QStringLiteral("Downloads/sub/notes.txt"));
            QVERIFY(QDir().mkpath(home(QStringLiteral("Downloads/sub"))));
            writeBytes(target, "Note:..1: below\r\n");
            link = QStringLiteral("sub/notes.txt");
            break;
    }
    writeBytes(card, "ZQW1.0" + QFile::encodeName(link) + "\r\n");
    const QByteArray targetBytes = readBytes(target);

    EditorApp& app = session_->start();
    dialogs().expectOpenFile(card, kOpenFilter);
    if (answer >= 0) {
        dialogs().expectQuestionDefaultNo(outsideQuestion(card, canonical(target)), Answer(answer));
    }
    chooseMenuItem(app, "openCard");
    session_->verifyDialogs();

    const zqw::Card& opened = app.document().card();
    const bool followed = answer != int(Answer::No);
    QCOMPARE(QString::fromStdString(opened.notesFileName),
             followed ? canonical(target) : QString());
    QCOMPARE(app.notesEditor().toPlainText().toUtf8(),
             followed ? QByteArray(targetBytes).replace("\r\n", "\n") : QByteArray());
    QVERIFY(!opened.isModified);

    // Saving writes the card, and notes only where the link was followed.
    app.sectionView().selectGroup(0);
    editCell(app, 1, 1, 1);
    typeIntoCell(app, 1, QStringLiteral("changed"));
    app.sectionView().storePendingEdits();
    chooseMenuItem(app, "saveCard");
    if (!followed) QCOMPARE(readBytes(target), targetBytes);
    QVERIFY(readBytes(card).startsWith(followed ? "ZQW1.0" + QFile::encodeName(canonical(target))
                                                : QByteArray("ZQW1.0\r\n")));
}

void NotesLinkTest::aPairTheUserSavedOpensWithoutAsking() {
    // The user's own card keeps its notes in another folder.
    const QString notes = home(QStringLiteral("notes/system.txt"));
    QVERIFY(QDir().mkpath(home(QStringLiteral("notes"))));
    writeBytes(notes, "Note:..1: ours\r\n");
    const QString card = home(QStringLiteral("cards/system.ccf"));
    writeCardFile(card, QStringLiteral("Ours"), notes, QStringLiteral("Note:..1: ours"));

    EditorApp& app = session_->start();
    dialogs().expectOpenFile(card, kOpenFilter);
    dialogs().expectQuestionDefaultNo(outsideQuestion(card, canonical(notes)), Answer::Yes);
    chooseMenuItem(app, "openCard");
    // Saved under another name, the new card and its notes are a pair too.
    const QString copy = home(QStringLiteral("cards/copy.ccf"));
    dialogs().expectSaveFile(copy, kCardFilter);
    chooseMenuItem(app, "saveCardAs");
    session_->verifyDialogs();

    // Started again, neither card asks; the same link in a card the user
    // did not make does.
    const QString stranger = home(QStringLiteral("Downloads/system.ccf"));
    QVERIFY(QFile::copy(card, stranger));
    session_->stop();
    EditorApp& again = session_->start();
    for (const QString& known : {card, copy}) {
        dialogs().expectOpenFile(known, kOpenFilter);
        chooseMenuItem(again, "openCard");
        session_->verifyDialogs();
        QCOMPARE(QString::fromStdString(again.document().card().notesFileName), canonical(notes));
        QCOMPARE(again.notesEditor().toPlainText(), QStringLiteral("Note:..1: ours\n"));
    }
    dialogs().expectOpenFile(stranger, kOpenFilter);
    dialogs().expectQuestionDefaultNo(outsideQuestion(stranger, canonical(notes)), Answer::No);
    chooseMenuItem(again, "openCard");
    QCOMPARE(again.document().card().notesFileName, std::string());
}

void NotesLinkTest::aPackageLinksOnlyTheNotesExtractedWithIt_data() {
    QTest::addColumn<bool>("withNotes");
    QTest::newRow("notes packed") << true;
    QTest::newRow("no notes packed") << false;
}

void NotesLinkTest::aPackageLinksOnlyTheNotesExtractedWithIt() {
    QFETCH(bool, withNotes);
    // The packaged card links a file that exists in the user's home folder,
    // under the bare name of the notes it came with, if any.
    const QString victim = home(QStringLiteral("secret.txt"));
    writeBytes(victim, "not for the package\n");
    const QString cardFile = path(QStringLiteral("make.ccf"));
    writeCardFile(cardFile, QStringLiteral("Packed"));
    QByteArray card = readBytes(cardFile);
    card.replace(0, card.indexOf("\r\n"), "ZQW1.0" + QFile::encodeName(victim));
    QList<QPair<QByteArray, QByteArray>> entries{{"club.ccf", card}};
    if (withNotes)
        entries.append(qMakePair(QByteArray("secret.txt"), QByteArray("Note:..1: packed\r\n")));
    writeArchive(path(QStringLiteral("club.zqw")), entries);
    const QString out = home(QStringLiteral("Downloads"));

    EditorApp& app = session_->start();
    dialogs().expectOpenFile(path(QStringLiteral("club.zqw")), kOpenFilter);
    dialogs().expectFolder(out);
    chooseMenuItem(app, "openCard");
    session_->verifyDialogs();

    const zqw::Card& opened = app.document().card();
    QCOMPARE(QString::fromStdString(opened.notesFileName),
             withNotes ? canonical(out + QStringLiteral("/secret.txt")) : QString());
    QCOMPARE(app.notesEditor().toPlainText(),
             withNotes ? QStringLiteral("Note:..1: packed\n") : QString());
    QCOMPARE(readBytes(victim), QByteArray("not for the package\n"));
}

void NotesLinkTest::produceAfterDecliningPacksTheCardAlone() {
    const QString card = home(QStringLiteral("Downloads/partner.ccf"));
    writeBytes(card, "ZQW1.0" + QFile::encodeName(home(QStringLiteral(".bashrc"))) + "\r\n");
    const QString package = home(QStringLiteral("Downloads/partner.zqw"));

    EditorApp& app = session_->start();
    dialogs().expectOpenFile(card, kOpenFilter);
    dialogs().expectQuestionDefaultNo({}, Answer::No);
    chooseMenuItem(app, "openCard");
    // The card has no partnership names: the check before packing finds
    // that, and its list is declined.
    dialogs().expectQuestion(
        QStringLiteral("The check of the card found errors. Do you wish to see them first?"),
        Answer::No);
    dialogs().expectSaveFile(package, kPackageFilter);
    chooseMenuItem(app, "producePackage");
    session_->verifyDialogs();
    QCOMPARE(entryNames(package), QStringList{QStringLiteral("partner.ccf")});
}

void NotesLinkTest::theRealQuestionDefaultsToNo() {
    // The editor's own question box, answered by Enter.
    QtUserDialogs real;
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(real.questionDefaultNo(QStringLiteral("Open it?")), Answer::No);
}

void NotesLinkTest::theStoreKeepsOnePairPerCardAndABoundedNumber() {
    const QString card = QStringLiteral("/cards/a.ccf");
    {
        ProfileStore store;
        store.rememberNotesLink(card, QStringLiteral("/notes/old.txt"));
        // Linked again to other notes, the card no longer opens the old ones.
        store.rememberNotesLink(card, QStringLiteral("/notes/new.txt"));
        QVERIFY(!store.isRememberedNotesLink(card, QStringLiteral("/notes/old.txt")));
        QVERIFY(store.isRememberedNotesLink(card, QStringLiteral("/notes/new.txt")));
        QVERIFY(!store.isRememberedNotesLink(QStringLiteral("/cards/b.ccf"),
                                             QStringLiteral("/notes/new.txt")));
        // Paths with any character survive the store.
        store.rememberNotesLink(QStringLiteral("/cards/x, \"y\"\n.ccf"),
                                QStringLiteral("/notes/=;#.txt"));
    }
    ProfileStore reopened;
    QVERIFY(reopened.isRememberedNotesLink(card, QStringLiteral("/notes/new.txt")));
    QVERIFY(reopened.isRememberedNotesLink(QStringLiteral("/cards/x, \"y\"\n.ccf"),
                                           QStringLiteral("/notes/=;#.txt")));
    // Hundreds of cards later the oldest pair is gone and the newest kept.
    for (int i = 0; i < 600; ++i) {
        reopened.rememberNotesLink(QStringLiteral("/cards/%1.ccf").arg(i),
                                   QStringLiteral("/notes/%1.txt").arg(i));
    }
    QVERIFY(!reopened.isRememberedNotesLink(card, QStringLiteral("/notes/new.txt")));
    QVERIFY(reopened.isRememberedNotesLink(QStringLiteral("/cards/599.ccf"),
                                           QStringLiteral("/notes/599.txt")));
}

ZQW_GUI_TEST(NotesLinkTest)
#include "noteslink_test.moc"
