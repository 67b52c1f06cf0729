// Find, Search again and Replace in the notes, driven through the main
// window's commands and the real Find and Replace dialogs.

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTextCursor>

#include "app/editorapp.h"
#include "dialogs/finddialog.h"
#include "dialogs/replacedialog.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mainwindow/mainwindow.h"

namespace {

constexpr int kNotesTab = 7;  // the bundled template has seven groups, then the notes

// Four "stayman" in three spellings; lines 4 and 5 hold "beta gamma" only
// across the line break.
const QByteArray kFindNotes =
    "Stayman asks for a major\r\n"
    "After 1NT: stayman, then stayman again\r\n"
    "STAYMAN with five cards\r\n"
    "alpha beta\r\n"
    "gamma delta\r\n";
const QString kReplaceText = QStringLiteral("one two one\nOne three\ntwo one");

struct Choice {
    QString text;
    bool backward = false;
    bool matchCase = false;
    bool global = false;
    QString replacement;
    bool all = false;
    bool confirm = false;
};

Choice searchChoice(const QString& text, bool backward, bool matchCase, bool global) {
    Choice choice;
    choice.text = text;
    choice.backward = backward;
    choice.matchCase = matchCase;
    choice.global = global;
    return choice;
}

// Sets the controls as a user would and closes the dialog with a button.
int fillAndClose(QDialog& shown, const Choice& choice, bool ok) {
    QDialog& dialog = shown;
    const auto typeInto = [&dialog](const char* name, const QString& text) {
        auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(name));
        if (!edit) return;
        edit->selectAll();
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(edit, c.toLatin1());
            } else {
                // As a keyboard layout with the character sends it.
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
        if (text.isEmpty()) edit->clear();
    };
    typeInto("searchText", choice.text);
    // Clicked on the indicator: the middle of a wide button is no hit.
    const auto click = [](QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    };
    click(dialog.findChild<QRadioButton*>(choice.backward ? QStringLiteral("searchBackward")
                                                          : QStringLiteral("searchForward")));
    const auto tick = [&](const char* name, bool on) {
        auto* box = dialog.findChild<QCheckBox*>(QString::fromLatin1(name));
        if (box && box->isChecked() != on) click(box);
    };
    tick("matchCase", choice.matchCase);
    tick("globalSearch", choice.global);
    tick("replaceAll", choice.all);
    tick("confirm", choice.confirm);
    typeInto("replaceText", choice.replacement);
    QTest::mouseClick(dialog.findChild<QPushButton*>(ok ? QStringLiteral("okButton")
                                                        : QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    return dialog.result();
}

QString notFound(const QString& text) {
    return QStringLiteral("Search string '") + text + QStringLiteral("' not found");
}

// The selection as "line:column-line:column 'text'", caret last, so a
// failure shows all of it at once.
QString selectionOf(NotesTextEditor& notes) {
    const QTextCursor cursor = notes.textCursor();
    QTextCursor anchor(notes.document());
    anchor.setPosition(cursor.anchor());
    return QStringLiteral("%1:%2-%3:%4 '%5'")
        .arg(anchor.blockNumber() + 1)
        .arg(anchor.positionInBlock() + 1)
        .arg(cursor.blockNumber() + 1)
        .arg(cursor.positionInBlock() + 1)
        .arg(cursor.selectedText());
}

QString caretAt(int line, int column) {
    return QStringLiteral("%1:%2-%1:%2 ''").arg(line).arg(column);
}

QString selected(int line, int first, int last, const QString& text) {
    return QStringLiteral("%1:%2-%1:%3 '%4'").arg(line).arg(first).arg(last).arg(text);
}

}  // namespace

class FindReplaceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dialogsStartAsGiven_data();
    void dialogsStartAsGiven();
    void dialogsAreFixedAndCentred_data();
    void dialogsAreFixedAndCentred();
    void tabFollowsTheReplaceDialogsFields();
    void dialogsKeepTheirStateBetweenUses_data();
    void dialogsKeepTheirStateBetweenUses();
    void cancelledDialogDoesNothing_data();
    void cancelledDialogDoesNothing();

    void find_data();
    void find();
    void searchAgainStepsOnThenStops_data();
    void searchAgainStepsOnThenStops();
    void searchAgainUsesTheFindText();

