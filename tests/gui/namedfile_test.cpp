// A card or package named on the command line, as a file manager starts the
// editor for it: opened once the window shows, after the save question for
// the card already loaded, and before the start-up hints.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "app/editorapp.h"
#include "card/plainnotes.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"

namespace {

using Answer = UserDialogs::Answer;

constexpr int kNotAsked = -1;
const QString kCaption = QStringLiteral("ZQW Convention card editor: ");
const QString kSaveCard = QStringLiteral("Do you wish to save the current file");
const QString kCardFilter = QStringLiteral("Convention card files (*.ccf)|*.ccf");

// The card's answer in the first section's first row.
QString firstAnswer(EditorApp& app) {
    zqw::Card& card = app.document().card();
    const zqw::RowRef ref = card.findGridRow(0, 1, 1);
    return ref ? QString::fromStdString(card.field(ref, 1, 2)) : QStringLiteral("<no row>");
}

}  // namespace

class NamedFileTest : public EditorSessionTest {
    Q_OBJECT

private slots:
    void namedFileOpensOnceShown_data();
    void namedFileOpensOnceShown();
    void hintsComeUpOverTheNamedCard();
};

void NamedFileTest::namedFileOpensOnceShown_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("named");  // "card", "package" or "missing"
    QTest::addColumn<bool>("opened");

    QTest::newRow("unchanged: no question") << false << kNotAsked << "card" << true;
    QTest::newRow("changed, No") << true << int(Answer::No) << "card" << true;
    QTest::newRow("changed, Yes: saved first") << true << int(Answer::Yes) << "card" << true;
    QTest::newRow("changed, Cancel: the card stays")
        << true << int(Answer::Cancel) << "card" << false;
    QTest::newRow("missing: said so") << false << kNotAsked << "missing" << false;
    QTest::newRow("package: extracted, then opened") << false << kNotAsked << "package" << true;
}

void NamedFileTest::namedFileOpensOnceShown() {
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(QString, named);
    QFETCH(bool, opened);
    const QString cardPath = path(QStringLiteral("named.ccf"));
    writeCardFile(cardPath, QStringLiteral("From disk"));
    QString namedPath = cardPath;
    QString openedPath = cardPath;
    if (named == QLatin1String("missing")) namedPath = path(QStringLiteral("gone.ccf"));
    if (named == QLatin1String("package")) {
        namedPath = path(QStringLiteral("named.zqw"));
        QCOMPARE(
            QProcess::execute(QStringLiteral("zip"), {QStringLiteral("-jq"), namedPath, cardPath}),
            0);
        const QString out = path(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(out));
        dialogs().expectFolder(out);
        openedPath = out + QStringLiteral("/named.ccf");
    }

    EditorApp& app = session().create();
    QVERIFY(app.isReady());
    // A change to the card: a note number on its first row.
    if (changed)
        app.document().changeRow(QStringLiteral("Note number"), 1,
                                 app.document().card().rows[1].text, 7);
    const QString savedPath = path(QStringLiteral("saved.ccf"));
    if (answer != kNotAsked) dialogs().expectQuestion(kSaveCard, Answer(answer));
    if (answer == int(Answer::Yes)) dialogs().expectSaveFile(savedPath, kCardFilter);
    if (named == QLatin1String("missing"))
        dialogs().expectMessage(namedPath + QStringLiteral(" file not found"));
    app.openWhenShown(namedPath);

    // Nothing happens before the window shows.
    QCOMPARE(dialogs().log(), QStringList());
    QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
    showActive(app);

    zqw::Card& card = app.document().card();
    if (opened) {
        QTRY_COMPARE(app.mainWindow().windowTitle(), kCaption + openedPath);
        QCOMPARE(QString::fromStdString(card.cardFileName), openedPath);
        QCOMPARE(firstAnswer(app), QStringLiteral("From disk"));
        QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("From disk"));
        QVERIFY(!card.isModified);
    } else {
        QTRY_COMPARE(dialogs().pending(), 0);
        QCOMPARE(app.mainWindow().windowTitle(), kCaption + QStringLiteral("UnNamed file"));
        QCOMPARE(firstAnswer(app), QString());
        QCOMPARE(card.isModified, changed);
    }
    QCOMPARE(QFileInfo::exists(savedPath), answer == int(Answer::Yes));
}

void NamedFileTest::hintsComeUpOverTheNamedCard() {
    const QString cardPath = path(QStringLiteral("named.ccf"));
    writeCardFile(cardPath, QStringLiteral("From disk"));
    EditorApp& app = session().create();
    QVERIFY(app.isReady());
    app.settings().setHintsAtStart(true);
    QString titleUnderHints;
    dialogs().expectDialog(QStringLiteral("Hints for using the ZQW Convention card editor"),
                           [&app, &titleUnderHints](QDialog&) {
                               titleUnderHints = app.mainWindow().windowTitle();
                               return int(QDialog::Rejected);
                           });
    app.openWhenShown(cardPath);
    showActive(app);
    QTRY_COMPARE(dialogs().pending(), 0);
    QCOMPARE(titleUnderHints, kCaption + cardPath);
}

ZQW_GUI_TEST(NamedFileTest)
#include "namedfile_test.moc"
