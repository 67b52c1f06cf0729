// The Options menu's package commands driven as a user would: Produce and
// Backup with real files, and what opening a package shows while it is
// unpacked.

#include <sys/stat.h>
#include <zip.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "card/plainnotes.h"
#include "card/zqwpackage.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "platform/profilestore.h"
#include "progress/progressdialogview.h"
#include "progress/workprogress.h"

namespace {

const QString kPackageFilter = QStringLiteral("ZQW files (*.zqw)|*.zqw");
const QString kOpenFilter =
    QStringLiteral("Convention card files (*.ccf)|*.ccf|ZQW files (*.zqw)|*.zqw");
const QString kBackupCaption = QStringLiteral("Select directory for CCF file");
// The cards here have no partnership names: Produce offers the check first.
const QString kCheckFirst =
    QStringLiteral("The check of the card found errors. Do you wish to see them first?");

// The scripted dialogs, also noting where each folder chooser starts.
class FolderStartDialogs : public ScriptedDialogs {
public:
    std::optional<QString> chooseFolder(const QString& caption, const QString& start) override {
        starts_ << start;
        return ScriptedDialogs::chooseFolder(caption, start);
    }
    QStringList starts() const { return starts_; }

private:
    QStringList starts_;
};

// One editor as a user runs it, with settings of its own and a folder for
// the test's files; it can be ended and started again on the same settings.
class PackageSession {
public:
    PackageSession() { useProgramDir(QStringLiteral(ZQW_PROGRAM_DIR)); }

    EditorApp& start() {
        app_ = std::make_unique<EditorApp>(dialogs_);
        app_->settings().setHintsAtStart(false);
        if (app_->isReady()) showActive(*app_);
        return *app_;
    }
    void stop() { app_.reset(); }
    EditorApp& app() { return *app_; }
    FolderStartDialogs& dialogs() { return dialogs_; }
    QString path(const QString& name) const { return folder_.filePath(name); }
    void verifyDialogs() const {
        QVERIFY2(dialogs_.failures().isEmpty(),
                 qPrintable(dialogs_.failures().join(QLatin1Char('\n'))));
        QCOMPARE(dialogs_.pending(), 0);
    }
    // The text of the last message box shown.
    QString lastMessage() const {
        const QStringList log = dialogs_.log();
        for (auto it = log.crbegin(); it != log.crend(); ++it) {
            if (it->startsWith(QStringLiteral("message: "))) return it->mid(9);
        }
        return {};
    }

private:
    IsolatedSettings settings_;
    QTemporaryDir folder_;
    FolderStartDialogs dialogs_;
    std::unique_ptr<EditorApp> app_;
};

// What unzip makes of a package: its entry names in order, or the content
// of one entry.
QByteArray unzip(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("unzip"), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return "<unzip failed>";
    return process.readAllStandardOutput();
}
QStringList entryNames(const QString& package) {
    const QString listing = QString::fromUtf8(unzip({QStringLiteral("-Z1"), package}));
    return listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
QByteArray entryContent(const QString& package, const QString& name) {
    return unzip({QStringLiteral("-p"), package, name});
}

// Opens a card file through File > Open.
void openCard(PackageSession& session, const QString& path) {
    session.dialogs().expectOpenFile(path, kOpenFilter);
    chooseMenuItem(session.app(), "openCard");
}

// Types an answer into the first section's first row, without saving.
void changeFirstAnswer(EditorApp& app, const QString& text) {
    app.sectionView().selectGroup(0);
    editCell(app, 1, 1, 1);
    typeIntoCell(app, 1, text);
    app.sectionView().storePendingEdits();
}

// Progress as a list of calls, for work run off the window's thread.
class RecordedProgress : public WorkProgress {
public:
    void started(const QString& label) override { calls << QStringLiteral("started ") + label; }
    void advanced(quint64 done, quint64 total) override {
        lastDone = done;
        lastTotal = total;
    }
    bool cancelRequested() const override { return false; }
    bool takesInput() const override { return false; }
    void finished() override { calls << QStringLiteral("finished"); }

    QStringList calls;
    quint64 lastDone = 0;
    quint64 lastTotal = 0;
};

}  // namespace

class PackagesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { session_ = std::make_unique<PackageSession>(); }
    void cleanup() {
        session_->stop();
        session_.reset();
    }

