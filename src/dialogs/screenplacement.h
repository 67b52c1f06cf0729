#pragma once

#include <QObject>

class QString;
class QWidget;

// Keeps every window the application shows inside the available area of
// its screen (the screen less panels and docks), frame and title bar
// included, and each dialog wide enough for its title: a window sized for a
// larger screen, or placed by a window manager that cascades, would
// otherwise open partly off-screen, and a narrow dialog's title would be
// cut.
// While it lives it watches every window of the application.
class ScreenPlacement : public QObject {
    Q_OBJECT

public:
    ScreenPlacement();
    ~ScreenPlacement() override;

    // Shrinks the window to fit (never below its minimum size), widens a
    // dialog for its title, and moves the window inside the area.
    static void fitOnScreen(QWidget& window);
    // The least width a window needs for its title bar to show the title:
    // the title itself, with room for a larger font, an icon and buttons.
    static int titleRoom(const QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
