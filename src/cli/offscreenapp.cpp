#include "offscreenapp.h"

#include <QGuiApplication>
#include <iostream>

namespace zqw {

int runOffscreen(const std::function<int()>& work) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    int argc = 1;
    char name[] = "zqwcce-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return work();
}

}  // namespace zqw