    void produceWritesCardThenNotes_data();
    void produceWritesCardThenNotes();
    void produceIntoExistingPackageReplacesIt();
    void produceRefusesMissingFiles_data();
    void produceRefusesMissingFiles();
    void produceWithoutCardDoesNothing();
    void backupCopiesIntoFolder();
    void backupFailureIsReported();
    void backupChooserStartsAtLastFolder();
    void missingFolderIsCreatedWhenAsked_data();
    void missingFolderIsCreatedWhenAsked();
    void theFolderChooserTakesAFolderNotThereYet();
    void openingPackageShowsReaderNotices();
    void longWorkShowsProgressAndCanBeCancelled();
    void workReportsItsProgress();
    void quickWorkNeverShowsProgress();

private:
    PackageSession& session() { return *session_; }
    QString path(const QString& name) const { return session_->path(name); }

    std::unique_ptr<PackageSession> session_;
};

void PackagesTest::produceWritesCardThenNotes_data() {
    QTest::addColumn<bool>("withNotes");
    QTest::newRow("card and notes") << true;
    QTest::newRow("card alone") << false;
}

void PackagesTest::produceWritesCardThenNotes() {
    QFETCH(bool, withNotes);
    const QString card = path(QStringLiteral("club.ccf"));
    const QString notes = path(QStringLiteral("club notes.txt"));
    writeCardFile(card, QStringLiteral("Strong club"), withNotes ? notes : QString(),
                  QStringLiteral("Note:..1:Strong club"));
    const QString package = path(QStringLiteral("club.zqw"));

    EditorApp& app = session().start();
    openCard(session(), card);
    // Changes not yet saved stay out of the package.
    changeFirstAnswer(app, QStringLiteral("Unsaved"));
    session().dialogs().expectQuestion(kCheckFirst, UserDialogs::Answer::No);
    session().dialogs().expectSaveFile(package, kPackageFilter);
    chooseMenuItem(app, "producePackage");
    session().verifyDialogs();

    const UserDialogs::FileRequest request = session().dialogs().lastFileRequest();
    QCOMPARE(request.defaultExtension, QStringLiteral("zqw"));
    QVERIFY(request.hideReadOnly);
    QVERIFY(request.folderMustExist);
    const QStringList expected =
        withNotes ? QStringList{QStringLiteral("club.ccf"), QStringLiteral("club notes.txt")}
                  : QStringList{QStringLiteral("club.ccf")};
    QCOMPARE(entryNames(package), expected);
    QCOMPARE(entryContent(package, QStringLiteral("club.ccf")), readBytes(card));
    if (withNotes)
        QCOMPARE(entryContent(package, QStringLiteral("club notes.txt")), readBytes(notes));

    // The package made is the one the package dialogs suggest next, also
    // after the editor has been started again.
    session().dialogs().expectOpenFile(std::nullopt, kPackageFilter);
    chooseMenuItem(app, "backupPackage");
    QCOMPARE(session().dialogs().lastFileRequest().fileName, package);
    session().stop();
    EditorApp& again = session().start();
    session().dialogs().expectQuestion(kCheckFirst, UserDialogs::Answer::No);
    session().dialogs().expectOpenFile(std::nullopt, kPackageFilter);
    chooseMenuItem(again, "emailPackage");
    QCOMPARE(session().dialogs().lastFileRequest().fileName, package);
    session().verifyDialogs();
}

void PackagesTest::produceIntoExistingPackageReplacesIt() {
    const QString card = path(QStringLiteral("club.ccf"));
    const QString notes = path(QStringLiteral("club.txt"));
    writeCardFile(card, QStringLiteral("Strong club"), notes,
                  QStringLiteral("Note:..1:Strong club"));
    const QString package = path(QStringLiteral("club.zqw"));
    // An unrelated card and notes in an older package of the same name: the
    // save dialog's "replace" means none of them goes to the KHF.
    writeArchive(package, {{"other.ccf", "an unrelated card"},
                           {"keep.txt", "old notes"},
                           {"club.ccf", "an older card"}});

    EditorApp& app = session().start();
    openCard(session(), card);
    for (int time = 0; time < 2; ++time) {
        session().dialogs().expectQuestion(kCheckFirst, UserDialogs::Answer::No);
        session().dialogs().expectSaveFile(package, kPackageFilter);
        chooseMenuItem(app, "producePackage");
        session().verifyDialogs();
        QCOMPARE(entryNames(package),
                 (QStringList{QStringLiteral("club.ccf"), QStringLiteral("club.txt")}));
        QCOMPARE(entryContent(package, QStringLiteral("club.ccf")), readBytes(card));
        QCOMPARE(entryContent(package, QStringLiteral("club.txt")), readBytes(notes));
    }
}

