#pragma once

#include <QDialog>

// The notes print window.
class TfPrNote : public QDialog {
    Q_OBJECT

public:
    explicit TfPrNote(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Print notes file"));
    }
};
