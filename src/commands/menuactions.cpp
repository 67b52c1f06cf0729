#include "commands/menuactions.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

MenuActions::MenuActions(QWidget& window) : window_(window) { qApp->installEventFilter(this); }

MenuActions::~MenuActions() { qApp->removeEventFilter(this); }

QAction* MenuActions::add(QObject& owner, const QString& objectName, const QString& caption,
                          const QKeySequence& key, std::function<void()> update,
                          std::function<void()> run) {
    auto* action = new QAction(&owner);
    action->setObjectName(objectName);
    action->setText(key.isEmpty()
                        ? caption
                        : caption + QLatin1Char('\t') + key.toString(QKeySequence::NativeText));
    if (run) connect(action, &QAction::triggered, &owner, [run] { run(); });
    if (!key.isEmpty()) {
        auto* shortcut = new QShortcut(key, &window_);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, &owner, [action, update, run] {
            if (update) update();
            if (itemEnabled(action) && run) run();
        });
        shortcuts_.append(shortcut);
    }
    if (update) updates_.insert(action, update);
    actions_.append(action);
    return action;
}

QAction* MenuActions::addUnavailable(QObject& owner, const QString& objectName,
                                     const QString& caption, const QKeySequence& key) {
    QAction* action = add(owner, objectName, caption, key, {}, {});
    setItemEnabled(action, false);
    return action;
}

QAction* MenuActions::find(const QString& objectName) const {
    for (QAction* action : actions_) {
        if (action->objectName() == objectName) return action;
    }
    return nullptr;
}

void MenuActions::prepareItems(const QStringList& objectNames) const {
    QList<const QObject*> prepared;
    for (const QString& name : objectNames) {
        const QAction* action = find(name);
        if (!action) continue;
        const auto update = updates_.constFind(action);
        if (update == updates_.cend() || prepared.contains(action->parent())) continue;
        prepared.append(action->parent());
        (*update)();
    }
}

void MenuActions::setItemEnabled(QAction* item, bool enabled) {
    item->setProperty("itemEnabled", enabled);
    item->setEnabled(enabled);
}

bool MenuActions::itemEnabled(const QAction* item) {
    const QVariant chosen = item->property("itemEnabled");
    return chosen.isValid() ? chosen.toBool() : true;
}

bool MenuActions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window_.window()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (QShortcut* shortcut : shortcuts_) {
                if (shortcut->key() == pressed) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
