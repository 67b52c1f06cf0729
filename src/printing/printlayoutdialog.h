#pragma once

#include <QDialog>
#include <QList>
#include <QPageSize>
#include <array>

#include "card/printlayout.h"

class PrintLayoutSettings;
class UserDialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// Paper sizes offered for the card page: the default printer's when one is
// installed, otherwise every size Qt knows. Asking reaches the printing
// system, so it is done only when the layout window is built.
QList<QPageSize> printerPaperSizes();

// "Convention card print options and layout": edits the print layout
// settings. Paper, unit, orientation, columns, suit mode and the check
// boxes act at once; margins act on "Done" or "Reset".
class PrintLayoutDialog : public QDialog {
    Q_OBJECT

public:
    PrintLayoutDialog(PrintLayoutSettings& layout, UserDialogs& dialogs, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The controls' state when the window was last shown, for "Reset".
    struct Snapshot {
        int unit = 0;
        int orientation = 1;
        int columns = 2;
        int paper = -1;
        int suitMode = 2;
        bool newNote = false;
        bool openBids = true;
        bool brownSticker = true;
        std::array<double, 4> margins{};
    };

    void buildControls();
    // Puts the settings' state into the controls.
    void showSettings();
    // Refreshes the lists, margins and size labels from the page setup.
    void showPageSetup();
    void paperChanged();
    void unitChanged();
    void orientationChanged();
    void columnsChanged();
    void acceptLayout();
    void reset();
    // "Done" without closing the window.
    void applyControls();
    // Why the margins typed leave no room to print; empty when they leave
    // enough (or a field cannot be read).
    QString marginProblem() const;
    void showColumnWidth();
    zqw::LengthUnit selectedUnit() const;
    std::array<double, 4> pageMargins() const;

    PrintLayoutSettings& layout_;
    UserDialogs& dialogs_;
    Snapshot snapshot_;

    QComboBox* paper_ = nullptr;
    QComboBox* unit_ = nullptr;
    QComboBox* orientation_ = nullptr;
    QComboBox* columns_ = nullptr;
    QButtonGroup* suitMode_ = nullptr;
    QCheckBox* openBids_ = nullptr;
    std::array<QLineEdit*, 4> margins_{};
    QLabel* pageWidth_ = nullptr;
    QLabel* pageHeight_ = nullptr;
    QLabel* columnWidth_ = nullptr;
    QCheckBox* newNote_ = nullptr;
    QCheckBox* brownSticker_ = nullptr;
};