void PackagesTest::produceRefusesMissingFiles_data() {
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("card never saved")
        << QString()
        << QStringLiteral(
               "Unable to produce the ZQW file <package>: the card has never "
               "been saved");
    QTest::newRow("card file gone")
        << QStringLiteral("club.ccf") << QStringLiteral("cannot read the card file <missing>: ");
    QTest::newRow("notes file gone")
        << QStringLiteral("club.txt") << QStringLiteral("cannot read the notes file <missing>: ");
}

void PackagesTest::produceRefusesMissingFiles() {
    QFETCH(QString, missing);
    QFETCH(QString, expected);
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package, {{"keep.txt", "kept"}});
    const QByteArray before = readBytes(package);

    EditorApp& app = session().start();
    if (!missing.isEmpty()) {
        writeCardFile(path(QStringLiteral("club.ccf")), QStringLiteral("Strong club"),
                      path(QStringLiteral("club.txt")), QStringLiteral("Note:..1:Strong club"));
        openCard(session(), path(QStringLiteral("club.ccf")));
        QVERIFY(QFile::remove(path(missing)));
        session().dialogs().expectQuestion(kCheckFirst, UserDialogs::Answer::No);
    }
    session().dialogs().expectSaveFile(package, kPackageFilter);
    session().dialogs().expectMessage(QString());
    chooseMenuItem(app, "producePackage");
    session().verifyDialogs();

    const QString message = session().lastMessage();
    expected.replace(QStringLiteral("<package>"), package)
        .replace(QStringLiteral("<missing>"), path(missing));
    QVERIFY2(message.contains(expected), qPrintable(message));
    QCOMPARE(readBytes(package), before);
    // A package that was not written is not the one suggested next.
    session().dialogs().expectOpenFile(std::nullopt, kPackageFilter);
    chooseMenuItem(app, "backupPackage");
    session().verifyDialogs();
    QCOMPARE(session().dialogs().lastFileRequest().fileName, QString());
}

void PackagesTest::produceWithoutCardDoesNothing() {
    EditorApp& app = session().start();
    chooseMenuItem(app, "closeCard");
    chooseMenuItem(app, "producePackage");
    session().verifyDialogs();
    QVERIFY(QDir(path(QString())).entryList(QDir::Files).isEmpty());
}

void PackagesTest::backupCopiesIntoFolder() {
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package, {{"club.ccf", "the card"}});
    const QString folder = path(QStringLiteral("save"));
    QVERIFY(QDir().mkpath(folder));
    writeBytes(folder + QStringLiteral("/club.zqw"), "an older backup");

    EditorApp& app = session().start();
    session().dialogs().expectOpenFile(package, kPackageFilter);
    session().dialogs().expectFolder(folder);
    chooseMenuItem(app, "backupPackage");
    session().verifyDialogs();
    QCOMPARE(readBytes(folder + QStringLiteral("/club.zqw")), readBytes(package));
    QCOMPARE(session().dialogs().log().last(), QStringLiteral("folder: ") + kBackupCaption);
}

void PackagesTest::backupFailureIsReported() {
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package, {{"club.ccf", "the card"}});
    // A folder of the package's name cannot be replaced by the copy.
    const QString folder = path(QStringLiteral("save"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/club.zqw/inside")));

    EditorApp& app = session().start();
    session().dialogs().expectOpenFile(package, kPackageFilter);
    session().dialogs().expectFolder(folder);
    session().dialogs().expectMessage(QString());
    chooseMenuItem(app, "backupPackage");
    session().verifyDialogs();
    const QString message = session().lastMessage();
    QVERIFY2(message.startsWith(QStringLiteral("Unable to back up the ZQW file %1 to %2/club.zqw: ")
                                    .arg(package, folder)),
             qPrintable(message));
    QVERIFY(QFileInfo(folder + QStringLiteral("/club.zqw/inside")).isDir());
    QCOMPARE(app.settings().packageFile(), QString());
}

void PackagesTest::backupChooserStartsAtLastFolder() {
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package, {{"club.ccf", "the card"}});
    const QString folder = path(QStringLiteral("save"));
    QVERIFY(QDir().mkpath(folder));
    const auto backUp = [this, &package](const std::optional<QString>& into) {
        session().dialogs().expectOpenFile(package, kPackageFilter);
        session().dialogs().expectFolder(into);
        chooseMenuItem(session().app(), "backupPackage");
    };

    session().start();
    backUp(folder);
    backUp(std::nullopt);
    session().stop();
    session().start();
    backUp(std::nullopt);
    QVERIFY(QDir(folder).removeRecursively());
    backUp(std::nullopt);
    session().verifyDialogs();
    QCOMPARE(session().dialogs().starts(),
             (QStringList{QDir::homePath(), folder, folder, QDir::homePath()}));
}

