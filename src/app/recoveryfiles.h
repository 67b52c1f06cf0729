#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Copies of a card and its notes with unsaved changes, kept so that nothing
// typed is lost when the editor or the machine stops. A copy is written a
// few seconds after the last change, off the editor's thread, in the user's
// state folder ($XDG_STATE_HOME/zqwcce/, else ~/.local/state/zqwcce/), as a
// card file and a notes file beside a small note of the files they stand
// for, all readable by the user alone. Each running editor keeps one copy; a
// save, a "No" to a save question or a normal end removes it.
//
// A copy belongs to the editor that wrote it: that editor holds a lock
// beside it while it runs, and a copy is offered to another editor only once
// that lock has been given up or its process is gone. Several editors of one
// user run side by side without touching each other's copies.
class RecoveryFiles : public QObject {
    Q_OBJECT

public:
    // What a copy stands for: the card's and the notes' files, as named
    // when the copy was written ("UnNamed file" for a card never saved).
    struct Copy {
        QString cardCopy;
        QString notesCopy;
        QString cardFile;
        QString notesFile;
        // What the editor knew of those files (CardDocument::knownState).
        QByteArray cardState;
        QByteArray notesState;
        // The lock of the editor that wrote the copy, taken over from it:
        // held while the copy is offered, so no other editor offers it too.
        std::shared_ptr<QLockFile> claim;
    };
    // The bytes of a copy: taken on the editor's thread, written on another.
    using Snapshot = std::function<std::pair<std::string, std::string>()>;

    explicit RecoveryFiles(Snapshot snapshot, QObject* parent = nullptr);
    ~RecoveryFiles() override;

    static QString folder();
    // Copies left behind by editors that are gone, newer than the card they
    // stand for (a copy of a card saved since is of no use), oldest first.
    // Copies of editors still running are not among them.
    static QList<Copy> leftBehind();
    // Removes a copy left behind, and the lock of the editor that wrote it.
    static void remove(const Copy& copy);

    // The note beside a copy, as written and read: the card's and the notes'
    // file names (any characters in them) and their states.
    static QByteArray noteBytes(const Copy& copy);
    // The names and states of a note; nullopt when the bytes are no note of
    // ours.
    static std::optional<Copy> parseNote(const QByteArray& bytes);

    // Something changed: a copy is written when the changes pause.
    void changed(const QString& cardFile, const QString& notesFile, const QByteArray& cardState,
                 const QByteArray& notesState);
    // The card and notes were saved, or their changes given up: no copy.
    void discard();

private:
    // Takes this editor's lock on its copies, once; false when it cannot.
    bool holdOwnership();
    void write();

    Snapshot snapshot_;
    QTimer timer_;
    // One writer, so a newer copy never lands before an older one.
    QThreadPool writer_;
    // Held from the first change to the end: this editor's copies are its
    // own.
    std::unique_ptr<QLockFile> ownership_;
    bool ownershipTried_ = false;
    Copy own_;
    bool written_ = false;
};
