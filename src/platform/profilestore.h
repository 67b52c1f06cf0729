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

private:
    mutable QSettings settings_;
};
