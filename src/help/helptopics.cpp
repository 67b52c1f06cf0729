#include "help/helptopics.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {

// The map lists a few hundred topics at most; anything far larger is not a
// map, and is not read whole into memory.
constexpr qint64 kMapSizeLimit = 1024 * 1024;

bool isPageName(const QString& page) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_.-]+\\.html$"));
    return name.match(page).hasMatch() && !page.startsWith(QLatin1Char('.'));
}

}  // namespace

HelpTopics HelpTopics::parse(QByteArrayView bytes) {
    HelpTopics map;
    const QString text = QString::fromUtf8(bytes);
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 3) continue;
        bool isNumber = false;
        const int context = fields[0].toInt(&isNumber);
        const QString title = fields[2].trimmed();
        if (!isNumber || context <= 0 || !isPageName(fields[1]) || title.isEmpty()) continue;
        if (map.find(context)) continue;
        map.topics_.append({context, fields[1], title});
    }
    return map;
}

HelpTopics HelpTopics::load(const QString& folder) {
    QFile file(folder + QStringLiteral("/topics.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return parse(file.read(kMapSizeLimit));
}

std::optional<HelpTopic> HelpTopics::find(int context) const {
    for (const HelpTopic& topic : topics_) {
        if (topic.context == context) return topic;
    }
    return std::nullopt;
}

std::optional<HelpTopic> HelpTopics::findPage(const QString& page) const {
    for (const HelpTopic& topic : topics_) {
        if (topic.page == page) return topic;
    }
    return std::nullopt;
}
