#pragma once

#include <QMainWindow>

class CardDocument;
class FileCommands;
class MenuActions;
class SectionView;

// The editor's window: the card view in the middle, the menus (editorMenus)
// above. It lays them out and passes the window's own events on; the
// commands do the rest.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(SectionView& view, CardDocument& document, FileCommands& fileCommands,
               const MenuActions& actions);
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
