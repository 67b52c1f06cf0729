#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "platform/userdialogs.h"

// Answers the editor's questions and dialogs from a script, in order. A call
// nobody expected, or one that differs from the next expected, is recorded
// as a failure and answered as if cancelled; tests check failures() is empty
// and that every expected step was used (pending()).
class ScriptedDialogs : public UserDialogs {
public:
    enum class Kind { Message, Information, Question, Input, OpenFile, SaveFile, Folder, Dialog };

    // Each expect* adds one step. An empty text matches any text.
    void expectMessage(const QString& text);
    void expectInformation(const QString& text);
    void expectQuestion(const QString& text, Answer answer);
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
    std::optional<QString> inputBox(const QString& caption, const QString& prompt, const QString& initial) override;
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

private:
    QTemporaryDir dir_;
};

// Path of the bundled template and of a file under tests/gui/data.
QString bundledTemplatePath();
QString testDataPath(const QString& name);
