#include "guitestsupport.h"

#include <sys/stat.h>
#include <zip.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include "card/plainnotes.h"
#include "commands/menuactions.h"
#include "commands/outputmodule.h"
#include "mainwindow/mainwindow.h"
#include "platform/profilestore.h"
#include "views/cardgrid.h"
#include "views/sectionview.h"

namespace {

// The tests do not lie beside the output module, as the program does.
const bool kOutputModuleFound = [] {
    OutputModule::searchFirst(QStringLiteral(ZQW_PROGRAM_DIR));
    return true;
}();

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::Message:
            return "message";
        case ScriptedDialogs::Kind::Information:
            return "information";
        case ScriptedDialogs::Kind::Question:
            return "question";
        case ScriptedDialogs::Kind::QuestionDefaultNo:
            return "question (No by default)";
        case ScriptedDialogs::Kind::Input:
            return "input";
        case ScriptedDialogs::Kind::FileToOpen:
            return "open file";
        case ScriptedDialogs::Kind::FileToSave:
            return "save file";
        case ScriptedDialogs::Kind::Folder:
            return "folder";
        case ScriptedDialogs::Kind::Dialog:
            return "dialog";
    }
    return "?";
}

}  // namespace

void ScriptedDialogs::expectMessage(const QString& text) {
    steps_.append({Kind::Message, text, {}, {}, {}});
}

void ScriptedDialogs::expectInformation(const QString& text) {
    steps_.append({Kind::Information, text, {}, {}, {}});
}

void ScriptedDialogs::expectQuestion(const QString& text, Answer answer) {
    steps_.append({Kind::Question, text, answer, {}, {}});
}

void ScriptedDialogs::expectQuestionDefaultNo(const QString& text, Answer answer) {
    steps_.append({Kind::QuestionDefaultNo, text, answer, {}, {}});
}

void ScriptedDialogs::expectInput(const QString& prompt, std::optional<QString> answer) {
    steps_.append({Kind::Input, prompt, {}, answer, {}});
}

void ScriptedDialogs::expectOpenFile(std::optional<QString> answer, const QString& filter) {
    steps_.append({Kind::FileToOpen, filter, {}, answer, {}});
}

void ScriptedDialogs::expectSaveFile(std::optional<QString> answer, const QString& filter) {
    steps_.append({Kind::FileToSave, filter, {}, answer, {}});
}

void ScriptedDialogs::expectFolder(std::optional<QString> answer) {
    steps_.append({Kind::Folder, {}, {}, answer, {}});
}

void ScriptedDialogs::expectDialog(const QString& windowTitle,
                                   std::function<int(QDialog&)> handler) {
    steps_.append({Kind::Dialog, windowTitle, {}, {}, std::move(handler)});
}

