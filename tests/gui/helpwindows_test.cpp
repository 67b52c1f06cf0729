// The hints window, the help window with its topics, F1 and F9, and the
// About box, driven through the editor's menus and keys.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "app/editorapp.h"
#include "commands/helpcommands.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "help/aboutdialog.h"
#include "help/helptopics.h"
#include "help/helpwindow.h"
#include "help/hintswindow.h"

namespace {

const QString kHintsTitle = QStringLiteral("Hints for using the ZQW Convention card editor");
const QString kNoHelp = QStringLiteral("No help available for this item");

// Group 0 "Pair": two columns; Names has help topic 50 in its answer
// column, System none (0), Events 51 (a topic whose page is missing). Group
// 1 "General": one column, help topic 60 on each of its three lines.
QByteArray testTemplate() {
    return records({"FFirst", "PPair", "C23065", "Y250", "ONames", "Y20", "OSystem", "Y251",
                    "OEvents", "GSecond", "PGeneral", "C195", "Y160", "L03"});
}

QByteArray page(const QByteArray& title, const QByteArray& body) {
    return "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1>" + body +
           "</body></html>";
}

// Hints 1, 2 and 3, each a line of its own text.
QByteArray threeHints() { return records({"$*$1", "one", "$*$2", "two", "$*$3", "three"}); }

// The editor as a user starts it: its own settings folder, a program folder
// with the template, the hints and the help, and every question scripted.
// Unlike the shared session it keeps the start-up hints, and it can be
// started again on the same settings.
class HelpFixture {
public:
    explicit HelpFixture(const QByteArray& hints = threeHints()) : program_(testTemplate()) {
        useProgramDir(program_.path());
        if (!hints.isNull()) writeBytes(program_.filePath(QStringLiteral("ccehints.txt")), hints);
        QDir(program_.path()).mkdir(QStringLiteral("zqwcce.hlp"));
        writeHelp(QStringLiteral("topics.txt"),
                  "# context, page, title\n"
                  "2\tbasic.html\tBasic help\n"
                  "86\tguide.html\tGuide to completion\n"
                  "50\tnames.html\tPair: Names\n"
                  "51\tevents.html\tPair: Events\n"
                  "60\tgeneral.html\tGeneral approach\n");
        writeHelp(QStringLiteral("basic.html"),
                  page("Basic help", "<p>Start with the <a href=\"names.html\">names</a>.</p>"));
        writeHelp(QStringLiteral("guide.html"), page("Guide to completion", "<p>Fill in.</p>"));
        writeHelp(
            QStringLiteral("names.html"),
            page("Names", "<p>Both partners. Example: <span class=\"red\">\u2665</span></p>"));
        writeHelp(QStringLiteral("general.html"), page("General approach", "<p>Natural.</p>"));
        writeBytes(program_.filePath(QStringLiteral("secret.html")), page("Secret", "outside"));
    }

    ScriptedDialogs& dialogs() { return dialogs_; }
    IsolatedSettings& settings() { return settings_; }
    QString programPath(const QString& name) const { return program_.filePath(name); }
    QString helpPath(const QString& name) const {
        return program_.filePath(QStringLiteral("zqwcce.hlp/") + name);
    }

    // Starts the editor and shows its window, as the program does.
    EditorApp& start() {
        app_ = std::make_unique<EditorApp>(dialogs_);
        showActive(*app_);
        // The start-up hints come up once the window is on screen.
        QTest::qWait(20);
        return *app_;
    }
    EditorApp& app() { return *app_; }
    void stop() { app_.reset(); }
    HelpCommands& help() { return app_->helpCommands(); }
    HelpWindow& helpWindow() { return app_->helpCommands().helpWindow(); }
    void verifyDialogs() const {
        QVERIFY2(dialogs_.failures().isEmpty(),
                 qPrintable(dialogs_.failures().join(QLatin1Char('\n'))));
        QCOMPARE(dialogs_.pending(), 0);
    }
    QString iniText() const { return QString::fromLatin1(readBytes(settings_.iniPath())); }

private:
    void writeHelp(const QString& name, const QByteArray& bytes) {
        writeBytes(helpPath(name), bytes);
    }

