#include "inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

IniFile::IniFile(const QString& path) : path_(path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QTextStream in(&file);
    sections_.append(Section{});
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            sections_.append(Section{trimmed.mid(1, trimmed.size() - 2).trimmed(), trimmed, {}});
            continue;
        }
        Line line{raw, {}, {}};
        const int equals = raw.indexOf(QLatin1Char('='));
        if (equals > 0 && !trimmed.startsWith(QLatin1Char(';'))) {
            line.key = raw.left(equals).trimmed();
            line.value = raw.mid(equals + 1).trimmed();
        }
        sections_.last().lines.append(line);
    }
}

const IniFile::Line* IniFile::find(const QString& section, const QString& key) const {
    for (const Section& s : sections_) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0) continue;
        for (const Line& line : s.lines) {
            if (!line.key.isEmpty() && line.key.compare(key, Qt::CaseInsensitive) == 0)
                return &line;
        }
    }
    return nullptr;
}

IniFile::Section& IniFile::sectionFor(const QString& name) {
    for (Section& s : sections_) {
        if (!s.name.isEmpty() && s.name.compare(name, Qt::CaseInsensitive) == 0) return s;
    }
    sections_.append(Section{name, QLatin1Char('[') + name + QLatin1Char(']'), {}});
    return sections_.last();
}

bool IniFile::contains(const QString& key, const QString& section) const {
    return find(section, key) != nullptr;
}

QString IniFile::readString(const QString& key, const QString& fallback,
                            const QString& section) const {
    const Line* line = find(section, key);
    return line ? line->value : fallback;
}

int IniFile::readInt(const QString& key, int fallback, const QString& section) const {
    const Line* line = find(section, key);
    if (!line) return fallback;
    bool ok = false;
    const int value = line->value.toInt(&ok);
    return ok ? value : fallback;
}

bool IniFile::readBool(const QString& key, bool fallback, const QString& section) const {
    return readInt(key, fallback ? 1 : 0, section) != 0;
}

void IniFile::writeString(const QString& key, const QString& value, const QString& section) {
    Section& s = sectionFor(section);
    bool written = false;
    for (auto it = s.lines.begin(); it != s.lines.end();) {
        if (!it->key.isEmpty() && it->key.compare(key, Qt::CaseInsensitive) == 0) {
            if (written) {
                it = s.lines.erase(it);  // a duplicate in another spelling
                continue;
            }
            *it = Line{key + QLatin1Char('=') + value, key, value};
            written = true;
        }
        ++it;
    }
    if (!written) {
        // After the last entry, ahead of trailing blank lines.
        qsizetype at = s.lines.size();
        while (at > 0 && s.lines[at - 1].key.isEmpty() && s.lines[at - 1].raw.trimmed().isEmpty())
            --at;
        s.lines.insert(at, Line{key + QLatin1Char('=') + value, key, value});
    }
}

void IniFile::writeInt(const QString& key, int value, const QString& section) {
    writeString(key, QString::number(value), section);
}

void IniFile::writeBool(const QString& key, bool value, const QString& section) {
    writeString(key, value ? QStringLiteral("1") : QStringLiteral("0"), section);
}

QString IniFile::text() const {
    QString out;
    for (const Section& s : sections_) {
        if (!s.header.isEmpty()) out += s.header + QLatin1Char('\n');
        for (const Line& line : s.lines) out += line.raw + QLatin1Char('\n');
    }
    return out;
}

bool IniFile::save() const {
    if (path_.isEmpty()) return false;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    file.write(text().toUtf8());
    return file.commit();
}

QString userSettingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/ZQW_VEZ/zqwcce.ini");
}