    void replace_data();
    void replace();
    void replacementsCanBeUndone_data();
    void replacementsCanBeUndone();

    void shortcutsSearchTheNotesFromACardPage();
    void suitSymbolsFindAndReplaceSuits();

private:
    EditorApp& start();
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    NotesTextEditor& notes() { return session_->app().notesEditor(); }
    void loadNotes(const QByteArray& bytes);
    void expectFind(const Choice& choice, bool ok = true) {
        dialogs().expectDialog(QStringLiteral("Find"),
                               [choice, ok](QDialog& d) { return fillAndClose(d, choice, ok); });
    }
    void expectReplace(const Choice& choice, bool ok = true) {
        dialogs().expectDialog(QStringLiteral("Replace"),
                               [choice, ok](QDialog& d) { return fillAndClose(d, choice, ok); });
    }

    std::unique_ptr<EditorSession> session_;
};

void FindReplaceTest::init() {
    session_ = std::make_unique<EditorSession>();
    QVERIFY(session_->folder().isValid());
}

void FindReplaceTest::cleanup() {
    session_->verifyDialogs();
    session_.reset();
}

EditorApp& FindReplaceTest::start() {
    EditorApp& app = session_->start();
    app.sectionView().selectGroup(kNotesTab);
    return app;
}

void FindReplaceTest::loadNotes(const QByteArray& bytes) {
    const QString path = session_->path(QStringLiteral("notes.txt"));
    writeBytes(path, bytes);
    QVERIFY(notes().loadFile(path.toStdString()));
}

// ---------------------------------------------------------------------------
// The dialogs

void FindReplaceTest::dialogsStartAsGiven_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("checked");

    for (const QString& dialog : {QStringLiteral("Find"), QStringLiteral("Replace")}) {
        const auto row = [&](const char* control, const char* caption, bool checked) {
            QTest::addRow("%s %s", qPrintable(dialog), control)
                << dialog << QString::fromLatin1(control) << QString::fromLatin1(caption)
                << checked;
        };
        row("searchTextGroup", "&Search Text", false);
        row("searchOptions", "Search &Options", false);
        row("searchForward", "Search &Forward", true);
        row("searchBackward", "Search &Backward", false);
        row("matchCase", "&Match Case", false);
        row("globalSearch", "&Global Search", false);
        row("okButton", "OK", false);
        row("cancelButton", "Cancel", false);
    }
    QTest::newRow("Replace ReplaceGroup") << "Replace"
                                          << "replaceTextGroup"
                                          << "&Replace Text" << false;
    QTest::newRow("Replace CheckBox3") << "Replace"
                                       << "replaceAll"
                                       << "Replace &All" << false;
    QTest::newRow("Replace CheckBox4") << "Replace"
                                       << "confirm"
                                       << "&Confirm" << false;
}

void FindReplaceTest::dialogsStartAsGiven() {
    QFETCH(QString, dialog);
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(bool, checked);

    start();
    FindCommands& commands = session_->app().findCommands();
    QDialog& shown = dialog == QStringLiteral("Find")
                         ? static_cast<QDialog&>(commands.findDialog())
                         : static_cast<QDialog&>(commands.replaceDialog());
    QCOMPARE(shown.windowTitle(), dialog);
    QWidget* widget = shown.findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control));
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(group->title(), caption);
    } else {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->isChecked(), checked);
    }
    for (QLineEdit* edit : shown.findChildren<QLineEdit*>()) QCOMPARE(edit->text(), QString());
    // The Find dialog has no replacement box; the Replace dialog has one.
    QCOMPARE(shown.findChildren<QLineEdit*>().size(), dialog == QStringLiteral("Find") ? 1 : 2);
    QCOMPARE(shown.findChildren<QCheckBox*>().size(), dialog == QStringLiteral("Find") ? 2 : 4);
}

void FindReplaceTest::dialogsAreFixedAndCentred_data() {
    QTest::addColumn<QString>("dialog");
    QTest::newRow("Find") << "Find";
    QTest::newRow("Replace") << "Replace";
}

