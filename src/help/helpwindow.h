#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

#include "help/helptopics.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class HelpBrowser;
class QToolButton;
class QUrl;

// The editor's help: the pages of a help folder shown in a browser with
// back and forward, a contents list of every topic and a search box that
// narrows the list to the topics holding the words typed. It opens a topic
// by its context number, the number the card template gives each cell.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The folder of the pages and their map; read again when it changes.
    void setHelpFolder(const QString& folder);
    QString helpFolder() const { return folder_; }
    const HelpTopics& topics() const { return topics_; }

    // Shows the topic's page and brings the window up. When the help has
    // no such topic, or its page is missing, the window says so and the
    // result is false.
    bool showTopic(int context);
    // The topic of the page on show; nullopt for a page no topic names, or
    // when no page shows.
    std::optional<HelpTopic> currentTopic() const;

    // Narrows the contents to the topics whose title or page holds every
    // word of text (ignoring case); an empty text lists every topic.
    void search(const QString& text);

    QTextBrowser& browser();
    QListWidget& contents() { return *contents_; }
    QLineEdit& searchBox() { return *searchBox_; }
    QToolButton& backButton() { return *backButton_; }
    QToolButton& forwardButton() { return *forwardButton_; }

private:
    void followLink(const QUrl& link);
    // The browser tells of a new page before it answers source() with it.
    void pageChanged(const QUrl& page);
    std::optional<HelpTopic> topicOf(const QUrl& page) const;
    void fillContents(const QStringList& words);
    void openFirstMatch();
    void showProblem(const QString& text);
    // The page's words, for the search; read once per page.
    const QString& pageText(const QString& page);

    QString folder_;
    HelpTopics topics_;
    QHash<QString, QString> pageTexts_;
    HelpBrowser* browser_ = nullptr;
    QListWidget* contents_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QToolButton* backButton_ = nullptr;
    QToolButton* forwardButton_ = nullptr;
};
