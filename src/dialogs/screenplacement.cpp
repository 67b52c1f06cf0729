#include "dialogs/screenplacement.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace {

// Before a window is first shown its frame is unknown: this much is left
// for a title bar and for the borders.
constexpr int kTitleBarAllowance = 32;
constexpr int kBorderAllowance = 4;

bool isPlacedWindow(const QWidget& widget) {
    if (!widget.isWindow()) return false;
    switch (widget.windowType()) {
        case Qt::Window:
        case Qt::Dialog:
        case Qt::Sheet:
        case Qt::Tool:
            return true;
        default:
            // Menus, tooltips and pop-ups place themselves.
            return false;
    }
}

}  // namespace

ScreenPlacement::ScreenPlacement() { qApp->installEventFilter(this); }

ScreenPlacement::~ScreenPlacement() { qApp->removeEventFilter(this); }

int ScreenPlacement::titleRoom(const QWidget& window) {
    QFont title = QApplication::font();
    title.setBold(true);
    const int bar = std::max(20, window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
    // A window manager's title font is often larger than the application's,
    // and it may add a button or two of its own (shade, all desktops).
    return QFontMetrics(title).horizontalAdvance(window.windowTitle()) * 5 / 4 + 6 * bar;
}

void ScreenPlacement::fitOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    int left = inner.left() - frame.left();
    int top = inner.top() - frame.top();
    int right = frame.right() - inner.right();
    int bottom = frame.bottom() - inner.bottom();
    if (frame == inner && !window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
        left = right = bottom = kBorderAllowance;
        top = kTitleBarAllowance;
    }
    // A dialog as wide as its title needs, where it may grow; a main
    // window's long caption is the window manager's to shorten.
    const bool dialog = window.windowType() == Qt::Dialog || window.windowType() == Qt::Sheet;
    int width = dialog
                    ? std::max(window.width(), std::min(titleRoom(window), window.maximumWidth()))
                    : window.width();
    int height = window.height();
    width = std::min(width, area.width() - left - right);
    height = std::min(height, area.height() - top - bottom);
    width = std::max(width, window.minimumWidth());
    height = std::max(height, window.minimumHeight());
    if (width != window.width() || height != window.height()) window.resize(width, height);
    const int frameWidth = width + left + right;
    const int frameHeight = height + top + bottom;
    frame = QRect(window.pos(), QSize(frameWidth, frameHeight));
    const int x =
        std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frameWidth));
    const int y =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frameHeight));
    if (QPoint(x, y) != window.pos()) window.move(x, y);
}

bool ScreenPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isPlacedWindow(*widget) && !widget->isMaximized() && !widget->isFullScreen())
            fitOnScreen(*widget);
    }
    return QObject::eventFilter(watched, event);
}
