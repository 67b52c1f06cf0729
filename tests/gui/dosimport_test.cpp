// File > Import DOS ver driven as a user would: the save questions before
// the new card, a synthetic DOS card read into the cells and the notes, and
// what the window shows afterwards.

#include <QTest>

#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

using Answer = UserDialogs::Answer;

// Table value for "no question is asked".
constexpr int kNotAsked = -1;

const QString kDosFilter = QStringLiteral("DOS Convention card files (*.ver)|*.ver");
const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");
const QString kSaveCard = QStringLiteral("Do you wish to save the current file");
const QString kSaveNotes = QStringLiteral("Do you wish to save the current notes file");
const QString kUnnamedCaption = QStringLiteral("ZQW Convention card editor: UnNamed file");

// A DOS card file: zero bytes with texts at the offsets of the file's
// documented layout.
class DosFile {
public:
    DosFile() : bytes_(91502, '\0') {}
    DosFile& put(int offset, const QByteArray& text) {
        bytes_.replace(offset, text.size(), text);
        return *this;
    }
    // Line (1..14) of note (1..60): notes from 32642, 981 bytes apart, a
    // first line of 60 bytes and then lines of 70.
    DosFile& noteLine(int note, int line, const QByteArray& text) {
        const int first = 32642 + (note - 1) * 981;
        return put(line == 1 ? first : first + 60 + (line - 2) * 70, text);
    }
    void write(const QString& path) const { writeBytes(path, bytes_); }

private:
    QByteArray bytes_;
};

// The card of the test: the first section's four rows (the second is the
// zero-terminated field at offset 0, the fourth a fixed field with blanks
// to clean away) and two notes, one with a suit code.
void writeDosCard(const QString& path) {
    DosFile()
        .put(53, "4711")
        .put(0, "Ann & Bob Ray")
        .put(84, "Regular partnership")
        .put(15, "  Strong   club  ")
        .noteLine(1, 1, "Opening leads")
        .noteLine(1, 2, "4th best")
        .noteLine(3, 1, "1\x05 forcing")
        .write(path);
}

QString answerOnScreen(EditorApp& app, int row) { return cellText(app, 1, row, 1); }

}  // namespace

class DosImportTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void importFillsCardAndNotes();
    void questionsComeFirst_data();
    void questionsComeFirst();
    void unreadableFileKeepsBlankCard();
};

void DosImportTest::importFillsCardAndNotes() {
    const QString ver = path(QStringLiteral("club.ver"));
    writeDosCard(ver);
    EditorApp& app = start();
    QCOMPARE(app.action(QStringLiteral("importDosCard"))->text().section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("I&mport DOS ver"));
    // Whatever group shows, the import shows the card from its first one.
    app.sectionView().selectGroup(2);

    dialogs().expectOpenFile(ver, kDosFilter);
    QTest::keyClick(&app.mainWindow(), Qt::Key_M, Qt::ControlModifier);
    session().verifyDialogs();
    const UserDialogs::FileRequest request = dialogs().lastFileRequest();
    QCOMPARE(request.defaultExtension, QStringLiteral("ver"));
    QVERIFY(request.fileName.isEmpty());

    QCOMPARE(app.sectionView().activeGroup(), 0);
    QCOMPARE(app.sectionView().activeSectionTab(), 0);
    QCOMPARE(answerOnScreen(app, 1), QStringLiteral("4711"));
    QCOMPARE(answerOnScreen(app, 2), QStringLiteral("Ann & Bob Ray"));
    QCOMPARE(answerOnScreen(app, 3), QStringLiteral("Regular partnership"));
    QCOMPARE(answerOnScreen(app, 4), QStringLiteral("Strong club"));
    // Each note starts on a heading line of its own after the notes text;
    // the club code shows as the card font's club character.
    QCOMPARE(app.notesEditor().toPlainText(),
             QStringLiteral("\nNote:..1:Opening leads\n4th best\n\nNote:..3:1} forcing\n"));
    QVERIFY(app.notesEditor().isModified());
    QVERIFY(app.document().isModified());
    QVERIFY(app.document().isUnnamed());
    QCOMPARE(app.mainWindow().windowTitle(), kUnnamedCaption);
}

