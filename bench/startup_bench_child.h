#pragma once

// What both sides of startup_bench do as its children: report the moment of
// the first paint to the parent. Header only, so the empty window's program
// links nothing but Qt.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace startup_bench {

// The window both sides show, and where.
constexpr int kLeft = 20;
constexpr int kTop = 20;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A child reports the moment of its first paint on this descriptor.
constexpr int kReportFd = 3;
constexpr const char* kStartVariable = "ZQW_STARTUP_BENCH_START_NS";

inline long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Ends the event loop once the window has painted for the first time and
// the events queued until then have run.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [] {
                reportPainted();
                QApplication::quit();
            });
        }
        return false;
    }

private:
    // The time since the parent started this process, in nanoseconds, when
    // the parent asked for it; otherwise on standard output.
    static void reportPainted() {
        const char* start = std::getenv(kStartVariable);
        if (!start) {
            std::printf("first paint done\n");
            return;
        }
        const std::string line = std::to_string(monotonicNs() - std::atoll(start)) + "\n";
        if (write(kReportFd, line.data(), line.size()) < 0) std::perror("startup_bench: report");
    }

    bool seen_ = false;
};

// The baseline: an empty QMainWindow of the editor's size, run to its first
// paint (in whichever program calls it).
// With `menuTitles`, the window shows a menu bar of the editor's menu
// titles and nothing else: the least text a window can draw, so that the
// font system's share of the editor's start stands apart.
inline int runEmptyWindow(int argc, char** argv, bool menuTitles = false) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setGeometry(kLeft, kTop, kWidth, kHeight);
    if (menuTitles) {
        for (const char* title :
             {"&File", "&Notes", "&Top", "&Right", "&Edit", "&Options", "&Help"})
            window.menuBar()->addMenu(QString::fromLatin1(title));
    }
    FirstPaint painted(window);
    window.show();
    return QApplication::exec();
}

}  // namespace startup_bench