std::optional<ScriptedDialogs::Step> ScriptedDialogs::take(Kind kind, const QString& text) {
    log_ << QString::fromLatin1(kindName(kind)) + QStringLiteral(": ") + text;
    if (steps_.isEmpty()) {
        failures_
            << QStringLiteral("unexpected %1: %2").arg(QString::fromLatin1(kindName(kind)), text);
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

UserDialogs::Answer ScriptedDialogs::questionDefaultNo(const QString& text) {
    const auto step = take(Kind::QuestionDefaultNo, text);
    return step ? step->answer : Answer::No;
}

std::optional<QString> ScriptedDialogs::inputBox(const QString&, const QString& prompt,
                                                 const QString&) {
    const auto step = take(Kind::Input, prompt);
    return step ? step->value : std::nullopt;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
    lastRequest_ = request;
    const auto step = take(Kind::FileToOpen, request.filter);
    return step ? step->value : std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) {
    lastRequest_ = request;
    const auto step = take(Kind::FileToSave, request.filter);
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
    // Copies kept for recovery live in the state folder: each test its own.
    qputenv("XDG_STATE_HOME", (dir_.path() + QStringLiteral("/state")).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
}

QString IsolatedSettings::iniPath() const {
    return dir_.path() + QStringLiteral("/ZQW_VEZ/zqwcce.ini");
}

bool IsolatedSettings::writeIni(const QByteArray& content) const {
    QDir().mkpath(QFileInfo(iniPath()).absolutePath());
    return tryWriteBytes(iniPath(), content);
}

QString bundledTemplatePath() { return QStringLiteral(ZQW_SOURCE_DIR "/data/zqw.sel"); }

QString testDataPath(const QString& name) {
    return QStringLiteral(ZQW_SOURCE_DIR "/tests/gui/data/") + name;
}

void useProgramDir(const QString& path) {
    ProfileStore store;
    store.setValue(QStringLiteral("path"), path);
    store.sync();
}

QByteArray records(const QList<QByteArray>& lines) {
    QByteArray out;
    for (const QByteArray& line : lines) out += line + "\r\n";
    return out;
}

ProgramFolder::ProgramFolder(const QByteArray& templateBytes)
    : written_(tryWriteBytes(dir_.filePath(QStringLiteral("zqw.sel")), templateBytes)) {}

EditorSession::EditorSession(const QString& programDir) { useProgramDir(programDir); }

EditorApp& EditorSession::create() {
    app_ = std::make_unique<EditorApp>(dialogs_);
    // A first run shows the hints, which every test would have to answer;
    // the hints' own tests start editors without this session.
    app_->settings().setHintsAtStart(false);
    return *app_;
}

EditorApp& EditorSession::start() {
    EditorApp& app = create();
    if (app.isReady()) showActive(app);
    return app;
}

void EditorSession::verifyDialogs() const {
    QVERIFY2(dialogs_.failures().isEmpty(),
             qPrintable(dialogs_.failures().join(QLatin1Char('\n'))));
    QCOMPARE(dialogs_.pending(), 0);
}

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
}

void showActive(EditorApp& app) { showActive(app.mainWindow()); }

QMenu* menuNamed(EditorApp& app, const QString& objectName) {
    return app.mainWindow().findChild<QMenu*>(objectName);
}

QString cellText(EditorApp& app, int grid, int row, int column) {
    return app.sectionView().grid(grid).gridModel().index(row - 1, column).data().toString();
}

QLineEdit* editCell(EditorApp& app, int grid, int row, int column) {
    CardGrid& view = app.sectionView().grid(grid);
    view.setActiveCell(row, column);
    view.startEditing(true);
    return view.editor();
}

void typeIntoCell(EditorApp& app, int grid, const QString& text) {
    QLineEdit* editor = app.sectionView().grid(grid).editor();
    QVERIFY(editor);
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, text);
}

void chooseMenuItem(EditorApp& app, const char* item) {
    QAction* action = app.action(QString::fromLatin1(item));
    QVERIFY2(action, item);
    QMenu* menu = nullptr;
    for (QObject* owner : action->associatedObjects()) {
        if (auto* found = qobject_cast<QMenu*>(owner)) menu = found;
    }
    QVERIFY(menu);
    emit menu->aboutToShow();
    if (MenuActions::itemEnabled(action)) action->trigger();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    return file.readAll();
}

bool tryWriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeCardFile(const QString& path, const QString& firstAnswer, const QString& notesPath,
                   const QString& notesText) {
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    QVERIFY(card.parseTemplateFile(ZQW_PROGRAM_DIR "/zqw.sel"));
    card.resetToBlankCard();
    const zqw::RowRef first = card.findGridRow(0, 1, 1);
    QVERIFY(first);
    card.setField(first, 1, 2, firstAnswer.toStdString());
    card.notesFileName = notesPath.toStdString();
    card.notesOpen = !notesPath.isEmpty();
    notes.setText(notesText.toStdString());
    card.cardFileName = path.toStdString();
    QVERIFY(card.writeCardFile());
    QVERIFY(messages.messages.empty());
}

void writeArchive(const QString& path, const QList<QPair<QByteArray, QByteArray>>& entries,
                  const QList<QByteArray>& links) {
    int code = 0;
    zip_t* archive = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    QVERIFY(archive);
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.constData(),
                                                 static_cast<zip_uint64_t>(content.size()), 0);
        QVERIFY(source);
        const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_RAW);
        QVERIFY2(index >= 0, zip_strerror(archive));
        if (links.contains(name)) {
            const zip_uint32_t mode = (S_IFLNK | 0777) << 16;
            QCOMPARE(zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0,
                                                      ZIP_OPSYS_UNIX, mode),
                     0);
        }
    }
    QVERIFY2(zip_close(archive) == 0, zip_strerror(archive));
}
