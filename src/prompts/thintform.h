#pragma once

#include <QDialog>

// The start-up hints window.
class THintForm : public QDialog {
    Q_OBJECT

public:
    explicit THintForm(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Hints for using the ZQW Convention card editor"));
    }
};
