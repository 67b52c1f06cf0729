#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// What the user sees of work that runs off the window's thread: how far it
// has come, and a way to stop it.
class WorkProgress {
public:
    virtual ~WorkProgress() = default;
    virtual void started(const QString& label) = 0;
    // total 0: not known.
    virtual void advanced(quint64 done, quint64 total) = 0;
    // The user asked to stop the work.
    virtual bool cancelRequested() const = 0;
    // The user can act on the progress display now (it is shown, and it
    // keeps other input from the windows behind it).
    virtual bool takesInput() const = 0;
    virtual void finished() = 0;
};

// Told how far the work has come; returns false when it is to stop.
using ProgressReport = std::function<bool(quint64 done, quint64 total)>;

// Runs work on a thread of its own and returns when it has ended, keeping
// this thread's events going meanwhile: windows repaint, and the progress
// display shows and answers. Input meant for other windows waits until the
// work ends, so no other command can start in between.
void runOffWindowThread(WorkProgress& progress, const QString& label,
                        const std::function<void(const ProgressReport&)>& work);