void FindReplaceTest::dialogsAreFixedAndCentred() {
    QFETCH(QString, dialog);
    EditorApp& app = start();
    app.mainWindow().move(0, 0);  // the dialog follows the screen, not the main window
    QRect frame;
    QRect screen;
    QSize minimum;
    QSize maximum;
    Qt::WindowFlags flags;
    bool searchTextFocused = false;
    dialogs().expectDialog(dialog, [&](QDialog& shown) {
        frame = shown.frameGeometry();
        screen = shown.screen()->availableGeometry();
        minimum = shown.minimumSize();
        maximum = shown.maximumSize();
        flags = shown.windowFlags();
        searchTextFocused =
            shown.focusWidget() == shown.findChild<QLineEdit*>(QStringLiteral("searchText"));
        return int(QDialog::Rejected);
    });
    if (dialog == QStringLiteral("Find")) {
        app.findCommands().find();
    } else {
        app.findCommands().replace();
    }
    const QString where = QStringLiteral("dialog %1,%2 %3x%4 on %5x%6")
                              .arg(frame.x())
                              .arg(frame.y())
                              .arg(frame.width())
                              .arg(frame.height())
                              .arg(screen.width())
                              .arg(screen.height());
    QVERIFY2(qAbs(frame.center().x() - screen.center().x()) <= 1, qPrintable(where));
    QVERIFY2(qAbs(frame.center().y() - screen.center().y()) <= 1, qPrintable(where));
    QVERIFY(!minimum.isEmpty());
    QCOMPARE(minimum, maximum);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(searchTextFocused);
}

void FindReplaceTest::dialogsKeepTheirStateBetweenUses_data() {
    QTest::addColumn<QString>("dialog");
    QTest::newRow("Find") << "Find";
    QTest::newRow("Replace") << "Replace";
}

void FindReplaceTest::dialogsKeepTheirStateBetweenUses() {
    QFETCH(QString, dialog);
    EditorApp& app = start();
    loadNotes(kFindNotes);
    const bool find = dialog == QStringLiteral("Find");
    const auto run = [&]() {
        if (find) {
            app.findCommands().find();
        } else {
            app.findCommands().replace();
        }
    };
    // Every option away from its first state.
    Choice choice;
    choice.text = QStringLiteral("absent");
    choice.backward = true;
    choice.matchCase = true;
    choice.global = true;
    choice.replacement = QStringLiteral("gone");
    choice.all = true;
    choice.confirm = true;
    dialogs().expectDialog(dialog, [choice](QDialog& d) { return fillAndClose(d, choice, true); });
    // The confirmed replace-all loop ends silently when nothing matches.
    if (find) dialogs().expectInformation(notFound(choice.text));
    run();

    QStringList seen;
    dialogs().expectDialog(dialog, [&seen](QDialog& shown) {
        for (const QLineEdit* edit : shown.findChildren<QLineEdit*>())
            seen << edit->objectName() + QLatin1Char('=') + edit->text();
        for (const QAbstractButton* box : shown.findChildren<QAbstractButton*>()) {
            if (box->isCheckable())
                seen << box->objectName() +
                            (box->isChecked() ? QStringLiteral("+") : QStringLiteral("-"));
        }
        return int(QDialog::Rejected);
    });
    run();
    seen.sort();
    QStringList expected = {QStringLiteral("matchCase+"), QStringLiteral("globalSearch+"),
                            QStringLiteral("searchText=absent"), QStringLiteral("searchForward-"),
                            QStringLiteral("searchBackward+")};
    if (!find)
        expected << QStringLiteral("replaceAll+") << QStringLiteral("confirm+")
                 << QStringLiteral("replaceText=gone");
    expected.sort();
    QCOMPARE(seen, expected);
    QCOMPARE(notes().toPlainText().toUtf8(), QByteArray(kFindNotes).replace("\r\n", "\n"));
}

void FindReplaceTest::tabFollowsTheReplaceDialogsFields() {
    EditorApp& app = start();
    QStringList visited;
    dialogs().expectDialog(QStringLiteral("Replace"), [&visited](QDialog& shown) {
        for (int step = 0; step < 2; ++step) {
            visited << shown.focusWidget()->objectName();
            QTest::keyClick(shown.focusWidget(), Qt::Key_Tab);
        }
        visited << shown.focusWidget()->objectName();
        QTest::keyClick(shown.focusWidget(), Qt::Key_Backtab);
        visited << shown.focusWidget()->objectName();
        return int(QDialog::Rejected);
    });
    app.findCommands().replace();
    // Search text, then the replacement below it, then the options.
    QCOMPARE(visited,
             (QStringList{QStringLiteral("searchText"), QStringLiteral("replaceText"),
                          QStringLiteral("searchForward"), QStringLiteral("replaceText")}));
}

