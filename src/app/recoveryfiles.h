#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <string>

// Copies of a card and its notes with unsaved changes, kept so that nothing
// typed is lost when the editor or the machine stops. A copy is written a
// few seconds after the last change, off the editor's thread, in the user's
// state folder ($XDG_STATE_HOME/zqwcce/, else ~/.local/state/zqwcce/), as a
// card file and a notes file beside a small note of the files they stand
// for. Each running editor keeps one copy; a save, a "No" to a save question
// or a normal end removes it.
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
    };
    // The bytes of a copy: taken on the editor's thread, written on another.
    using Snapshot = std::function<std::pair<std::string, std::string>()>;

    explicit RecoveryFiles(Snapshot snapshot, QObject* parent = nullptr);
    ~RecoveryFiles() override;

    static QString folder();
    // Copies other editors left behind that are newer than the card they
    // stand for (a copy of a card saved since is of no use), oldest first.
    static QList<Copy> leftBehind();
    static void remove(const Copy& copy);

    // Something changed: a copy is written when the changes pause.
    void changed(const QString& cardFile, const QString& notesFile);
    // The card and notes were saved, or their changes given up: no copy.
    void discard();

private:
    void write();

    Snapshot snapshot_;
    QTimer timer_;
    // One writer, so a newer copy never lands before an older one.
    QThreadPool writer_;
    Copy own_;
    bool written_ = false;
};