    IsolatedSettings settings_;
    ProgramFolder program_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<EditorApp> app_;
};

// Expects the hints window, works it with the buttons in clicks ("next" or
// "tick") and closes it with its Close button; texts gets every hint shown,
// the first one included.
void expectHints(ScriptedDialogs& dialogs, const QStringList& clicks, QStringList* texts) {
    dialogs.expectDialog(kHintsTitle, [clicks, texts](QDialog& dialog) {
        auto& hints = static_cast<HintsWindow&>(dialog);
        texts->append(hints.hintText());
        for (const QString& click : clicks) {
            if (click == QLatin1String("next")) {
                QTest::mouseClick(&hints.nextButton(), Qt::LeftButton);
                texts->append(hints.hintText());
            } else {
                QTest::mouseClick(&hints.doNotShowBox(), Qt::LeftButton);
            }
        }
        QTest::mouseClick(&hints.closeButton(), Qt::LeftButton);
        return hints.result();
    });
}

}  // namespace

class HelpWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void hintsStepByNumber_data();
    void hintsStepByNumber();
    void enterAndEscCloseTheHints();
    void hintsTurnedOffStayOffButCanBeViewed();
    void missingHintsFileIsReported();

    void cellHelpOpensTheCellsTopic_data();
    void cellHelpOpensTheCellsTopic();
    void menuTopicsOpenTheirPages_data();
    void menuTopicsOpenTheirPages();
    void helpWindowGoesBackAndForward();
    void searchNarrowsTheContents();
    void linksLeaveNotTheHelpFolder();
    void helpWindowEndsWithTheProgram();
    void topicMapSkipsDamagedLines();

    void aboutNamesTheBuildAndCredits();
};

// --- hints ------------------------------------------------------------------------

void HelpWindowsTest::hintsStepByNumber_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("nextClicks");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("storedAfter");
    QTest::newRow("the last hint wraps to the first")
        << threeHints() << 3 << 1 << QStringList{QStringLiteral("three"), QStringLiteral("one")}
        << 2;
    QTest::newRow("numbers, not file order")
        << records({"$*$2", "two", "$*$1", "one"}) << 1 << 2
        << QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("one")} << 2;
    QTest::newRow("a number without a hint shows hint 1")
        << threeHints() << 7 << 0 << QStringList{QStringLiteral("one")} << 2;
    QTest::newRow("lines up to the next header, empty ones too")
        << records({"intro $*$ 1", "first", "", "last", "$*$2", "two"}) << 1 << 0
        << QStringList{QStringLiteral("first\n\nlast")} << 2;
    QTest::newRow("one suit marker per line")
        << records({"$*$1", "Open with 1$#$c or 1$#$d", "$#$h and $#$s"}) << 1 << 0
        << QStringList{QStringLiteral("Open with 1} or 1$#$d\n] and $#$s")} << 2;
    QTest::newRow("no hint 1 either: the text stays")
        << records({"$*$5", "five"}) << 4 << 0 << QStringList{QString()} << 2;
}

void HelpWindowsTest::hintsStepByNumber() {
    QFETCH(QByteArray, file);
    QFETCH(int, stored);
    QFETCH(int, nextClicks);
    QFETCH(QStringList, shown);
    QFETCH(int, storedAfter);
    HelpFixture fixture(file);
    QVERIFY(
        fixture.settings().writeIni("[setup]\r\nhintno=" + QByteArray::number(stored) + "\r\n"));
    QStringList texts;
    expectHints(fixture.dialogs(), QStringList(nextClicks, QStringLiteral("next")), &texts);
    EditorApp& app = fixture.start();
    QCOMPARE(texts, shown);
    QCOMPARE(app.settings().hintNumber(), storedAfter);
    // The hint is shown in the card font, which draws the suits.
    QCOMPARE(fixture.help().hintsWindow().findChild<QWidget*>(QStringLiteral("hintText"))->font(),
             app.settings().displayFont());
    fixture.stop();
    QVERIFY2(fixture.iniText().contains(QStringLiteral("HintNo=%1").arg(storedAfter)),
             qPrintable(fixture.iniText()));
    fixture.verifyDialogs();
}

