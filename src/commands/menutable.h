#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One menu of the menu bar: its items by name ("-" is a separator).
struct MenuLayout {
    QString objectName;
    QString caption;
    QStringList items;
};

// The editor's menus from left to right. Each item is named after the
// command it runs; the controller that owns the command made the item, and
// decides what it shows when its menu opens (MenuActions::prepareItems).
QList<MenuLayout> editorMenus();
