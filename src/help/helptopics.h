#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// One page of the help: the context number the editor asks for, the page's
// file in the help folder and the title the contents list shows.
struct HelpTopic {
    int context = 0;
    QString page;
    QString title;
};

// The map from context numbers to help pages: the file topics.txt of the
// help folder, a line "CONTEXT<TAB>FILE<TAB>Title" per topic, '#' starting a
// comment line. Lines that do not fit (no number above 0, a page that is not
// a plain .html name in the folder, no title) are left out, as is a second
// topic for a number already mapped.
class HelpTopics {
public:
    HelpTopics() = default;

    // The topics of a map's bytes (UTF-8); for a folder, read with load().
    static HelpTopics parse(QByteArrayView bytes);
    // Reads folder/topics.txt; a missing or unreadable map gives no topics.
    static HelpTopics load(const QString& folder);

    const QList<HelpTopic>& topics() const { return topics_; }
    bool isEmpty() const { return topics_.isEmpty(); }
    std::optional<HelpTopic> find(int context) const;
    // The first topic shown by a page, for the title of the page on screen.
    std::optional<HelpTopic> findPage(const QString& page) const;

private:
    QList<HelpTopic> topics_;
};
