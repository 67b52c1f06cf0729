#include "progress/workprogress.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>

namespace {

// Often enough for a smooth bar, rarely enough to cost nothing.
constexpr int kRefreshMs = 50;

}  // namespace

void runOffWindowThread(WorkProgress& progress, const QString& label,
                        const std::function<void(const ProgressReport&)>& work) {
    struct State {
        std::atomic<quint64> done{0};
        std::atomic<quint64> total{0};
        std::atomic<bool> cancel{false};
        std::atomic<bool> ended{false};
    };
    State state;
    const ProgressReport report = [&state](quint64 done, quint64 total) {
        state.done = done;
        state.total = total;
        return !state.cancel.load();
    };
    progress.started(label);
    std::unique_ptr<QThread> thread(QThread::create([&] {
        work(report);
        state.ended = true;
    }));

    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer refresh;
    refresh.setInterval(kRefreshMs);
    QObject::connect(&refresh, &QTimer::timeout, &loop, [&] {
        progress.advanced(state.done, state.total);
        if (progress.cancelRequested()) state.cancel = true;
    });
    refresh.start();
    thread->start();
    while (!state.ended || thread->isRunning()) {
        const QEventLoop::ProcessEventsFlags input =
            progress.takesInput() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        loop.processEvents(input | QEventLoop::WaitForMoreEvents);
    }
    thread->wait();
    refresh.stop();
    progress.advanced(state.done, state.total);
    progress.finished();
}
