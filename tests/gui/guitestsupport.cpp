#include "guitestsupport.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::Message: return "message";
        case ScriptedDialogs::Kind::Information: return "information";
        case ScriptedDialogs::Kind::Question: return "question";
        case ScriptedDialogs::Kind::Input: return "input";
        case ScriptedDialogs::Kind::OpenFile: return "open file";
        case ScriptedDialogs::Kind::SaveFile: return "save file";
        case ScriptedDialogs::Kind::Folder: return "folder";
        case ScriptedDialogs::Kind::Dialog: return "dialog";
    }
    return "?";
}

}  // namespace

void ScriptedDialogs::expectMessage(const QString& text) { steps_.append({Kind::Message, text, {}, {}, {}}); }

void ScriptedDialogs::expectInformation(const QString& text) {
    steps_.append({Kind::Information, text, {}, {}, {}});
}

void ScriptedDialogs::expectQuestion(const QString& text, Answer answer) {
    steps_.append({Kind::Question, text, answer, {}, {}});
}

void ScriptedDialogs::expectInput(const QString& prompt, std::optional<QString> answer) {
    steps_.append({Kind::Input, prompt, {}, answer, {}});
}

void ScriptedDialogs::expectOpenFile(std::optional<QString> answer, const QString& filter) {
    steps_.append({Kind::OpenFile, filter, {}, answer, {}});
}

void ScriptedDialogs::expectSaveFile(std::optional<QString> answer, const QString& filter) {
    steps_.append({Kind::SaveFile, filter, {}, answer, {}});
}

void ScriptedDialogs::expectFolder(std::optional<QString> answer) { steps_.append({Kind::Folder, {}, {}, answer, {}}); }

void ScriptedDialogs::expectDialog(const QString& windowTitle, std::function<int(QDialog&)> handler) {
    steps_.append({Kind::Dialog, windowTitle, {}, {}, std::move(handler)});
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::take(Kind kind, const QString& text) {
    log_ << QString::fromLatin1(kindName(kind)) + QStringLiteral(": ") + text;
    if (steps_.isEmpty()) {
        failures_ << QStringLiteral("unexpected %1: %2").arg(QString::fromLatin1(kindName(kind)), text);
        return std::nullopt;
    }
    const Step step = steps_.constFirst();
    if (step.kind != kind || (!step.text.isEmpty() && step.text != text)) {
        failures_ << QStringLiteral("expected %1 \"%2\", got %3 \"%4\"")
                         .arg(QString::fromLatin1(kindName(step.kind)), step.text,
                              QString::fromLatin1(kindName(kind)), text);
        return std::nullopt;
    }
    steps_.removeFirst();
    return step;
}

void ScriptedDialogs::message(const QString& text) { take(Kind::Message, text); }

void ScriptedDialogs::information(const QString& text) { take(Kind::Information, text); }

UserDialogs::Answer ScriptedDialogs::question(const QString& text, bool withCancel) {
    const auto step = take(Kind::Question, text);
    if (!step) return withCancel ? Answer::Cancel : Answer::No;
    return step->answer;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString&, const QString& prompt, const QString&) {
    const auto step = take(Kind::Input, prompt);
    return step ? step->value : std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
    lastRequest_ = request;
    const auto step = take(Kind::OpenFile, request.filter);
    return step ? step->value : std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) {
    lastRequest_ = request;
    const auto step = take(Kind::SaveFile, request.filter);
    return step ? step->value : std::nullopt;
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString& caption, const QString&) {
    const auto step = take(Kind::Folder, caption);
    return step ? step->value : std::nullopt;
}

int ScriptedDialogs::execDialog(QDialog& dialog) {
    const auto step = take(Kind::Dialog, dialog.windowTitle());
    if (!step) return QDialog::Rejected;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    const int result = step->handler(dialog);
    dialog.hide();
    return result;
}

IsolatedSettings::IsolatedSettings() {
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
}

QString IsolatedSettings::iniPath() const { return dir_.path() + QStringLiteral("/ZQW_VEZ/zqwcce.ini"); }

QString bundledTemplatePath() { return QStringLiteral(ZQW_SOURCE_DIR "/data/zqw.sel"); }

QString testDataPath(const QString& name) { return QStringLiteral(ZQW_SOURCE_DIR "/tests/gui/data/") + name; }
