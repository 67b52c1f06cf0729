#pragma once

#include <QSettings>
#include <QString>

// The per-user settings store: strings kept under the application name
// "ZQW_VEZ", group "profile" (on Linux a file in the user's configuration
// folder, so tests isolate it with XDG_CONFIG_HOME). The file is created
// readable by its owner only.
class ProfileStore {
public:
    ProfileStore();

    QString value(const QString& name, const QString& fallback = QString()) const;
    void setValue(const QString& name, const QString& value);
    void sync();

    // Card and notes files out of the card's folder that this user linked
    // together: reading that card opens those notes without asking. Both
    // paths are compared as given, so callers give them with every symbolic
    // link and ".." resolved. The oldest pairs are forgotten beyond a few
    // hundred.
    bool isRememberedNotesLink(const QString& cardFile, const QString& notesFile) const;
    void rememberNotesLink(const QString& cardFile, const QString& notesFile);

private:
    mutable QSettings settings_;
};