void HelpWindowsTest::enterAndEscCloseTheHints() {
    // Enter presses Close, the default button, and Esc does too: each
    // steps the number once.
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        const int before = app.settings().hintNumber();
        fixture.dialogs().expectDialog(kHintsTitle, [key](QDialog& dialog) {
            dialog.activateWindow();
            QTest::keyClick(&dialog, key);
            return dialog.isVisible() ? -1 : dialog.result();
        });
        chooseMenuItem(app, "viewHints");
        QCOMPARE(app.settings().hintNumber(), before + 1);
    }
    fixture.verifyDialogs();
}

void HelpWindowsTest::hintsTurnedOffStayOffButCanBeViewed() {
    HelpFixture fixture;
    QStringList texts;
    // A first run shows the hints; the user ticks the box.
    expectHints(fixture.dialogs(), {QStringLiteral("tick")}, &texts);
    fixture.start();
    QCOMPARE(texts, QStringList{QStringLiteral("one")});
    fixture.stop();
    QVERIFY2(fixture.iniText().contains(QStringLiteral("hintstart=0")),
             qPrintable(fixture.iniText()));

    // The next start shows none (an unexpected window fails the script)...
    EditorApp& app = fixture.start();
    QCOMPARE(fixture.dialogs().pending(), 0);
    // ...yet Options > View hints still does, with the box ticked, and
    // untick it turns them on again.
    bool wasTicked = false;
    fixture.dialogs().expectDialog(kHintsTitle, [&wasTicked, &texts](QDialog& dialog) {
        auto& hints = static_cast<HintsWindow&>(dialog);
        wasTicked = hints.doNotShowBox().isChecked();
        texts.append(hints.hintText());
        QTest::mouseClick(&hints.doNotShowBox(), Qt::LeftButton);
        QTest::mouseClick(&hints.closeButton(), Qt::LeftButton);
        return hints.result();
    });
    chooseMenuItem(app, "viewHints");
    QVERIFY(wasTicked);
    QCOMPARE(texts.last(), QStringLiteral("two"));
    fixture.stop();
    QVERIFY2(fixture.iniText().contains(QStringLiteral("hintstart=1")),
             qPrintable(fixture.iniText()));
    fixture.verifyDialogs();
}

void HelpWindowsTest::missingHintsFileIsReported() {
    HelpFixture fixture(QByteArray{});
    fixture.dialogs().expectMessage(QStringLiteral("Cannot open file ") +
                                    fixture.programPath(QStringLiteral("ccehints.txt")));
    QStringList texts;
    expectHints(fixture.dialogs(), {QStringLiteral("next")}, &texts);
    EditorApp& app = fixture.start();
    QCOMPARE(texts, (QStringList{QString(), QString()}));
    QCOMPARE(app.settings().hintNumber(), 2);
    fixture.verifyDialogs();
}

// --- help topics ------------------------------------------------------------------

void HelpWindowsTest::cellHelpOpensTheCellsTopic_data() {
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("page");  // empty: the message instead
    QTest::newRow("answer with a topic") << 0 << 1 << 1 << QStringLiteral("names.html");
    QTest::newRow("help context 0") << 0 << 2 << 1 << QString();
    QTest::newRow("label column without a topic") << 0 << 1 << 0 << QString();
    QTest::newRow("single column section, later row")
        << 1 << 3 << 0 << QStringLiteral("general.html");
    QTest::newRow("notes page") << 2 << 0 << 0 << QString();
}

void HelpWindowsTest::cellHelpOpensTheCellsTopic() {
    QFETCH(int, group);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, page);
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    app.sectionView().selectGroup(group);
    QWidget* target = &app.mainWindow();
    if (row > 0) {
        QLineEdit* editor = editCell(app, 1, row, column);
        QVERIFY(editor || column == 0);
        if (editor) target = editor;
    }
    if (page.isEmpty()) fixture.dialogs().expectMessage(kNoHelp);
    QTest::keyClick(target, Qt::Key_F9);
    if (page.isEmpty()) {
        QVERIFY(!fixture.help().helpWindow().isVisible());
    } else {
        HelpWindow& help = fixture.helpWindow();
        QVERIFY(help.isVisible());
        QCOMPARE(help.browser().source(), QUrl::fromLocalFile(fixture.helpPath(page)));
    }
    fixture.verifyDialogs();
}