void PackagesTest::missingFolderIsCreatedWhenAsked_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("create");
    QTest::newRow("backup, Yes: made and filled") << "backupPackage" << true;
    QTest::newRow("backup, No: nothing made") << "backupPackage" << false;
    QTest::newRow("opening a package, Yes: unpacked there") << "openCard" << true;
    QTest::newRow("opening a package, No: nothing made") << "openCard" << false;
}

void PackagesTest::missingFolderIsCreatedWhenAsked() {
    QFETCH(QString, command);
    QFETCH(bool, create);
    const QString card = path(QStringLiteral("club.ccf"));
    writeCardFile(card, QStringLiteral("Strong club"));
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package, {{"club.ccf", readBytes(card)}});
    const QString folder = path(QStringLiteral("new/deeper"));

    EditorApp& app = session().start();
    const bool backup = command == QLatin1String("backupPackage");
    session().dialogs().expectOpenFile(package, backup ? kPackageFilter : kOpenFilter);
    session().dialogs().expectFolder(folder);
    session().dialogs().expectQuestion(QStringLiteral("The folder ") + folder +
                                           QStringLiteral(" does not exist. Do you want to "
                                                          "create it?"),
                                       create ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    chooseMenuItem(app, command.toLatin1().constData());
    session().verifyDialogs();

    QCOMPARE(QFileInfo(folder).isDir(), create);
    if (!create) {
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("new"))));
        QCOMPARE(app.document().fileName(), QStringLiteral("UnNamed file"));
    } else if (backup) {
        QCOMPARE(readBytes(folder + QStringLiteral("/club.zqw")), readBytes(package));
    } else {
        QCOMPARE(app.document().fileName(), folder + QStringLiteral("/club.ccf"));
        QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Strong club"));
    }
}

void PackagesTest::theFolderChooserTakesAFolderNotThereYet() {
    // The real chooser, with a folder name typed that is not there: it is
    // returned for the command to offer to create, not refused.
    QtUserDialogs dialogs;
    QStringList refusals;
    bool typed = false;
    QTimer user;
    user.setInterval(50);
    connect(&user, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            refusals << box->text();
            box->reject();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            if (typed) {
                chooser->reject();
                return;
            }
            auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return;
            name->setText(QStringLiteral("not yet"));
            typed = true;
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
        }
    });
    user.start();
    const std::optional<QString> chosen = dialogs.chooseFolder(kBackupCaption, path(QString()));
    user.stop();
    QVERIFY2(refusals.isEmpty(), qPrintable(refusals.join(QLatin1Char('\n'))));
    QCOMPARE(chosen, std::optional<QString>(path(QStringLiteral("not yet"))));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("not yet"))));
}

void PackagesTest::openingPackageShowsReaderNotices() {
    const QString card = path(QStringLiteral("made/club.ccf"));
    QVERIFY(QDir().mkpath(path(QStringLiteral("made"))));
    writeCardFile(card, QStringLiteral("From the package"));
    const QString package = path(QStringLiteral("club.zqw"));
    writeArchive(package,
                 {{"club.ccf", readBytes(card)},
                  {"old/club.ccf", "a second card of the same name"},
                  {"notes.txt", "/etc/passwd"}},
                 {"notes.txt"});
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));

    EditorApp& app = session().start();
    session().dialogs().expectOpenFile(package, kOpenFilter);
    session().dialogs().expectFolder(out);
    session().dialogs().expectMessage(QString());
    chooseMenuItem(app, "openCard");
    session().verifyDialogs();

    const QStringList notices = session().lastMessage().split(QLatin1Char('\n'));
    QCOMPARE(notices.size(), 2);
    QCOMPARE(notices.filter(QStringLiteral("club.ccf is in the package more than once")).size(), 1);
    QCOMPARE(notices.filter(QStringLiteral("notes.txt is a symbolic link")).size(), 1);
    // The first card is the one read; the link is not extracted.
    QCOMPARE(app.document().fileName(), out + QStringLiteral("/club.ccf"));
    QCOMPARE(readBytes(out + QStringLiteral("/club.ccf")), readBytes(card));
    QVERIFY(!QFileInfo::exists(out + QStringLiteral("/notes.txt")));
}

