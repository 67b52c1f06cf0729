#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/card.h"

namespace zqw {

// The nearest integer, a half going to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Print widths and stored margins round this way.
int roundHalfEven(double value);

// Column widths are stored as shares (percent, two digits) of the width a
// section prints in; on screen that width is the grids' width too.
//
// The pixel widths of a section's grid columns (grid 1: one a column, the
// whole width for a single column; grid 2: label and text) at a print
// column width of printWidth pixels.
std::vector<int> gridColumnPixels(const Card& card, int section, int grid, int printWidth);

// The shares to store for columns dragged to these pixel widths, 3 to 99
// each, the last column given what is left when the row is too wide.
// Empty when the pixel widths do not match the grid or printWidth is none.
std::vector<int> gridColumnPercents(const Section& section, int grid,
                                    const std::vector<int>& pixels, int printWidth);

enum class LengthUnit { Inches, Millimetres, PrinterPixels, ScreenPixels };

enum class PageOrientation { Portrait, Landscape };

// Size of a paper held portrait, in millimetres.
struct PaperSize {
    double widthMm = 0;
    double heightMm = 0;
};

// The page setup of the card report: paper, bin, orientation, margins and
// the working unit in which lengths are read and written. Lengths are held
// in millimetres so that switching the unit never changes the page; only
// the numbers the caller sees change.
class CardPageSetup {
public:
    // With no printer there are no printer dots to count, yet every printed
    // length is given in printer pixels. 600 dots per inch, a common laser
    // resolution, keeps those lengths fine-grained; the print code sets the
    // real resolution when it has a printer.
    static constexpr double kDefaultPrinterDpi = 600;
    static constexpr double kDefaultScreenDpi = 96;
    static constexpr double kMillimetresPerInch = 25.4;

    // Maps a paper name to its size; nullopt for a name it does not know.
    using PaperLookup = std::function<std::optional<PaperSize>(std::string_view name)>;

    // A4 portrait, no margins, bin "Default", working unit printer pixels.
    CardPageSetup();

    void setPaperLookup(PaperLookup lookup) { lookup_ = std::move(lookup); }
    const std::string& paperName() const { return paperName_; }
    // A name the lookup knows brings its size; any other name (the empty
    // one too) is kept as the name and the previous size stays in use.
    void setPaperName(const std::string& name);

    const std::string& binName() const { return binName_; }
    void setBinName(const std::string& name) { binName_ = name; }

    PageOrientation orientation() const { return orientation_; }
    void setOrientation(PageOrientation orientation) { orientation_ = orientation; }

    LengthUnit unit() const { return unit_; }
    void setUnit(LengthUnit unit) { unit_ = unit; }
    double printerDpi() const { return printerDpi_; }
    void setPrinterDpi(double dpi);
    double screenDpi() const { return screenDpi_; }
    void setScreenDpi(double dpi);

    // Paper width and height as oriented (landscape swaps them), in the
    // working unit.
    double paperWidth() const;
    double paperHeight() const;
    void setPaperWidth(double value);
    void setPaperHeight(double value);

    // Margins in the working unit.
    double topMargin() const { return fromMm(topMm_); }
    double bottomMargin() const { return fromMm(bottomMm_); }
    double leftMargin() const { return fromMm(leftMm_); }
    double rightMargin() const { return fromMm(rightMm_); }
    void setTopMargin(double value) { topMm_ = toMm(value); }
    void setBottomMargin(double value) { bottomMm_ = toMm(value); }
    void setLeftMargin(double value) { leftMm_ = toMm(value); }
    void setRightMargin(double value) { rightMm_ = toMm(value); }

    // Paper width less both side margins and 2 units of slack, in the
    // working unit, rounded half to even.
    int printableWidth() const;

    // The least room, in millimetres, the margins must leave across and
    // down the paper: an inch holds a few words of a row and a few rows.
    static constexpr double kLeastPrintableMm = 25.4;
    // Why the margins leave no room to print, with the lengths in the
    // working unit; empty when they leave enough.
    std::string marginProblem() const;
    // The width a section prints in: the whole printable width for a wide
    // section (more than 4 columns), else one layout column's share of it.
    int sectionPrintWidth(const Section& section, int layoutColumns) const;
    // sectionPrintWidth of a section of the card in screen pixels; the
    // working unit is printer pixels afterwards. A section outside the
    // section list (no template) counts as a narrow section.
    int printColumnWidth(const Card& card, int section, int layoutColumns);

private:
    double unitsPerMm() const;
    double toMm(double value) const { return value / unitsPerMm(); }
    double fromMm(double mm) const { return mm * unitsPerMm(); }
    double& widthMm();
    double& heightMm();

    PaperLookup lookup_;
    std::string paperName_ = "A4";
    std::string binName_ = "Default";
    PageOrientation orientation_ = PageOrientation::Portrait;
    LengthUnit unit_ = LengthUnit::PrinterPixels;
    double printerDpi_ = kDefaultPrinterDpi;
    double screenDpi_ = kDefaultScreenDpi;
    PaperSize paper_{210, 297};
    double topMm_ = 0;
    double bottomMm_ = 0;
    double leftMm_ = 0;
    double rightMm_ = 0;
};

}  // namespace zqw
