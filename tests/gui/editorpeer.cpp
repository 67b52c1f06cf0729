// A second editor in a process of its own, for the tests of what two
// editors of one user do to each other. It shares the test's settings and
// state folders (through the environment it inherits) and takes commands on
// its standard input, one a line, each argument percent-encoded:
//   open PATH    opens a card, as a file manager names it
//   type TEXT    types TEXT into the card's first answer
//   notes TEXT   adds TEXT at the end of the notes
//   save         File > Save
// After each command it writes "done" on its standard output. Every message
// and question it meets is written there too ("question: TEXT"); questions
// are answered No. It ends when its input closes.

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTest>
#include <cstdio>

#include "app/editorapp.h"
#include "commands/filecommands.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "mainwindow/mainwindow.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/sectionview.h"

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

class ReportingDialogs : public UserDialogs {
public:
    void message(const QString& text) override { say(QStringLiteral("message: ") + text); }
    void information(const QString& text) override { say(QStringLiteral("information: ") + text); }
    Answer question(const QString& text, bool) override {
        say(QStringLiteral("question: ") + text);
        return Answer::No;
    }
    Answer questionDefaultNo(const QString& text) override {
        say(QStringLiteral("question: ") + text);
        return Answer::No;
    }
    std::optional<QString> inputBox(const QString&, const QString& prompt,
                                    const QString&) override {
        say(QStringLiteral("input: ") + prompt);
        return std::nullopt;
    }
    std::optional<QString> openFile(const FileRequest&) override {
        say(QStringLiteral("open file"));
        return std::nullopt;
    }
    std::optional<QString> saveFile(const FileRequest&) override {
        say(QStringLiteral("save file"));
        return std::nullopt;
    }
    std::optional<QString> chooseFolder(const QString& caption, const QString&) override {
        say(QStringLiteral("folder: ") + caption);
        return std::nullopt;
    }
    int execDialog(QDialog&) override {
        say(QStringLiteral("dialog"));
        return 0;
    }
};

void run(EditorApp& app, const QString& command) {
    const QString verb = command.section(QLatin1Char(' '), 0, 0);
    const QString argument = QString::fromUtf8(
        QByteArray::fromPercentEncoding(command.section(QLatin1Char(' '), 1).toUtf8()));
    if (verb == QLatin1String("open")) {
        app.fileCommands().openNamedFile(argument);
    } else if (verb == QLatin1String("type")) {
        SectionView& view = app.sectionView();
        view.selectGroup(0);
        CardGrid& grid = view.grid(1);
        grid.setActiveCell(1, 1);
        grid.startEditing(true);
        if (QLineEdit* editor = grid.editor()) {
            editor->setFocus();
            editor->selectAll();
            QTest::keyClicks(editor, argument);
        }
        view.storePendingEdits();
    } else if (verb == QLatin1String("notes")) {
        NotesTextEditor& notes = app.notesEditor();
        notes.moveCursor(QTextCursor::End);
        notes.insertPlainText(argument);
    } else if (verb == QLatin1String("save")) {
        app.fileCommands().saveCard();
    } else {
        say(QStringLiteral("unknown command: ") + command);
    }
    say(QStringLiteral("done"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    ReportingDialogs dialogs;
    EditorApp app(dialogs);
    if (!app.isReady()) return 1;
    app.settings().setHintsAtStart(false);
    app.mainWindow().show();
    say(QStringLiteral("ready"));

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app.mainWindow(), [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            QApplication::quit();
            return;
        }
        pending.append(buffer, got);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString command = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            run(app, command);
        }
    });
    const int status = QApplication::exec();
    // The next editor of the test starts without this one's card as its
    // last card.
    app.document().closeCard();
    return status;
}
