#pragma once

#include <QDialog>

// "About": the product, the release it was built from, who authorised it,
// the rights notice and the free fonts and libraries it is built on.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The version and release date of this build.
    static QString version();
    static QString releaseDate();

protected:
    void showEvent(QShowEvent* event) override;
};