void FindReplaceTest::cancelledDialogDoesNothing_data() {
    QTest::addColumn<QString>("dialog");
    QTest::newRow("Find") << "Find";
    QTest::newRow("Replace") << "Replace";
}

void FindReplaceTest::cancelledDialogDoesNothing() {
    QFETCH(QString, dialog);
    EditorApp& app = start();
    loadNotes(kFindNotes);
    notes().setCaret(2, 3);
    Choice choice;
    choice.text = QStringLiteral("stayman");
    choice.global = true;
    choice.replacement = QStringLiteral("Puppet");
    choice.all = true;
    dialogs().expectDialog(dialog, [choice](QDialog& d) { return fillAndClose(d, choice, false); });
    if (dialog == QStringLiteral("Find")) {
        app.findCommands().find();
    } else {
        app.findCommands().replace();
    }
    QCOMPARE(selectionOf(notes()), caretAt(2, 3));
    QVERIFY(!notes().isModified());
}

// ---------------------------------------------------------------------------
// Find and Search again

void FindReplaceTest::find_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QString>("selection");

    QTest::newRow("forward from the caret")
        << 1 << 2 << "stayman" << false << false << false << false
        << selected(2, 12, 19, QStringLiteral("stayman"));
    QTest::newRow("forward match at the caret")
        << 2 << 26 << "stayman" << false << false << false << false
        << selected(2, 26, 33, QStringLiteral("stayman"));
    QTest::newRow("backward from the end of a line, same line")
        << 2 << 39 << "stayman" << true << false << false << false
        << QStringLiteral("2:33-2:26 'stayman'");
    QTest::newRow("backward onto the line above") << 2 << 12 << "stayman" << true << false << false
                                                  << false << QStringLiteral("1:8-1:1 'Stayman'");
    QTest::newRow("global forward starts at the top")
        << 3 << 5 << "stayman" << false << false << true << false
        << selected(1, 1, 8, QStringLiteral("Stayman"));
    QTest::newRow("global backward starts at the bottom")
        << 1 << 1 << "stayman" << true << false << true << false
        << QStringLiteral("3:8-3:1 'STAYMAN'");
    QTest::newRow("small letters find capitals")
        << 2 << 33 << "stayman" << false << false << false << false
        << selected(3, 1, 8, QStringLiteral("STAYMAN"));
    QTest::newRow("match case skips other spellings")
        << 1 << 1 << "STAYMAN" << false << true << false << false
        << selected(3, 1, 8, QStringLiteral("STAYMAN"));
    QTest::newRow("match case, no such spelling")
        << 1 << 1 << "StayMan" << false << true << true << true << caretAt(1, 1);
    QTest::newRow("text across two lines")
        << 4 << 1 << "beta gamma" << false << false << false << true << caretAt(4, 1);
    QTest::newRow("text across two lines, global backward")
        << 1 << 1 << "betagamma" << true << false << true << true << caretAt(1, 1);
    QTest::newRow("forward past the last match")
        << 3 << 8 << "stayman" << false << false << false << true << caretAt(3, 8);
    QTest::newRow("backward from the first match")
        << 1 << 1 << "stayman" << true << false << false << true << caretAt(1, 1);
    QTest::newRow("empty text: no message, no move")
        << 2 << 5 << "" << false << false << false << false << caretAt(2, 5);
}

void FindReplaceTest::find() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, backward);
    QFETCH(bool, matchCase);
    QFETCH(bool, global);
    QFETCH(bool, reported);
    QFETCH(QString, selection);

    EditorApp& app = start();
    loadNotes(kFindNotes);
    notes().setCaret(line, column);
    Choice choice = searchChoice(text, backward, matchCase, global);
    expectFind(choice);
    if (reported) dialogs().expectInformation(notFound(text));
    app.findCommands().find();
    QCOMPARE(selectionOf(notes()), selection);
    QVERIFY(!notes().isModified());
}

