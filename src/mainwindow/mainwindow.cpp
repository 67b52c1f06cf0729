#include "mainwindow/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "commands/filecommands.h"
#include "commands/menuactions.h"
#include "commands/menutable.h"
#include "document/carddocument.h"
#include "views/sectionview.h"

MainWindow::MainWindow(SectionView& view, CardDocument& document, FileCommands& fileCommands,
                       const MenuActions& actions)
    : view_(view), fileCommands_(fileCommands) {
    setObjectName(QStringLiteral("mainWindow"));
    setCentralWidget(&view_);
    for (const MenuLayout& layout : editorMenus()) {
        QMenu* menu = menuBar()->addMenu(layout.caption);
        menu->setObjectName(layout.objectName);
        for (const QString& item : layout.items) {
            if (item == QLatin1String("-")) {
                menu->addSeparator();
            } else if (QAction* action = actions.find(item)) {
                menu->addAction(action);
            } else {
                qWarning("menu item %s is missing", qPrintable(item));
            }
        }
        connect(menu, &QMenu::aboutToShow, this,
                [&actions, items = layout.items] { actions.prepareItems(items); });
    }
    setWindowTitle(document.caption());
    connect(&document, &CardDocument::captionChanged, this, &QMainWindow::setWindowTitle);
    connect(&view_, &SectionView::statusNote, this,
            [this](const QString& text) { statusBar()->showMessage(text, 10000); });
}

MainWindow::~MainWindow() {
    // The view belongs to the application, which frees it after the window.
    takeCentralWidget();
    view_.setParent(nullptr);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    view_.start();
    emit firstShown();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (fileCommands_.confirmClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}
