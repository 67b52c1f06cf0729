#pragma once

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <functional>

class CardDocument;
class FileCommands;
class MenuActions;
class SectionView;

// One menu of the menu bar: its items by name ("-" is a separator) and what
// runs when it opens.
struct MenuLayout {
    QString objectName;
    QString caption;
    QStringList items;
    QList<std::function<void()>> onOpen;
};

// The editor's window: the card view in the middle, the menus above. It lays
// them out and passes the window's own events on; the commands do the rest.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(SectionView& view, CardDocument& document, FileCommands& fileCommands,
               const MenuActions& actions, const QList<MenuLayout>& menus);
    ~MainWindow() override;

signals:
    // The window's first showing is done and the card view has started.
    void firstShown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    SectionView& view_;
    FileCommands& fileCommands_;
    bool shown_ = false;
};
