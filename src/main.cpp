#include <QApplication>

#include "mainwindow/truvcce.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZQW VEZ"));
    TRUVCCE window;
    window.show();
    return QApplication::exec();
}
