#pragma once

#include <QDialog>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTabBar>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "app/editorapp.h"
#include "commands/clipboardcommands.h"
#include "commands/columneditcommand.h"
#include "commands/filecommands.h"
#include "commands/findcommands.h"
#include "commands/linecommands.h"
#include "commands/menuactions.h"
#include "commands/notescommands.h"
#include "commands/optionscommands.h"
#include "commands/promptcontroller.h"
#include "commands/undocommands.h"
#include "dialogs/userdialogs.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "mainwindow/mainwindow.h"
#include "views/cardgrid.h"
#include "views/notestexteditor.h"
#include "views/rotatedlabel.h"
#include "views/sectionview.h"

class QLineEdit;
class QMenu;

// Answers the editor's questions and dialogs from a script, in order. A call
// nobody expected, or one that differs from the next expected, is recorded
// as a failure and answered as if cancelled; tests check failures() is empty
// and that every expected step was used (pending()).
class ScriptedDialogs : public UserDialogs {
public:
    enum class Kind {
        Message,
        Information,
        Question,
        QuestionDefaultNo,
        Input,
        FileToOpen,
        FileToSave,
        Folder,
        Dialog
    };

    // Each expect* adds one step. An empty text matches any text.
    void expectMessage(const QString& text);
    void expectInformation(const QString& text);
    void expectQuestion(const QString& text, Answer answer);
    // A question whose default button is No; a plain question does not match.
    void expectQuestionDefaultNo(const QString& text, Answer answer);
    void expectInput(const QString& prompt, std::optional<QString> answer);
    // filter, when given, must equal the request's filter.
    void expectOpenFile(std::optional<QString> answer, const QString& filter = {});
    void expectSaveFile(std::optional<QString> answer, const QString& filter = {});
    void expectFolder(std::optional<QString> answer);
    // The handler gets the real dialog, already shown (not modal), may set
    // its controls and click its buttons, and returns the result.
    void expectDialog(const QString& windowTitle, std::function<int(QDialog&)> handler);

    QStringList failures() const { return failures_; }
    int pending() const { return static_cast<int>(steps_.size()); }
    // Everything shown or asked, as "kind: text", in order.
    QStringList log() const { return log_; }
    // The last file request the editor made (filter, extension ...).
    FileRequest lastFileRequest() const { return lastRequest_; }

    void message(const QString& text) override;
    void information(const QString& text) override;
    Answer question(const QString& text, bool withCancel) override;
    Answer questionDefaultNo(const QString& text) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& start) override;
    int execDialog(QDialog& dialog) override;

private:
    struct Step {
        Kind kind;
        QString text;
        Answer answer = Answer::Cancel;
        std::optional<QString> value;
        std::function<int(QDialog&)> handler;
    };
    // The next step when it is of this kind and matches the text.
    std::optional<Step> take(Kind kind, const QString& text);

    QList<Step> steps_;
    QStringList failures_;
    QStringList log_;
    FileRequest lastRequest_;
};

// A settings folder of its own for the per-user store and the settings file,
// so each test starts as a first run.
class IsolatedSettings {
public:
    IsolatedSettings();
    QString configDir() const { return dir_.path(); }
    // Path of the settings file the editor reads and writes.
    QString iniPath() const;
    // Writes the settings file the editor will read; false when it could not.
    bool writeIni(const QByteArray& content) const;

private:
    QTemporaryDir dir_;
};

// Path of the bundled template and of a file under tests/gui/data.
QString bundledTemplatePath();
QString testDataPath(const QString& name);

// Points the per-user store's program folder ("path") at a folder.
void useProgramDir(const QString& path);

// Records of a template or card file, each ended by CR LF.
QByteArray records(const QList<QByteArray>& lines);

// A program folder of a test's own with its own template (fonts are not
// needed to test). Other files may be written beside it.
class ProgramFolder {
public:
    explicit ProgramFolder(const QByteArray& templateBytes);
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Whether the template was written in full.
    bool isValid() const { return written_; }

private:
    QTemporaryDir dir_;
    bool written_ = false;
};

// One editor as a user runs it: settings of its own (a first run), the
// per-user store pointing at a program folder, every question and dialog
// answered by a script, and a folder for the test's files.
class EditorSession {
public:
    explicit EditorSession(const QString& programDir = QStringLiteral(ZQW_PROGRAM_DIR));

    IsolatedSettings& settings() { return settings_; }
    ScriptedDialogs& dialogs() { return dialogs_; }
    const QTemporaryDir& folder() const { return folder_; }
    QString path(const QString& name) const { return folder_.filePath(name); }

    // Makes the editor; its main window is not shown yet.
    EditorApp& create();
    // Makes the editor and shows its main window, active.
    EditorApp& start();
    // The editor create() or start() made, while it runs.
    EditorApp& app() { return *app_; }
    // Ends the editor; it writes its settings as it goes.
    void stop() { app_.reset(); }

    // Checks the script: no failures, no step left unused.
    void verifyDialogs() const;

private:
    IsolatedSettings settings_;
    QTemporaryDir folder_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<EditorApp> app_;
};

// The base of a test class whose every test function has an editor session
// of its own: made before the function, its script checked (no failure, no
// step left unused) and the editor ended after it.
class EditorSessionTest : public QObject {
    Q_OBJECT

protected:
    EditorSession& session() { return *session_; }
    const EditorSession& session() const { return *session_; }
    EditorApp& start() { return session_->start(); }
    ScriptedDialogs& dialogs() { return session_->dialogs(); }
    QString path(const QString& name) const { return session_->path(name); }

private slots:
    void init() { session_ = std::make_unique<EditorSession>(); }
    void cleanup() {
        session_->verifyDialogs();
        session_.reset();
    }

private:
    std::unique_ptr<EditorSession> session_;
};

// Shows a window and makes it the active one, as a user finds it.
void showActive(QWidget& window);
// Shows the editor's main window, active.
void showActive(EditorApp& app);

// A menu of the menu bar by its name.
QMenu* menuNamed(EditorApp& app, const QString& objectName);

// The text a grid shows in a cell; rows count from 1.
QString cellText(EditorApp& app, int grid, int row, int column);

// Makes a cell of a grid the active one, in editing; its editor, if any.
QLineEdit* editCell(EditorApp& app, int grid, int row, int column);

// Types over the text in the active cell's editor of a grid.
void typeIntoCell(EditorApp& app, int grid, const QString& text);

// Picks a menu item as a click does: the menu's opening handler runs first,
// and the item only when that left it enabled.
void chooseMenuItem(EditorApp& app, const char* item);

// A file's whole content, "<unreadable>" when it cannot be read.
QByteArray readBytes(const QString& path);
// Writes a file's whole content; false when it could not.
bool tryWriteBytes(const QString& path, const QByteArray& bytes);
// The same, checked as part of the running test.
void writeBytes(const QString& path, const QByteArray& bytes);

// A card file of the bundled template whose first answer is given, linked
// to a notes file holding notesText when notesPath is given.
void writeCardFile(const QString& path, const QString& firstAnswer, const QString& notesPath = {},
                   const QString& notesText = {});
// A ZIP archive with exactly these stored names, in order; the entries
// named in links are marked as symbolic links.
void writeArchive(const QString& path, const QList<QPair<QByteArray, QByteArray>>& entries,
                  const QList<QByteArray>& links = {});
