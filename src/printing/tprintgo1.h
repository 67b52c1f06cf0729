#pragma once

#include <QDialog>

// The card print window.
class TPrintGo1 : public QDialog {
    Q_OBJECT

public:
    explicit TPrintGo1(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Print Convention Card"));
    }
};
