#pragma once

#include <QDialog>

// The custom prompts window.
class TCustProm : public QDialog {
    Q_OBJECT

public:
    explicit TCustProm(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Custom prompts"));
    }
};
