#pragma once

#include <QList>
#include <QObject>

struct CommandContext;
class QAction;

// The Top and Right menus: an item per group tab and per section tab, with
// Ctrl+F1..F10 and Shift+F1..F10. Items without a tab are hidden.
class NavigationCommands : public QObject {
    Q_OBJECT

public:
    explicit NavigationCommands(const CommandContext& context);

private:
    void showTabCounts(int groupTabs, int sectionTabs);

    QList<QAction*> groupItems_;
    QList<QAction*> sectionItems_;
};
