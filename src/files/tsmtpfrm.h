#pragma once

#include <QDialog>

// The e-mail window.
class TSMTPFrm : public QDialog {
    Q_OBJECT

public:
    explicit TSMTPFrm(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Email to KHF"));
    }
};
