#pragma once

#include <QList>
#include <QString>

// The settings file zqwcce.ini. Keys are found without regard to case and
// are written with the spelling the caller gives, replacing an entry spelt
// otherwise, so a key never appears twice. Entries, sections and comments
// the program does not know are kept as they are. Booleans are 1 and 0.
class IniFile {
public:
    static constexpr const char* kSetup = "setup";

    IniFile() = default;
    // Reads the file when it exists; a missing file is an empty one.
    explicit IniFile(const QString& path);

    const QString& path() const { return path_; }

    bool contains(const QString& key, const QString& section = QLatin1String(kSetup)) const;
    QString readString(const QString& key, const QString& fallback,
                       const QString& section = QLatin1String(kSetup)) const;
    // Values that are not whole numbers read as the fallback.
    int readInt(const QString& key, int fallback,
                const QString& section = QLatin1String(kSetup)) const;
    bool readBool(const QString& key, bool fallback,
                  const QString& section = QLatin1String(kSetup)) const;

    void writeString(const QString& key, const QString& value,
                     const QString& section = QLatin1String(kSetup));
    void writeInt(const QString& key, int value, const QString& section = QLatin1String(kSetup));
    void writeBool(const QString& key, bool value, const QString& section = QLatin1String(kSetup));

    // Writes the file atomically; false when it could not be written.
    bool save() const;
    QString text() const;

private:
    struct Line {
        QString raw;  // the line as read, for comments and blank lines
        QString key;  // empty for lines that hold no entry
        QString value;
    };
    struct Section {
        QString name;
        QString header;  // as read, e.g. "[Setup]"
        QList<Line> lines;
    };

    const Line* find(const QString& section, const QString& key) const;
    Section& sectionFor(const QString& name);

    QString path_;
    QList<Section> sections_;  // the first may be nameless: lines before any header
};

// Where the editor keeps zqwcce.ini: the program folder is read-only on
// Linux, so the file lives in the user's configuration folder
// ($XDG_CONFIG_HOME/ZQW_VEZ/zqwcce.ini).
QString userSettingsFilePath();
