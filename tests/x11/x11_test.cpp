// The editor on a real X server (Xvfb): the title as the window manager
// reads it, and the middle button, which X uses to paste the selection.

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "guitestsupport.h"
#include "prompts/promptlistwindow.h"

namespace {

// Runs a command and returns its output, trimmed; empty on failure.
QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The X window of the editor's main window once it shows, or empty when
// none does within ten seconds.
QString editorWindow() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const QString found =
            run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                            QStringLiteral("ZQW Convention card editor")})
                .section(QLatin1Char('\n'), 0, 0);
        if (!found.isEmpty()) return found;
        QTest::qWait(200);
    }
    return {};
}

}  // namespace

class X11Test : public QObject {
    Q_OBJECT

private slots:
    void titleIsExactlyTheCaption();
    void workTypedBeforeAKillIsOffered_data();
    void workTypedBeforeAKillIsOffered();
    void middleClickOpensPromptsAndPastesNothing();
    void hintsWindowHasNoMinimiseOrMaximiseButtons();
};

void X11Test::titleIsExactlyTheCaption() {
    // The program itself, as a user starts it: the title must be the caption
    // and nothing more (Qt would add an application display name).
    QTemporaryDir config;
    QDir().mkpath(config.filePath(QStringLiteral("ZQW_VEZ")));
    QVERIFY(tryWriteBytes(config.filePath(QStringLiteral("ZQW_VEZ/zqwcce.ini")),
                          "[setup]\r\nhintstart=0\r\n"));
    QProcess editor;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    editor.setProcessEnvironment(environment);
    editor.start(QStringLiteral(ZQWCCE_PATH), {});
    QVERIFY(editor.waitForStarted());
    const QString window = editorWindow();
    const QString title = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window});
    editor.kill();
    editor.waitForFinished();
    QVERIFY2(!window.isEmpty(), "the editor's window did not appear");
    QCOMPARE(title, QStringLiteral("ZQW Convention card editor: UnNamed file"));
}

void X11Test::workTypedBeforeAKillIsOffered_data() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("Yes restores the typed text") << true;
    QTest::newRow("No removes the copy") << false;
}

void X11Test::workTypedBeforeAKillIsOffered() {
    QFETCH(bool, restore);
    // The editor as a user runs it, typing into its first cell, then killed
    // before anything was saved.
    EditorSession session;
    QVERIFY(session.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    const QString stateFolder = qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/zqwcce");
    QProcess editor;
    editor.start(QStringLiteral(ZQWCCE_PATH), {});
    QVERIFY(editor.waitForStarted());
    const QString window = editorWindow();
    QVERIFY2(!window.isEmpty(), "the editor's window did not appear");
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--window"), window,
                                    QStringLiteral("Typed before the kill")});
    // The copy is written once the typing pauses.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(stateFolder).entryList({QStringLiteral("*.recovery")}).isEmpty(),
                             15000);
    editor.kill();  // SIGKILL: no close question, no settings written
    editor.waitForFinished();

    // The next start offers the copy.
    session.dialogs().expectQuestion(
        QStringLiteral("The editor did not close normally. Restore the unsaved changes to "
                       "UnNamed file?"),
        restore ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    EditorApp& app = session.start();
    session.verifyDialogs();
    if (restore) {
        QCOMPARE(cellText(app, 1, 1, 1), QStringLiteral("Typed before the kill"));
        QVERIFY(app.document().isModified());
    } else {
        QCOMPARE(cellText(app, 1, 1, 1), QString());
        // The copy is gone; the running editor's own lock stays beside it.
        QVERIFY(QDir(stateFolder)
                    .entryList({QStringLiteral("*.ccf"), QStringLiteral("*.txt"),
                                QStringLiteral("*.recovery")},
                               QDir::Files)
                    .isEmpty());
    }
}

void X11Test::middleClickOpensPromptsAndPastesNothing() {
    EditorSession session;
    EditorApp& app = session.start();
    QClipboard* clipboard = QGuiApplication::clipboard();
    QVERIFY(clipboard->supportsSelection());
    clipboard->setText(QStringLiteral("selected elsewhere"), QClipboard::Selection);
    app.sectionView().selectGroup(1);
    app.sectionView().selectSection(1);  // special methods: every line offers prompts
    QLineEdit* editor = editCell(app, 1, 1, 1);
    QVERIFY(editor);
    QTest::mouseClick(editor, Qt::LeftButton);  // the insertion point
    const QString before = editor->text();
    QTest::mouseClick(editor, Qt::MiddleButton);
    QTRY_VERIFY(app.promptController().promptList().isVisible());
    QCOMPARE(editor->text(), before);
    app.promptController().promptList().hide();
    session.verifyDialogs();
}

void X11Test::hintsWindowHasNoMinimiseOrMaximiseButtons() {
    EditorSession session;
    EditorApp& app = session.start();
    QStringList hints;
    session.dialogs().expectDialog(
        QStringLiteral("Hints for using the ZQW Convention card editor"),
        [&hints](QDialog& dialog) {
            // What the window manager reads: flags, functions, decorations.
            const QString said = run(QStringLiteral("xprop"),
                                     {QStringLiteral("-id"), QString::number(dialog.winId()),
                                      QStringLiteral("_MOTIF_WM_HINTS")});
            hints = said.section(QLatin1Char('='), 1).split(QLatin1Char(','));
            return QDialog::Rejected;
        });
    chooseMenuItem(app, "viewHints");
    session.verifyDialogs();
    QVERIFY2(hints.size() >= 3, qPrintable(hints.join(QLatin1Char(','))));
    bool ok = false;
    const uint flags = hints[0].trimmed().toUInt(&ok, 16);
    const uint decorations = hints[2].trimmed().toUInt(&ok, 16);
    // The decorations are given: a title and a border, without "all" (0x1),
    // minimise (0x20) or maximise (0x40).
    constexpr uint kDecorationsGiven = 0x2;
    QVERIFY2(flags & kDecorationsGiven, qPrintable(hints.join(QLatin1Char(','))));
    QCOMPARE(decorations & (0x1u | 0x20u | 0x40u), 0u);
    QVERIFY(decorations & 0x8u);
}

QTEST_MAIN(X11Test)
#include "x11_test.moc"