void DosImportTest::questionsComeFirst_data() {
    QTest::addColumn<bool>("cardChanged");
    QTest::addColumn<bool>("notesChanged");
    QTest::addColumn<int>("cardAnswer");
    QTest::addColumn<bool>("saveDialogCancelled");
    QTest::addColumn<int>("notesAnswer");
    // The first answer afterwards: "4711" when the card was imported.
    QTest::addColumn<QString>("firstAnswer");

    const QString imported = QStringLiteral("4711");
    const QString kept = QStringLiteral("Mine");
    QTest::newRow("card No") << true << false << int(Answer::No) << false << kNotAsked << imported;
    QTest::newRow("card Yes, saved")
        << true << false << int(Answer::Yes) << false << kNotAsked << imported;
    QTest::newRow("card Cancel") << true << false << int(Answer::Cancel) << false << kNotAsked
                                 << kept;
    // The card stays the user's when it could not be saved.
    QTest::newRow("card Yes, save dialog cancelled")
        << true << false << int(Answer::Yes) << true << kNotAsked << kept;
    // Changed notes count as a changed card for the card's question.
    QTest::newRow("notes No") << false << true << int(Answer::No) << false << int(Answer::No)
                              << imported;
    QTest::newRow("notes Cancel") << false << true << int(Answer::No) << false
                                  << int(Answer::Cancel) << QString();
}

void DosImportTest::questionsComeFirst() {
    QFETCH(bool, cardChanged);
    QFETCH(bool, notesChanged);
    QFETCH(int, cardAnswer);
    QFETCH(bool, saveDialogCancelled);
    QFETCH(int, notesAnswer);
    QFETCH(QString, firstAnswer);
    const bool imported = firstAnswer == QLatin1String("4711");
    // A card that must not be imported is not there at all: opening it
    // would show a message the script does not expect.
    const QString ver = path(QStringLiteral("club.ver"));
    if (imported) writeDosCard(ver);
    const QString saved = path(QStringLiteral("mine.ccf"));

    EditorApp& app = start();
    if (cardChanged) {
        app.sectionView().selectGroup(0);
        editCell(app, 1, 1, 1);
        typeIntoCell(app, 1, QStringLiteral("Mine"));
        app.sectionView().storePendingEdits();
    }
    if (notesChanged) app.notesEditor().insertAtCaret(QStringLiteral("My notes"));

    dialogs().expectOpenFile(ver, kDosFilter);
    dialogs().expectQuestion(kSaveCard, Answer(cardAnswer));
    if (cardAnswer == int(Answer::Yes))
        dialogs().expectSaveFile(saveDialogCancelled ? std::nullopt : std::optional(saved),
                                 kCardFilter);
    if (notesAnswer != kNotAsked) dialogs().expectQuestion(kSaveNotes, Answer(notesAnswer));
    chooseMenuItem(app, "importDosCard");
    session().verifyDialogs();

    QCOMPARE(answerOnScreen(app, 1), firstAnswer);
    QCOMPARE(app.document().isModified(), !firstAnswer.isEmpty());
    QCOMPARE(app.notesEditor().toPlainText().contains(QStringLiteral("Note:..1:Opening leads")),
             imported);
    if (notesChanged && !imported)
        QCOMPARE(app.notesEditor().toPlainText(), QStringLiteral("My notes"));
    if (cardAnswer == int(Answer::Yes) && !saveDialogCancelled)
        QVERIFY(readBytes(saved).contains("Mine"));
}

void DosImportTest::unreadableFileKeepsBlankCard() {
    const QString ver = path(QStringLiteral("missing.ver"));
    EditorApp& app = start();
    dialogs().expectOpenFile(ver, kDosFilter);
    dialogs().expectMessage(QStringLiteral("Cannot open file ") + ver);
    chooseMenuItem(app, "importDosCard");
    session().verifyDialogs();
    QVERIFY(app.document().isUnnamed());
    QVERIFY(!app.document().isModified());
    QCOMPARE(answerOnScreen(app, 1), QString());
}

ZQW_GUI_TEST(DosImportTest)
#include "dosimport_test.moc"