void FindReplaceTest::searchAgainStepsOnThenStops_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QStringList>("selections");  // Find's, then each Search again's

    QTest::newRow("forward twice, then not found")
        << 1 << 1 << "stayman" << false << true << false
        << QStringList{selected(2, 12, 19, QStringLiteral("stayman")),
                       selected(2, 26, 33, QStringLiteral("stayman"))};
    QTest::newRow("backward twice, then not found")
        << 3 << 1 << "stayman" << true << true << false
        << QStringList{QStringLiteral("2:33-2:26 'stayman'"),
                       QStringLiteral("2:19-2:12 'stayman'")};
    QTest::newRow("any case forward through all four")
        << 1 << 1 << "Stayman" << false << false << false
        << QStringList{selected(1, 1, 8, QStringLiteral("Stayman")),
                       selected(2, 12, 19, QStringLiteral("stayman")),
                       selected(2, 26, 33, QStringLiteral("stayman")),
                       selected(3, 1, 8, QStringLiteral("STAYMAN"))};
    // Global applies to Find only: Search again goes on from the caret.
    QTest::newRow("global Find, then on from the match")
        << 3 << 5 << "STAYMAN" << false << false << true
        << QStringList{selected(1, 1, 8, QStringLiteral("Stayman")),
                       selected(2, 12, 19, QStringLiteral("stayman")),
                       selected(2, 26, 33, QStringLiteral("stayman")),
                       selected(3, 1, 8, QStringLiteral("STAYMAN"))};
}

void FindReplaceTest::searchAgainStepsOnThenStops() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, backward);
    QFETCH(bool, matchCase);
    QFETCH(bool, global);
    QFETCH(QStringList, selections);

    EditorApp& app = start();
    loadNotes(kFindNotes);
    notes().setCaret(line, column);
    Choice choice = searchChoice(text, backward, matchCase, global);
    expectFind(choice);
    app.findCommands().find();
    QCOMPARE(selectionOf(notes()), selections.first());
    for (qsizetype i = 1; i < selections.size(); ++i) {
        app.findCommands().findAgain();
        QCOMPARE(selectionOf(notes()), selections[i]);
    }
    QCOMPARE(dialogs().pending(), 0);
    // One more: the message, and the last match stays selected.
    dialogs().expectInformation(notFound(text));
    app.findCommands().findAgain();
    QCOMPARE(selectionOf(notes()), selections.last());
    QVERIFY(!notes().isModified());
}

void FindReplaceTest::searchAgainUsesTheFindText() {
    EditorApp& app = start();
    loadNotes(kReplaceText.toUtf8());
    notes().setCaret(1, 1);
    Choice find;
    find.text = QStringLiteral("two");
    expectFind(find);
    app.findCommands().find();
    QCOMPARE(selectionOf(notes()), selected(1, 5, 8, QStringLiteral("two")));

    Choice replace;
    replace.text = QStringLiteral("one");
    replace.replacement = QStringLiteral("1");
    expectReplace(replace);
    app.findCommands().replace();
    QCOMPARE(notes().toPlainText(), QStringLiteral("one two 1\nOne three\ntwo one"));

    // "two" again, not the Replace dialog's "one" (which is next at 2:1).
    app.findCommands().findAgain();
    QCOMPARE(selectionOf(notes()), selected(3, 1, 4, QStringLiteral("two")));
}

// ---------------------------------------------------------------------------
// Replace

