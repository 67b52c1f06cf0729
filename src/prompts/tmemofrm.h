#pragma once

#include <QDialog>

// The column edit window.
class TMemoFrm : public QDialog {
    Q_OBJECT

public:
    explicit TMemoFrm(QWidget* parent = nullptr) : QDialog(parent) { setWindowTitle(QStringLiteral("Edit column")); }
};
