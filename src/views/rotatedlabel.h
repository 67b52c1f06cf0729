#pragma once

#include <QWidget>

// A caption drawn turned by -90 degrees, read from top to bottom, along the
// right edge of the window.
class RotatedLabel : public QWidget {
    Q_OBJECT

public:
    explicit RotatedLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
