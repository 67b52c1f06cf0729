#include <QApplication>

#include "mainwindow/editorapp.h"
#include "platform/userdialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZQW VEZ"));
    QtUserDialogs dialogs;
    EditorApp editor(dialogs);
    dialogs.setParent(&editor.main);
    editor.main.show();
    return QApplication::exec();
}
