#pragma once

#include <string>
#include <vector>

#include "card/card.h"

namespace zqw {

// Everything a user's edits can change in a card, taken as it stands: the
// rows and their chains, note numbers, how many rows each line and grid
// shows, the column widths and the recorded auctions. Restoring it puts the
// card back exactly, so an edit can be undone and done again.
struct CardAnswers {
    struct LineRows {
        int firstRow = 0;
        int rowCount = 0;
    };
    struct SectionRows {
        int rowCount = 0;
        int rowCount2 = 0;
        int labelWidth2 = 0;
        int textWidth2 = 0;
    };
    std::vector<RowText> rows;
    std::vector<RowText> auctions;
    int auctionHeads[3] = {0, 0, 0};
    std::vector<LineRows> lines;
    std::vector<SectionRows> sections;
    std::vector<int> columnWidths;

    bool operator==(const CardAnswers& other) const;
};

CardAnswers captureAnswers(const Card& card);
// The card must have the shape the answers were captured from.
void restoreAnswers(Card& card, const CardAnswers& answers);

}  // namespace zqw
