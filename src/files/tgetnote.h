#pragma once

#include <QDialog>

// The note number dialog; its field and spinner come with the note references.
class Tgetnote : public QDialog {
    Q_OBJECT

public:
    explicit Tgetnote(QWidget* parent = nullptr) : QDialog(parent) { setWindowTitle(QStringLiteral("Select note number")); }
};
