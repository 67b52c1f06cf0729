#pragma once

#include <vector>

#include "card/cardchecks.h"
#include "render/displayfontsettings.h"
#include "render/printlayoutsettings.h"

// The answers the printed card cuts off at these print settings, measured
// with the fonts the card prints in (needs a QGuiApplication).
std::vector<zqw::CheckFinding> printedCellFindings(const zqw::Card& card,
                                                   const PrintLayoutSettings& layout,
                                                   const DisplayFontSettings& fonts);