void HelpWindowsTest::menuTopicsOpenTheirPages_data() {
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Basic") << QByteArray("showBasicHelp") << QStringLiteral("Basic help")
                           << QStringLiteral("Start with the names.");
    QTest::newRow("Guide to completion")
        << QByteArray("showCompletionGuide") << QStringLiteral("Guide to completion")
        << QStringLiteral("Fill in.");
}

void HelpWindowsTest::menuTopicsOpenTheirPages() {
    QFETCH(QByteArray, item);
    QFETCH(QString, title);
    QFETCH(QString, shown);
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    chooseMenuItem(app, item.constData());
    HelpWindow& help = fixture.helpWindow();
    QVERIFY(help.isVisible());
    QVERIFY(help.currentTopic());
    QCOMPARE(help.currentTopic()->title, title);
    QVERIFY2(help.browser().toPlainText().contains(shown),
             qPrintable(help.browser().toPlainText()));
    // The contents list every topic and mark the one on show.
    QCOMPARE(help.contents().count(), 5);
    QVERIFY(help.contents().currentItem());
    QCOMPARE(help.contents().currentItem()->text(), title);
    fixture.verifyDialogs();
}

void HelpWindowsTest::helpWindowGoesBackAndForward() {
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    QTest::keyClick(&app.mainWindow(), Qt::Key_F1);
    HelpWindow& help = fixture.helpWindow();
    QVERIFY(!help.backButton().isEnabled());
    // A click on a topic of the contents, then a link of the page.
    QListWidget& contents = help.contents();
    const QList<QListWidgetItem*> guide =
        contents.findItems(QStringLiteral("Guide to completion"), Qt::MatchExactly);
    QCOMPARE(guide.size(), 1);
    QTest::mouseClick(contents.viewport(), Qt::LeftButton, {},
                      contents.visualItemRect(guide.front()).center());
    QCOMPARE(help.currentTopic()->context, 86);
    QTest::mouseClick(&help.backButton(), Qt::LeftButton);
    QCOMPARE(help.currentTopic()->context, 2);
    emit help.browser().anchorClicked(QUrl(QStringLiteral("names.html")));
    QCOMPARE(help.currentTopic()->context, 50);
    // The red suits keep their colour.
    QVERIFY(help.browser().toHtml().contains(QStringLiteral("#c00000")));
    QTest::mouseClick(&help.backButton(), Qt::LeftButton);
    QCOMPARE(help.currentTopic()->context, 2);
    QVERIFY(help.forwardButton().isEnabled());
    QTest::mouseClick(&help.forwardButton(), Qt::LeftButton);
    QCOMPARE(help.currentTopic()->context, 50);
    QVERIFY(!help.forwardButton().isEnabled());

    // A topic whose page is missing says so, and the way back still works.
    QVERIFY(!help.showTopic(51));
    QVERIFY(!help.currentTopic());
    QVERIFY2(help.browser().toPlainText().contains(QStringLiteral("is missing")),
             qPrintable(help.browser().toPlainText()));
    QVERIFY(!help.showTopic(99));
    QVERIFY(help.browser().toPlainText().contains(QStringLiteral("no help topic 99")));
    QTest::mouseClick(&help.backButton(), Qt::LeftButton);
    QVERIFY(help.browser().toPlainText().contains(QStringLiteral("is missing")));
    QTest::mouseClick(&help.backButton(), Qt::LeftButton);
    QCOMPARE(help.currentTopic()->context, 50);
    QVERIFY(help.showTopic(2));
    QCOMPARE(help.currentTopic()->context, 2);
    fixture.verifyDialogs();
}

void HelpWindowsTest::searchNarrowsTheContents() {
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    QTest::keyClick(&app.mainWindow(), Qt::Key_F1);
    HelpWindow& help = fixture.helpWindow();
    const auto listed = [&help] {
        QStringList titles;
        for (int i = 0; i < help.contents().count(); ++i)
            titles.append(help.contents().item(i)->text());
        return titles;
    };
    QTest::keyClicks(&help.searchBox(), QStringLiteral("PARTNERS"));
    QCOMPARE(listed(), QStringList{QStringLiteral("Pair: Names")});
    // Every word must be found; a title counts as much as the page.
    help.searchBox().clear();
    QTest::keyClicks(&help.searchBox(), QStringLiteral("guide fill"));
    QCOMPARE(listed(), QStringList{QStringLiteral("Guide to completion")});
    QTest::keyClick(&help.searchBox(), Qt::Key_Return);
    QCOMPARE(help.currentTopic()->context, 86);
    QCOMPARE(help.browser().textCursor().selectedText(), QStringLiteral("Guide"));
    help.searchBox().clear();
    QTest::keyClicks(&help.searchBox(), QStringLiteral("nowhere"));
    QVERIFY(listed().isEmpty());
    help.searchBox().clear();
    QCOMPARE(listed().size(), 5);
    fixture.verifyDialogs();
}

