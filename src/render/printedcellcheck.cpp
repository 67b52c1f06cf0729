#include "render/printedcellcheck.h"

#include <QFontMetricsF>
#include <cmath>

#include "render/captiontext.h"
#include "render/cardpagepainter.h"

std::vector<zqw::CheckFinding> printedCellFindings(const zqw::Card& card,
                                                   const PrintLayoutSettings& layout,
                                                   const DisplayFontSettings& fonts) {
    const double dpi = zqw::CardPageSetup::kDefaultPrinterDpi;
    CardPagePainter pages(card, layout, fonts, zqw::CardPages::All);
    pages.layOut(dpi);
    // Captions measured as the card page painter measures them.
    const bool asCharacters = layout.suitMode() != SuitPrintMode::BitMaps;
    const QString family = asCharacters ? fonts.family : plainFamilyOf(fonts.family);
    const QFontMetricsF metrics(printFont(family, fonts.pointSize, dpi));
    const zqw::TextWidth width = [metrics, asCharacters](const std::string& text) {
        return static_cast<int>(
            std::ceil(metrics.horizontalAdvance(printableCaption(text, asCharacters))));
    };
    return zqw::checkPrintedCells(card, pages.plan(), width);
}
