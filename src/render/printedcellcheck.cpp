#include "render/printedcellcheck.h"

#include "render/cardpagepainter.h"

std::vector<zqw::CheckFinding> printedCellFindings(const zqw::Card& card,
                                                   const PrintLayoutSettings& layout,
                                                   const DisplayFontSettings& fonts) {
    // The plan the card page painter prints from, fitted with its fonts.
    CardPagePainter pages(card, layout, fonts, zqw::CardPages::All);
    pages.layOut(zqw::CardPageSetup::kDefaultPrinterDpi);
    return zqw::checkPrintedCells(card, pages.plan());
}