void PackagesTest::longWorkShowsProgressAndCanBeCancelled() {
    EditorApp& app = session().start();
    ProgressDialogView progress(&app.sectionView(), std::chrono::milliseconds(0));

    // Left alone the work would take half a minute: long enough that only
    // the cancel can end it while the test waits, short enough to fail as a
    // hang rather than hold the suite.
    constexpr int kSteps = 3000;
    std::atomic<int> steps{0};
    std::atomic<bool> toldToStop{false};

    // The window's own timers go on while the work runs; after a few of
    // their ticks the user presses Cancel on the dialog showing progress.
    int ticks = 0;
    QString shownLabel;
    int shownValue = -1;
    int stepsAtCancel = -1;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        ++ticks;
        auto* dialog =
            app.sectionView().findChild<QProgressDialog*>(QStringLiteral("workProgress"));
        if (stepsAtCancel >= 0 || ticks < 5 || !dialog || !dialog->isVisible() ||
            dialog->value() <= 0)
            return;
        shownLabel = dialog->labelText();
        shownValue = dialog->value();
        if (auto* cancel = dialog->findChild<QPushButton*>()) {
            stepsAtCancel = steps;
            cancel->click();
        }
    });
    ticker.start(20);

    runOffWindowThread(progress, QStringLiteral("Counting"),
                       [&steps, &toldToStop](const ProgressReport& report) {
                           for (int step = 1; step <= kSteps; ++step) {
                               steps = step;
                               if (!report(static_cast<quint64>(step), kSteps)) {
                                   toldToStop = true;
                                   return;
                               }
                               std::this_thread::sleep_for(std::chrono::milliseconds(10));
                           }
                       });
    ticker.stop();
    // Cancel is pressed only after five ticks during the work: the window's
    // timers went on.
    QVERIFY2(stepsAtCancel > 0, "the progress dialog never showed progress to cancel");
    QVERIFY2(toldToStop, "the work was not told to stop");
    QVERIFY2(steps < kSteps, "the work ran to its end");
    QCOMPARE(shownLabel, QStringLiteral("Counting"));
    QVERIFY(shownValue > 0);
    auto* dialog = app.sectionView().findChild<QProgressDialog*>(QStringLiteral("workProgress"));
    QVERIFY(dialog && !dialog->isVisible());
}

void PackagesTest::workReportsItsProgress() {
    // Unpacking a package of some size tells how far it has come.
    const QString package = path(QStringLiteral("big.zqw"));
    QByteArray big(3 << 20, '\0');
    for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>((qint64{i} * 7919) % 251);
    writeArchive(package, {{"big.ccf", big}});
    const QString out = path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));

    RecordedProgress progress;
    bool extracted = false;
    runOffWindowThread(progress, QStringLiteral("Unpacking"), [&](const ProgressReport& report) {
        zqw::PackageReader reader(package.toStdString());
        reader.setProgress(
            [&report](uint64_t done, uint64_t total) { return report(done, total); });
        extracted = reader.extractMatching(out.toStdString(), "*.ccf");
    });
    QVERIFY(extracted);
    QCOMPARE(progress.calls,
             (QStringList{QStringLiteral("started Unpacking"), QStringLiteral("finished")}));
    QCOMPARE(progress.lastDone, static_cast<quint64>(big.size()));
    QCOMPARE(progress.lastTotal, static_cast<quint64>(big.size()));
    QCOMPARE(readBytes(out + QStringLiteral("/big.ccf")), big);
}

void PackagesTest::quickWorkNeverShowsProgress() {
    EditorApp& app = session().start();
    ProgressDialogView progress(&app.sectionView());
    runOffWindowThread(progress, QStringLiteral("Quick"),
                       [](const ProgressReport& report) { report(1, 1); });
    // Nor later: a progress dialog left to itself comes up after seconds.
    QTest::qWait(4500);
    auto* dialog = app.sectionView().findChild<QProgressDialog*>(QStringLiteral("workProgress"));
    QVERIFY(dialog);
    QVERIFY(!dialog->isVisible());
}

ZQW_GUI_TEST(PackagesTest)
#include "packages_test.moc"