void HelpWindowsTest::linksLeaveNotTheHelpFolder() {
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    QTest::keyClick(&app.mainWindow(), Qt::Key_F1);
    HelpWindow& help = fixture.helpWindow();
    const QUrl basic = help.browser().source();
    for (const char* link : {"../secret.html", "https://example.org/", "missing.html"}) {
        emit help.browser().anchorClicked(QUrl(QString::fromLatin1(link)));
        QCOMPARE(help.browser().source(), basic);
    }
    fixture.verifyDialogs();
}

void HelpWindowsTest::helpWindowEndsWithTheProgram() {
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    QTest::keyClick(&app.mainWindow(), Qt::Key_F1);
    QPointer<HelpWindow> help = &fixture.helpWindow();
    QVERIFY(help->isVisible());
    // Closing the editor's window ends the program though the help shows:
    // the event loop returns, rather than running on for the help alone.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    bool gaveUp = false;
    connect(&giveUp, &QTimer::timeout, qApp, [&gaveUp] {
        gaveUp = true;
        QApplication::quit();
    });
    giveUp.start(5000);
    QTimer::singleShot(0, &app.mainWindow(), [&app] { app.mainWindow().close(); });
    QApplication::exec();
    QVERIFY(!gaveUp);
    QVERIFY(!app.mainWindow().isVisible());
    fixture.stop();
    QVERIFY(help.isNull());
    fixture.verifyDialogs();
}

void HelpWindowsTest::topicMapSkipsDamagedLines() {
    const HelpTopics topics = HelpTopics::parse(
        "# comment\r\n"
        "2\tbasic.html\tBasic\r\n"
        "3\t../up.html\tOutside the folder\n"
        "4\tno-title.html\t \n"
        "x\tword.html\tNot a number\n"
        "0\tzero.html\tZero\n"
        "5\tfive.html\n"
        "2\tagain.html\tSecond for 2\n"
        "\x01\xff\xfe garbage\n"
        "7\tseven.html\tSeven");
    QCOMPARE(topics.topics().size(), 2);
    QCOMPARE(topics.find(2)->page, QStringLiteral("basic.html"));
    QCOMPARE(topics.find(7)->title, QStringLiteral("Seven"));
    QVERIFY(!topics.find(3));
    QVERIFY(HelpTopics::load(QStringLiteral("/nonexistent")).isEmpty());
}

// --- About ------------------------------------------------------------------------

void HelpWindowsTest::aboutNamesTheBuildAndCredits() {
    HelpFixture fixture;
    QVERIFY(fixture.settings().writeIni("[setup]\r\nhintstart=0\r\n"));
    EditorApp& app = fixture.start();
    QStringList lines;
    fixture.dialogs().expectDialog(QStringLiteral("About"), [&lines](QDialog& dialog) {
        for (const char* name :
             {"productName", "version", "releaseDate", "authorization", "rights", "credits"}) {
            const auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
            lines.append(label && label->isVisible() ? label->text() : QString());
        }
        auto* ok = dialog.findChild<QPushButton*>();
        if (ok) QTest::mouseClick(ok, Qt::LeftButton);
        return dialog.result();
    });
    chooseMenuItem(app, "showAbout");
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("ZQW Convention card editor"));
    QVERIFY2(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+$"))
                 .match(lines[1])
                 .hasMatch(),
             qPrintable(lines[1]));
    QVERIFY(!lines[2].isEmpty() && !lines[3].isEmpty() && !lines[4].isEmpty());
    for (const char* credit : {"Liberation", "DejaVu", "Qt", "libzip", "libcurl"})
        QVERIFY2(lines[5].contains(QLatin1String(credit)), credit);
    fixture.verifyDialogs();
}

ZQW_GUI_TEST(HelpWindowsTest)
#include "helpwindows_test.moc"
