#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#include "app/editorapp.h"
#include "app/fontwarmup.h"
#include "dialogs/userdialogs.h"
#include "mainwindow/mainwindow.h"

namespace {

// The card or package a file manager names on the command line: the first
// argument that is not an option (Qt has already taken its own), made
// absolute so the card keeps its place whatever the working folder. Empty
// when none is named.
QString namedFile(const QStringList& arguments) {
    bool optionsEnded = false;
    for (const QString& argument : arguments.mid(1)) {
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            // Some file managers pass a file URL even for a local file.
            const QUrl url(argument);
            const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
            return QFileInfo(path).absoluteFilePath();
        }
    }
    return {};
}

}  // namespace

int main(int argc, char* argv[]) {
    startFontConfigLoading();
    QApplication app(argc, argv);
    // No display name: Qt would add it to every window title, and the
    // editor's caption is to read exactly as the program sets it.
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    QtUserDialogs dialogs;
    EditorApp editor(dialogs);
    if (!editor.isReady()) return 1;
    dialogs.setParent(&editor.mainWindow());
    if (const QString path = namedFile(QApplication::arguments()); !path.isEmpty())
        editor.openWhenShown(path);
    editor.mainWindow().show();
    const int status = QApplication::exec();
    dialogs.setParent(nullptr);
    return status;
}
