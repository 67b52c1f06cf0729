#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <string_view>

// What this editor last read from or wrote to each card and notes file, so
// that a save can tell whether another program (another editor on the same
// card, say) changed the file since: a save over that would silently drop
// the other program's work.
class FileFingerprints {
public:
    // The file as it is on disk now is what this editor knows of it (taken
    // before the file is read: a change made while it is read then counts as
    // a change).
    void rememberFromDisk(const QString& path);
    // These are the bytes this editor wrote at path.
    void remember(const QString& path, std::string_view bytes);
    void forget(const QString& path);

    // What this editor knows of a file, in a form that can be kept with a
    // copy of unsaved work and given back when the copy is restored; empty
    // when it knows nothing of the file.
    QByteArray token(const QString& path) const;
    // Gives back what token() said; a token that says nothing forgets.
    void rememberToken(const QString& path, const QByteArray& token);

    // Whether the file holds other bytes than this editor read or wrote
    // there. A file this editor never read or wrote, one that is gone (a
    // save puts it back) or something other than a regular file (a save
    // refuses it) has nothing to lose.
    bool changedOnDisk(const QString& path) const;

private:
    struct Print {
        qint64 size = 0;
        QByteArray hash;
    };
    static QString keyOf(const QString& path);

    QHash<QString, Print> prints_;
};
