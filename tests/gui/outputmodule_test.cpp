// Printing, packages and e-mail come from the output module, loaded on first
// use. Without it (or with a damaged one) each of their commands says so
// and does nothing else; the rest of the editor works on.

#include "commands/outputmodule.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "guitestmain.h"
#include "guitestsupport.h"

namespace {

using Script = std::function<void(EditorSession&)>;

const QString kMissingEnd = QStringLiteral(". Printing, packages and e-mail are not available.");

// The editor's own windows on screen besides its main window.
QStringList otherWindows(EditorApp& app) {
    QStringList titles;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &app.mainWindow() && window->isVisible())
            titles << window->windowTitle() + QStringLiteral(" (") +
                          QString::fromLatin1(window->metaObject()->className()) +
                          QStringLiteral(")");
    }
    return titles;
}

}  // namespace

Q_DECLARE_METATYPE(Script)

class OutputModuleTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { OutputModule::searchFirst(QStringLiteral(ZQW_PROGRAM_DIR)); }

    void searchedBesideTheProgramThenInTheInstallation();
    void missingModuleIsNamedByEveryCommand_data();
    void missingModuleIsNamedByEveryCommand();
    void damagedModuleIsRefusedWithTheReason();
    void moduleLoadsOnFirstUseAndIsKept();
};

void OutputModuleTest::searchedBesideTheProgramThenInTheInstallation() {
    OutputModule::searchFirst({});
    QCOMPARE(OutputModule::searchFolders(QStringLiteral("/opt/zqw/bin")),
             QStringList(
                 {QStringLiteral("/opt/zqw/bin"), QStringLiteral("/opt/zqw/lib/zqwcce/modules")}));
    OutputModule::searchFirst(QStringLiteral("/build/program/"));
    QCOMPARE(OutputModule::searchFolders(QStringLiteral("/usr/bin")),
             QStringList({QStringLiteral("/build/program"), QStringLiteral("/usr/bin"),
                          QStringLiteral("/usr/lib/zqwcce/modules")}));
}

void OutputModuleTest::missingModuleIsNamedByEveryCommand_data() {
    QTest::addColumn<QString>("item");
    // The questions a command asks before it needs the module.
    QTest::addColumn<Script>("before");
    const Script none = [](EditorSession&) {};
    QTest::newRow("print card") << QStringLiteral("printCard") << none;
    QTest::newRow("print notes") << QStringLiteral("printNotes") << none;
    QTest::newRow("print layout") << QStringLiteral("editPrintLayout") << none;
    QTest::newRow("produce package")
        << QStringLiteral("producePackage") << Script([](EditorSession& session) {
               session.dialogs().expectSaveFile(session.path(QStringLiteral("card.zqw")));
           });
    QTest::newRow("backup package")
        << QStringLiteral("backupPackage") << Script([](EditorSession& session) {
               session.dialogs().expectOpenFile(session.path(QStringLiteral("card.zqw")));
               session.dialogs().expectFolder(session.folder().path());
           });
    QTest::newRow("e-mail package")
        << QStringLiteral("emailPackage") << Script([](EditorSession& session) {
               session.dialogs().expectOpenFile(session.path(QStringLiteral("card.zqw")));
           });
    QTest::newRow("open package") << QStringLiteral("openCard")
                                  << Script([](EditorSession& session) {
                                         session.dialogs().expectOpenFile(
                                             session.path(QStringLiteral("card.zqw")));
                                         session.dialogs().expectFolder(session.folder().path());
                                     });
}

void OutputModuleTest::missingModuleIsNamedByEveryCommand() {
    QFETCH(QString, item);
    QFETCH(Script, before);
    QTemporaryDir empty;
    OutputModule::searchFirst(empty.path());
    EditorSession session;
    EditorApp& app = session.start();
    QVERIFY(app.isReady());
    const QByteArray package("PK\x05\x06", 4);
    writeBytes(session.path(QStringLiteral("card.zqw")), package);
    before(session);
    const QStringList folders = OutputModule::searchFolders(QCoreApplication::applicationDirPath());
    QCOMPARE(folders.first(), QDir::cleanPath(empty.path()));
    session.dialogs().expectMessage(
        QStringLiteral("The printing, package and e-mail module zqwcce-output.so is missing; it "
                       "belongs in ") +
        folders.join(QStringLiteral(" or ")) + kMissingEnd);

    chooseMenuItem(app, item.toLatin1().constData());
    session.verifyDialogs();
    QCOMPARE(otherWindows(app), QStringList());
    // Nothing written over the package, nothing extracted beside it.
    QCOMPARE(readBytes(session.path(QStringLiteral("card.zqw"))), package);
    QCOMPARE(QDir(session.folder().path()).entryList(QDir::Files),
             QStringList({QStringLiteral("card.zqw")}));
    // The editor goes on: the same command asks again, and says so again.
    before(session);
    session.dialogs().expectMessage({});
    chooseMenuItem(app, item.toLatin1().constData());
    session.verifyDialogs();
}

void OutputModuleTest::damagedModuleIsRefusedWithTheReason() {
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(OutputModule::fileName());
    writeBytes(path, QByteArray("not a shared object\n"));
    OutputModule::searchFirst(folder.path());
    EditorSession session;
    EditorApp& app = session.start();
    QVERIFY(app.isReady());
    session.dialogs().expectMessage({});
    chooseMenuItem(app, "printCard");
    session.verifyDialogs();
    const QString shown = session.dialogs().log().constLast();
    const QString expected = QStringLiteral("message: The printing, package and e-mail module ") +
                             path + QStringLiteral(" cannot be loaded: ");
    QVERIFY2(shown.startsWith(expected) && shown.size() > expected.size(), qPrintable(shown));
    QCOMPARE(otherWindows(app), QStringList());
}

void OutputModuleTest::moduleLoadsOnFirstUseAndIsKept() {
    EditorSession session;
    EditorApp& app = session.start();
    QVERIFY(app.isReady());
    chooseMenuItem(app, "printCard");
    QTRY_COMPARE(otherWindows(app),
                 QStringList({QStringLiteral("Print Convention Card (CardPrintWindow)")}));
    // Once loaded, a module taken away later is not missed.
    OutputModule::searchFirst(QStringLiteral("/nonexistent"));
    chooseMenuItem(app, "printNotes");
    QTRY_COMPARE(otherWindows(app).size(), 2);
    session.verifyDialogs();
}

ZQW_GUI_TEST(OutputModuleTest)
#include "outputmodule_test.moc"
