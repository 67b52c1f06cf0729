#include "printlayout.h"

#include <cmath>

namespace zqw {

int RoundHalfEven(double value) {
    // By hand rather than std::nearbyint, whose result depends on the
    // floating-point rounding mode in force.
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5) {
        result = floor + 1;
    } else if (fraction == 0.5) {
        result = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
    }
    return static_cast<int>(result);
}

CardPageSetup::CardPageSetup() = default;

void CardPageSetup::SetPaperName(const std::string& name) {
    paperName_ = name;
    if (!lookup_) return;
    if (const std::optional<PaperSize> size = lookup_(name)) paper_ = *size;
}

void CardPageSetup::SetPrinterDpi(double dpi) {
    if (dpi > 0) printerDpi_ = dpi;
}

void CardPageSetup::SetScreenDpi(double dpi) {
    if (dpi > 0) screenDpi_ = dpi;
}

double CardPageSetup::unitsPerMm() const {
    switch (unit_) {
        case LengthUnit::Inches:
            return 1 / kMillimetresPerInch;
        case LengthUnit::Millimetres:
            return 1;
        case LengthUnit::PrinterPixels:
            return printerDpi_ / kMillimetresPerInch;
        case LengthUnit::ScreenPixels:
            return screenDpi_ / kMillimetresPerInch;
    }
    return 1;
}

double& CardPageSetup::widthMm() {
    return orientation_ == PageOrientation::Landscape ? paper_.HeightMm : paper_.WidthMm;
}

double& CardPageSetup::heightMm() {
    return orientation_ == PageOrientation::Landscape ? paper_.WidthMm : paper_.HeightMm;
}

double CardPageSetup::PaperWidth() const {
    return fromMm(orientation_ == PageOrientation::Landscape ? paper_.HeightMm : paper_.WidthMm);
}

double CardPageSetup::PaperHeight() const {
    return fromMm(orientation_ == PageOrientation::Landscape ? paper_.WidthMm : paper_.HeightMm);
}

void CardPageSetup::SetPaperWidth(double value) { widthMm() = toMm(value); }

void CardPageSetup::SetPaperHeight(double value) { heightMm() = toMm(value); }

int CardPageSetup::PrintableWidth() const {
    return RoundHalfEven(PaperWidth() - LeftMargin() - RightMargin() - 2);
}

int CardPageSetup::SectionPrintWidth(const AForm& section, int LayoutColumns) const {
    const int printable = PrintableWidth();
    if (section.ColumnCount > 4 || LayoutColumns <= 0) return printable;
    return printable / LayoutColumns;
}

int CardPageSetup::PrintColumnWidth(const Card& card, int LayoutColumns) {
    unit_ = LengthUnit::ScreenPixels;
    const bool known =
        card.CurSection >= 0 && card.CurSection < static_cast<int>(card.Sections.size());
    const int width =
        SectionPrintWidth(known ? card.Sections[card.CurSection] : AForm{}, LayoutColumns);
    unit_ = LengthUnit::PrinterPixels;
    return width;
}

}  // namespace zqw
