#pragma once

#include <QList>
#include <QPageSize>
#include <QStringList>

#include "card/card.h"
#include "card/printlayout.h"

class IniFile;

// How suit symbols are printed; the numbers are the stored "BitMap" values.
enum class SuitPrintMode { BitMaps = 0, Letters = 1, Fonts = 2 };

// The printed card's layout: paper, orientation, margins, layout columns,
// how suits print and when printed notes start a new page. It lives from
// start-up to shutdown, whether or not the layout window is ever opened; the
// window only edits it.
class PrintLayoutSettings {
public:
    // Design values of the margin fields, in the unit the user reads them.
    static constexpr double kDefaultMargin = 0.25;
    static constexpr double kLargestMargin = 100;

    // A4 landscape, three layout columns, inches, margins 0.25, suits in the
    // card font, opening bids on all lines, a new page for the brown
    // sticker. Paper names are looked up among every size Qt knows, so no
    // printer is asked for at start-up.
    PrintLayoutSettings();
    // The page setup's paper lookup refers to this object.
    PrintLayoutSettings(const PrintLayoutSettings&) = delete;
    PrintLayoutSettings& operator=(const PrintLayoutSettings&) = delete;

    // Reads the layout keys of the settings file (and the last paper and
    // bin the print windows used). Returns the messages for the user: a
    // stored margin that cannot be shown makes it and the later ones take
    // their design values.
    QStringList read(const IniFile& settings);
    // Writes the layout keys; margins in the user's unit times 100.
    void write(IniFile& settings);

    zqw::CardPageSetup& pageSetup() { return pageSetup_; }
    const zqw::CardPageSetup& pageSetup() const { return pageSetup_; }

    // Inches or millimetres: the unit the user sees margins in.
    zqw::LengthUnit measureUnit() const { return measureUnit_; }
    void setMeasureUnit(zqw::LengthUnit unit) { measureUnit_ = unit; }
    // 1, 2 or 3 layout columns on the first printed page.
    int layoutColumns() const { return layoutColumns_; }
    void setLayoutColumns(int columns);
    // -1 when the stored value named no mode; printing then uses letters.
    int suitModeIndex() const { return suitMode_; }
    SuitPrintMode suitMode() const;
    void setSuitModeIndex(int index) { suitMode_ = index; }
    bool openBidsOnAllLines() const { return openBids_; }
    void setOpenBidsOnAllLines(bool on) { openBids_ = on; }
    bool newPageForEachNote() const { return newNote_; }
    void setNewPageForEachNote(bool on) { newNote_ = on; }
    bool newPageForBrownSticker() const { return brownSticker_; }
    void setNewPageForBrownSticker(bool on) { brownSticker_ = on; }

    // The print width of a section in screen pixels at the given screen
    // resolution, which the grids are sized by. Leaves the page setup in
    // printer pixels.
    int printColumnWidth(const zqw::Card& card, int section, double screenDpi);

    // Paper sizes the lookup knows when no printer list is given.
    static QList<QPageSize> allPaperSizes();
    // Makes paper names resolve among these sizes (a printer's list).
    void setPaperSizes(const QList<QPageSize>& sizes);
    const QList<QPageSize>& paperSizes() const { return papers_; }
    // The offered paper a name means, capital and small letters alike:
    // its full name ("Letter / ANSI A"), either part of it ("Letter",
    // "ANSI A") or its short key; -1 when none does.
    int paperIndex(const QString& name) const;

    // Why the margins leave no room to print, in the user's unit; empty
    // when they leave enough.
    QString marginProblem() const;

private:
    zqw::CardPageSetup pageSetup_;
    QList<QPageSize> papers_;
    zqw::LengthUnit measureUnit_ = zqw::LengthUnit::Inches;
    int layoutColumns_ = 3;
    int suitMode_ = static_cast<int>(SuitPrintMode::Fonts);
    bool openBids_ = true;
    bool newNote_ = false;
    bool brownSticker_ = true;
};
