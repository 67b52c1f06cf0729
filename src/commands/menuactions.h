#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QShortcut;
class QWidget;

// The menu items of the editor window, made by the controllers that own
// them. (The controllers' dialogs are children of the card view, which
// outlives every controller, so each controller frees its own dialogs.) An item's shortcut lives on
// the window rather than on the item, so it still works while the item is hidden; like a click,
// which opens the item's menu first, a shortcut runs the owner's updateActions() and then the item
// only if that left it enabled. Menu shortcuts also win over the keys a focused editor would take
// for itself (Ctrl+A, Ctrl+Z ...).
class MenuActions : public QObject {
    Q_OBJECT

public:
    explicit MenuActions(QWidget& window);
    ~MenuActions() override;

    // A new item named objectName (the command's slot name). update may be
    // empty for items whose menu has nothing to decide first.
    QAction* add(QObject& owner, const QString& objectName, const QString& caption,
                 const QKeySequence& key, std::function<void()> update, std::function<void()> run);
    // An item whose window or command is not built yet: shown, disabled,
    // and its shortcut does nothing.
    QAction* addUnavailable(QObject& owner, const QString& objectName, const QString& caption,
                            const QKeySequence& key = {});
    QAction* find(const QString& objectName) const;
    // Before a menu of these items shows: each controller that owns some of
    // them runs its updateActions() once, in the order of its first item.
    void prepareItems(const QStringList& objectNames) const;

    // Qt disables a hidden item, yet a hidden item's shortcut must still
    // work when its updateActions() left it enabled; that choice is kept
    // beside Qt's own state.
    static void setItemEnabled(QAction* item, bool enabled);
    static bool itemEnabled(const QAction* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QList<QAction*> actions_;
    QList<QShortcut*> shortcuts_;
    // Each item's owner's updateActions(), for items that have one.
    QHash<const QAction*, std::function<void()>> updates_;
};
