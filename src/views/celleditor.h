#pragma once

#include <QLineEdit>
#include <QSet>

#include "dialogs/suittext.h"

class CardTextValidator;

// The most characters a cell holds.
inline constexpr int kCellLength = 255;

// The in-place editor of a grid's active cell. Its suits are coloured as
// the cells around it are.
class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent);

    void setSuitText(const SuitText& suits);

signals:
    void focused();
    // A key pressed in this editor was released (auto-repeat aside).
    void keyReleased(int key);
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);
    void mouseMoved();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void refreshSuits();
    void colourSuits();

    QSet<int> keysPressedHere_;
    SuitText suits_;
    CardTextValidator* validator_ = nullptr;
    // An input method is composing text, and its own formats are showing.
    bool composing_ = false;
};
