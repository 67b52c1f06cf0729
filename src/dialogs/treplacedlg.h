#pragma once

#include <QDialog>

// The Replace dialog of the notes editor.
class TReplaceDlg : public QDialog {
    Q_OBJECT

public:
    explicit TReplaceDlg(QWidget* parent = nullptr) : QDialog(parent) { setWindowTitle(QStringLiteral("Replace")); }
};
