#pragma once

#include <QDialog>
#include <QList>
#include <QPageSize>
#include <QStringList>
#include <array>

#include "card/card.h"
#include "card/printlayout.h"

class IniFile;
class UserDialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Paper sizes offered for the card page: the default printer's when one is
// installed, otherwise every size Qt knows. Names are unique.
QList<QPageSize> availablePaperSizes();

// "Convention card print options and layout": the paper, orientation,
// margins and layout columns of the printed card, how suit symbols print,
// and when printed notes start a new page. Created hidden at start-up; its
// settings are in force from construction, whether or not it is ever shown.
class TCardDef : public QDialog {
    Q_OBJECT

public:
    TCardDef(zqw::Card& card, IniFile& settings, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Writes the layout settings; the main window calls it at program end,
    // before it saves the settings file.
    void FormDestroy();

    zqw::CardPageSetup& CardPageSetup() { return pageSetup_; }
    const zqw::CardPageSetup& CardPageSetup() const { return pageSetup_; }
    // 1, 2 or 3 layout columns on the first printed page.
    int LayoutColumns() const { return layoutColumns_; }
    // 0 "Bit maps", 1 "Letters (SHDC)", 2 "Fonts".
    int rgBitMapIndex() const;
    bool openBidsOnAllLines() const;
    bool newNotePage() const;
    bool brownStickerPage() const;
    // Print width of the card's current section in screen pixels, which the
    // grids are sized by.
    int printColumnWidth(int section);

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
        int bitMap = 2;
        bool newNote = false;
        bool openBids = true;
        bool brownSticker = true;
        std::array<double, 4> margins{};
    };

    void buildControls();
    void FormCreate();
    void Setup();
    void FormActivate();
    void FormDeactivate();
    void PagesizeChange();
    void UnitMeasureChange();
    void PageOrientChange();
    void ColumnCountChange();
    void BitBtn1Click();
    void BitBtn2Click();
    // "Done" without closing the window.
    void applyControls();
    void showColumnWidth();
    void selectPaper(const QString& name);
    zqw::LengthUnit selectedUnit() const;
    std::array<QLineEdit*, 4> marginFields() const;
    std::array<double, 4> pageMargins() const;

    zqw::Card& card_;
    IniFile& settings_;
    UserDialogs& dialogs_;
    zqw::CardPageSetup pageSetup_;
    zqw::LengthUnit MeasureUnit = zqw::LengthUnit::Inches;
    int layoutColumns_ = 3;
    Snapshot LayoutSnapshot;
    QList<QPageSize> papers_;
    // Set while the program itself moves the lists, whose change handlers
    // answer only the user.
    bool loading_ = false;

    QComboBox* Pagesize = nullptr;
    QComboBox* UnitMeasure = nullptr;
    QComboBox* PageOrient = nullptr;
    QComboBox* ColumnCount = nullptr;
    QButtonGroup* rgBitMap = nullptr;
    QCheckBox* cbOpenBids = nullptr;
    QLineEdit* TopM = nullptr;
    QLineEdit* BottomM = nullptr;
    QLineEdit* LeftM = nullptr;
    QLineEdit* RightM = nullptr;
    QLabel* PWidth = nullptr;
    QLabel* PHeight = nullptr;
    QLabel* CWidth = nullptr;
    QCheckBox* cbNewNote = nullptr;
    QCheckBox* cbBrownSticker = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};
