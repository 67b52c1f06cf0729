#include "card/printlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zqw {

int roundHalfEven(double value) {
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

std::vector<int> gridColumnPixels(const Card& card, int section, int grid, int printWidth) {
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return {};
    const Section& s = card.sections[static_cast<size_t>(section)];
    const auto share = [printWidth](int percent) {
        return roundHalfEven(printWidth * percent / 100.0);
    };
    if (grid == 2) return {share(s.labelWidth2), share(s.textWidth2)};
    if (s.columnCount == 1) return {printWidth};
    std::vector<int> pixels;
    for (int c = 0; c < s.columnCount; ++c)
        pixels.push_back(share(card.columns[static_cast<size_t>(s.firstColumn + c)].width));
    return pixels;
}

std::vector<int> gridColumnPercents(const Section& section, int grid,
                                    const std::vector<int>& pixels, int printWidth) {
    const double W = printWidth;
    if (W <= 0) return {};
    const auto percent = [W](double px) { return roundHalfEven(px * 100.0 / W); };
    // Two digits are stored; 3 is the least the rules aim at.
    const auto bounded = [](int pct) { return std::clamp(pct, 3, 99); };
    std::vector<int> percents;
    if (grid == 1) {
        if (section.columnCount < 2 || static_cast<int>(pixels.size()) < section.columnCount)
            return {};
        int running = 0;
        for (int i = 0; i < section.columnCount; ++i) {
            const int px = pixels[static_cast<size_t>(i)];
            running += px;
            int pct = percent(px);
            if (i == section.columnCount - 1 && running > W) {
                pct = percent(px - running + W);
                if (pct < 3) pct += 3;
            } else if (running > W - 3) {
                pct -= 3;
            }
            if (pct == 0) pct = 3;
            percents.push_back(bounded(pct));
        }
        return percents;
    }
    if (pixels.size() < 2) return {};
    int label = percent(pixels[0]);
    int text = percent(pixels[1]);
    if (pixels[0] + pixels[1] > W) text = percent(W - pixels[0]);
    if (text < 3) {
        label -= 3;
        text += 3;
    }
    return {bounded(label), bounded(text)};
}

CardPageSetup::CardPageSetup() = default;

void CardPageSetup::setPaperName(const std::string& name) {
    paperName_ = name;
    if (!lookup_) return;
    if (const std::optional<PaperSize> size = lookup_(name)) paper_ = *size;
}

void CardPageSetup::setPrinterDpi(double dpi) {
    if (dpi > 0) printerDpi_ = dpi;
}

void CardPageSetup::setScreenDpi(double dpi) {
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
    return orientation_ == PageOrientation::Landscape ? paper_.heightMm : paper_.widthMm;
}

double& CardPageSetup::heightMm() {
    return orientation_ == PageOrientation::Landscape ? paper_.widthMm : paper_.heightMm;
}

double CardPageSetup::paperWidth() const {
    return fromMm(orientation_ == PageOrientation::Landscape ? paper_.heightMm : paper_.widthMm);
}

double CardPageSetup::paperHeight() const {
    return fromMm(orientation_ == PageOrientation::Landscape ? paper_.widthMm : paper_.heightMm);
}

void CardPageSetup::setPaperWidth(double value) { widthMm() = toMm(value); }

void CardPageSetup::setPaperHeight(double value) { heightMm() = toMm(value); }

std::string CardPageSetup::marginProblem() const {
    const auto number = [this](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", value);
        switch (unit_) {
            case LengthUnit::Inches:
                return std::string(text) + " in";
            case LengthUnit::Millimetres:
                return std::string(text) + " mm";
            default:
                return std::string(text) + " pixels";
        }
    };
    const double least = fromMm(kLeastPrintableMm);
    // NaN compares false everywhere, so the checks are written to catch it.
    const auto fits = [&](double paper, double first, double second) {
        return paper - first - second >= least;
    };
    if (!fits(paperWidth(), leftMargin(), rightMargin())) {
        return "The left and right margins (" + number(leftMargin()) + " and " +
               number(rightMargin()) + ") leave no room to print across a page " +
               number(paperWidth()) + " wide.";
    }
    if (!fits(paperHeight(), topMargin(), bottomMargin())) {
        return "The top and bottom margins (" + number(topMargin()) + " and " +
               number(bottomMargin()) + ") leave no room to print down a page " +
               number(paperHeight()) + " high.";
    }
    return {};
}

int CardPageSetup::printableWidth() const {
    return roundHalfEven(paperWidth() - leftMargin() - rightMargin() - 2);
}

int CardPageSetup::sectionPrintWidth(const Section& section, int layoutColumns) const {
    const int printable = printableWidth();
    if (section.columnCount > 4 || layoutColumns <= 0) return printable;
    return printable / layoutColumns;
}

int CardPageSetup::printColumnWidth(const Card& card, int section, int layoutColumns) {
    unit_ = LengthUnit::ScreenPixels;
    const bool known = section >= 0 && section < static_cast<int>(card.sections.size());
    const int width = sectionPrintWidth(known ? card.sections[section] : Section{}, layoutColumns);
    unit_ = LengthUnit::PrinterPixels;
    return width;
}

}  // namespace zqw
