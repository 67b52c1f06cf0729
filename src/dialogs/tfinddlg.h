#pragma once

#include <QDialog>

// The Find dialog of the notes editor.
class TFindDlg : public QDialog {
    Q_OBJECT

public:
    explicit TFindDlg(QWidget* parent = nullptr) : QDialog(parent) { setWindowTitle(QStringLiteral("Find")); }
};