void FindReplaceTest::replace_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("global");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("answers");  // Y, N or C for each "Replace string " question
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("selection");

    const QString same = kReplaceText;
    // Replace all, no questions.
    QTest::newRow("all from the caret on") << 1 << 5 << "one"
                                           << "1" << false << false << false << true << false << ""
                                           << false << "one two 1\n1 three\ntwo 1" << caretAt(3, 6);
    QTest::newRow("all, global") << 2 << 3 << "one"
                                 << "1" << false << false << true << true << false << "" << false
                                 << "1 two 1\n1 three\ntwo 1" << caretAt(3, 6);
    QTest::newRow("all, global, match case")
        << 3 << 8 << "one"
        << "1" << false << true << true << true << false << "" << false
        << "1 two 1\nOne three\ntwo 1" << caretAt(3, 6);
    QTest::newRow("all backward from the caret")
        << 2 << 2 << "one"
        << "1" << true << false << false << true << false << "" << false
        << "1 two 1\n1 three\ntwo one" << caretAt(1, 1);
    QTest::newRow("all, no match: message")
        << 1 << 1 << "four"
        << "4" << false << false << true << true << false << "" << true << same << caretAt(1, 1);
    // Replace all with a question for each match.
    QTest::newRow("confirm: No moves on")
        << 1 << 1 << "one"
        << "1" << false << false << false << true << true << "YNYN" << false
        << "1 two one\n1 three\ntwo one" << selected(3, 5, 8, QStringLiteral("one"));
    QTest::newRow("confirm: Cancel stops, match kept selected")
        << 1 << 1 << "one"
        << "1" << false << false << false << true << true << "YC" << false
        << "1 two one\nOne three\ntwo one" << selected(1, 7, 10, QStringLiteral("one"));
    QTest::newRow("confirm: no match, no message")
        << 1 << 1 << "four"
        << "4" << false << false << true << true << true << "" << false << same << caretAt(1, 1);
    QTest::newRow("confirm: global starts at the top once")
        << 3 << 1 << "one"
        << "1" << false << false << true << true << true << "NNNN" << false << same
        << selected(3, 5, 8, QStringLiteral("one"));
    QTest::newRow("confirm: replacement holding the text, forward")
        << 1 << 1 << "one"
        << "one one" << false << false << false << true << true << "YYYY" << false
        << "one one two one one\none one three\ntwo one one" << caretAt(3, 12);
    QTest::newRow("confirm: capitals changed, backward")
        << 1 << 1 << "one"
        << "ONE" << true << false << true << true << true << "YYYY" << false
        << "ONE two ONE\nONE three\ntwo ONE" << caretAt(1, 1);
    // One replacement.
    QTest::newRow("single: only the next match")
        << 1 << 2 << "one"
        << "1" << false << false << false << false << false << "" << false
        << "one two 1\nOne three\ntwo one" << caretAt(1, 10);
    QTest::newRow("single backward: caret before the replacement")
        << 3 << 1 << "one"
        << "1" << true << false << false << false << false << "" << false
        << "one two one\n1 three\ntwo one" << caretAt(2, 1);
    QTest::newRow("single, global") << 3 << 8 << "ONE"
                                    << "1" << false << false << true << false << false << ""
                                    << false << "1 two one\nOne three\ntwo one" << caretAt(1, 2);
    QTest::newRow("single, not found: message")
        << 2 << 6 << "three"
        << "3" << false << false << false << false << false << "" << true << same << caretAt(2, 6);
    QTest::newRow("single confirm: Yes")
        << 1 << 2 << "one"
        << "1" << false << false << false << false << true << "Y" << false
        << "one two 1\nOne three\ntwo one" << caretAt(1, 10);
    QTest::newRow("single confirm: No")
        << 1 << 2 << "one"
        << "1" << false << false << false << false << true << "N" << false << same
        << selected(1, 9, 12, QStringLiteral("one"));
    QTest::newRow("single confirm: Cancel")
        << 1 << 2 << "one"
        << "1" << false << false << false << false << true << "C" << false << same
        << selected(1, 9, 12, QStringLiteral("one"));
    QTest::newRow("single confirm, not found: message")
        << 1 << 1 << "four"
        << "4" << false << false << true << false << true << "" << true << same << caretAt(1, 1);
    // Nothing to look for: nothing happens, whatever the options.
    QTest::newRow("empty text, single")
        << 1 << 5 << ""
        << "X" << false << false << false << false << false << "" << false << same << caretAt(1, 5);
    QTest::newRow("empty text, all")
        << 1 << 5 << ""
        << "X" << false << false << true << true << false << "" << false << same << caretAt(1, 5);
    QTest::newRow("empty text, all with confirm")
        << 1 << 5 << ""
        << "X" << false << false << true << true << true << "" << false << same << caretAt(1, 5);
}

