#pragma once

#include <QDialog>

// The right-button prompt list.
class Tprompts : public QDialog {
    Q_OBJECT

public:
    explicit Tprompts(QWidget* parent = nullptr) : QDialog(parent) { setWindowTitle(QStringLiteral("Select prompt")); }
};
