#pragma once

#include <QProxyStyle>

// The application's style, with one difference: the arrow a menu bar shows
// when its menus do not fit is loaded the first time it is drawn. A menu bar
// asks for that icon as it is built, and the style loads it as an image
// file, which makes Qt load every image format plugin it has (JPEG, GIF and
// the rest, with their libraries) before the window's first paint: about a
// millisecond and half a megabyte at every start, for an arrow the editor's
// menu bar shows only in a window too narrow for its seven menus.
class MenuBarStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Wraps the style of that name (the one the application chose).
    explicit MenuBarStyle(const QString& baseStyleName);

    QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option,
                       const QWidget* widget) const override;

    // Makes the application's style a MenuBarStyle over the style it has,
    // unless it already is one. Call before the first menu bar is built.
    static void install();
};
