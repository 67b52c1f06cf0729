#include "mainwindow/menubarstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <optional>

namespace {

// An icon that asks the style for the real one the first time anything
// wants to know more than that it exists.
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap pixmap)
        : style_(style), pixmap_(pixmap) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override {
        auto* copy = new DeferredIconEngine(style_, pixmap_);
        copy->loaded_ = loaded_;
        return copy;
    }
    QString key() const override { return QStringLiteral("zqw-deferred"); }
    // An icon is null when it has nothing to show; this one will have.
    bool isNull() override { return false; }

private:
    const QIcon& icon() {
        if (!loaded_) loaded_ = style_ ? style_->standardIcon(pixmap_) : QIcon();
        return *loaded_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap pixmap_;
    std::optional<QIcon> loaded_;
};

}  // namespace

MenuBarStyle::MenuBarStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}

QIcon MenuBarStyle::standardIcon(StandardPixmap pixmap, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (pixmap == SP_ToolBarHorizontalExtensionButton)
        return QIcon(new DeferredIconEngine(baseStyle(), pixmap));
    return QProxyStyle::standardIcon(pixmap, option, widget);
}

void MenuBarStyle::install() {
    if (qobject_cast<MenuBarStyle*>(QApplication::style())) return;
    QApplication::setStyle(new MenuBarStyle(QApplication::style()->name()));
}
