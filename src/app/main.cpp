#include <QApplication>

#include "app/editorapp.h"
#include "dialogs/userdialogs.h"
#include "mainwindow/mainwindow.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZQW VEZ"));
    QtUserDialogs dialogs;
    EditorApp editor(dialogs);
    dialogs.setParent(&editor.mainWindow());
    editor.mainWindow().show();
    const int status = QApplication::exec();
    dialogs.setParent(nullptr);
    return status;
}