void FindReplaceTest::replace() {
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QFETCH(bool, backward);
    QFETCH(bool, matchCase);
    QFETCH(bool, global);
    QFETCH(bool, all);
    QFETCH(bool, confirm);
    QFETCH(QString, answers);
    QFETCH(bool, reported);
    QFETCH(QString, result);
    QFETCH(QString, selection);

    EditorApp& app = start();
    loadNotes(kReplaceText.toUtf8());
    notes().setCaret(line, column);
    expectReplace({text, backward, matchCase, global, replacement, all, confirm});
    for (const QChar answer : answers) {
        dialogs().expectQuestion(QStringLiteral("Replace string "),
                                 answer == QLatin1Char('Y')   ? UserDialogs::Answer::Yes
                                 : answer == QLatin1Char('N') ? UserDialogs::Answer::No
                                                              : UserDialogs::Answer::Cancel);
    }
    if (reported) dialogs().expectInformation(notFound(text));
    app.findCommands().replace();
    QCOMPARE(notes().toPlainText(), result);
    QCOMPARE(selectionOf(notes()), selection);
    QCOMPARE(notes().isModified(), result != kReplaceText);
}

void FindReplaceTest::replacementsCanBeUndone_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("steps");  // undo steps back to the loaded text
    QTest::newRow("replace all at once: one step") << false << 1;
    QTest::newRow("confirmed one by one: a step each") << true << 3;
}

void FindReplaceTest::replacementsCanBeUndone() {
    QFETCH(bool, confirm);
    QFETCH(int, steps);
    EditorApp& app = start();
    loadNotes(kReplaceText.toUtf8());
    expectReplace({QStringLiteral("one"), false, true, true, QStringLiteral("1"), true, confirm});
    for (int i = 0; confirm && i < steps; ++i)
        dialogs().expectQuestion(QStringLiteral("Replace string "), UserDialogs::Answer::Yes);
    app.findCommands().replace();
    QCOMPARE(notes().toPlainText(), QStringLiteral("1 two 1\nOne three\ntwo 1"));
    QVERIFY(notes().isModified());

    // The notes on disk are untouched until saved; then they hold the change.
    const QString path = session_->path(QStringLiteral("notes.txt"));
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    QCOMPARE(before.readAll(), kReplaceText.toUtf8());
    before.close();

    for (int i = 0; i < steps; ++i) {
        QVERIFY(notes().document()->isUndoAvailable());
        notes().undo();
    }
    QCOMPARE(notes().toPlainText(), kReplaceText);
    QVERIFY(!notes().isModified());
}

// ---------------------------------------------------------------------------
// Shortcuts

void FindReplaceTest::shortcutsSearchTheNotesFromACardPage() {
    EditorApp& app = start();
    loadNotes(kReplaceText.toUtf8());
    notes().setCaret(1, 1);
    app.sectionView().selectGroup(0);
    QVERIFY(!notes().isVisible());

    Choice find;
    find.text = QStringLiteral("three");
    expectFind(find);
    QTest::keyClick(&app.mainWindow(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(dialogs().pending(), 0);
    QCOMPARE(selectionOf(notes()), selected(2, 5, 10, QStringLiteral("three")));

    dialogs().expectInformation(notFound(find.text));
    QTest::keyClick(&app.mainWindow(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(dialogs().pending(), 0);

    expectReplace({QStringLiteral("THREE"), false, false, true, QStringLiteral("3"), false, false});
    QTest::keyClick(&app.mainWindow(), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(dialogs().pending(), 0);
    QCOMPARE(notes().toPlainText(), QStringLiteral("one two one\nOne 3\ntwo one"));
    QVERIFY(!notes().isVisible());
    QCOMPARE(app.sectionView().groupTabs().currentIndex(), 0);
}

void FindReplaceTest::suitSymbolsFindAndReplaceSuits() {
    EditorApp& app = start();
    // The notes hold suits as the characters the notes font draws as suits.
    loadNotes("1} then 2[\r\n");
    expectFind(searchChoice(QStringLiteral("2\u2660"), false, false, true));
    app.findCommands().find();
    QCOMPARE(selectionOf(notes()), selected(1, 9, 11, QStringLiteral("2[")));
    Choice choice = searchChoice(QStringLiteral("\u2664"), false, false, true);
    choice.replacement = QStringLiteral("\u2665 \u0416");
    choice.all = true;
    expectReplace(choice);
    app.findCommands().replace();
    QCOMPARE(notes().toPlainText(), QStringLiteral("1} then 2] ?\n"));
    QCOMPARE(app.mainWindow().statusBar()->currentMessage(),
             QStringLiteral("Replaced, as a notes file cannot store them: \u0416 by ?"));
}

ZQW_GUI_TEST(FindReplaceTest)
#include "findreplace_test.moc"
