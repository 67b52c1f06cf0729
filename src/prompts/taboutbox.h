#pragma once

#include <QDialog>

// The About box.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("About"));
    }
};
