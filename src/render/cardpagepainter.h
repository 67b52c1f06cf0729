#pragma once

#include <QFont>
#include <QString>

#include "card/cardprintplan.h"
#include "render/displayfontsettings.h"
#include "render/pagedreport.h"
#include "render/printlayoutsettings.h"
#include "render/suitpictures.h"

// The printed convention card: the first page with the title, the emblem
// and the narrow sections in layout columns, the second page with the wide
// sections. It follows the print layout settings (paper, margins, layout
// columns, suit symbols, opening bids) and prints in the display font.
//
//     CardPagePainter card(theCard, layoutSettings, fontSettings, zqw::CardPages::All);
//     printReport(card, printer);                   // printer or preview
//     writeReportPdf(card, path, CardPageSetup::kDefaultPrinterDpi, &error);  // "Print to file"
//
// The card and the settings must outlive the painter; each layOut() reads
// them afresh, so a preview redrawn after an edit shows the edit.
class CardPagePainter : public PagedReport {
public:
    static const QString& title();     // "ZQW Convention Card 2.19"
    static const QString& jobTitle();  // "ZQWCCE"

    CardPagePainter(const zqw::Card& card, const PrintLayoutSettings& layout,
                    const DisplayFontSettings& fonts, zqw::CardPages pages);

    void layOut(double dpi) override;
    int pageCount() const override;
    QPageLayout pageLayout() const override;
    void paintPage(QPainter& painter, int index) const override;
    QString jobName() const override { return jobTitle(); }
    // "ZQW Convention Card 2.19: " with the card's title and names.
    QString documentTitle() const override;
    // The partnership's names.
    QString documentAuthor() const override;

    // The layout of the last layOut().
    const zqw::CardPrintPlan& plan() const { return plan_; }

private:
    void paintTitle(QPainter& painter, const zqw::CardPrintPage& page) const;
    void paintHeading(QPainter& painter, const zqw::CardPrintPage& page) const;
    void paintBandLines(QPainter& painter, const zqw::PrintBand& band) const;
    void paintTexts(QPainter& painter, const zqw::CardPrintPage& page) const;
    void paintCell(QPainter& painter, const zqw::PrintBand& band, const zqw::PlacedRow& cell) const;
    // The card's title and the partnership's names, as the card gives them.
    QString cardName() const;

    const zqw::Card& card_;
    const PrintLayoutSettings& layout_;
    const DisplayFontSettings& fonts_;
    zqw::CardPages pages_;

    zqw::CardPrintPlan plan_;
    double dpi_ = 0;
    double leftMargin_ = 0;
    double topMargin_ = 0;
    int printableWidth_ = 0;
    QFont labelFont_;
    QFont titleFont_;
    QFont headingFont_;
    bool suitsAsCharacters_ = true;
    SuitPictureSet pictureSet_ = SuitPictureSet::Small;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    int headerHeight_ = 0;
    int ruleBoxHeight_ = 0;
    qreal headerRuleWidth_ = 0;
    qreal bandRuleWidth_ = 0;
    qreal barWidth_ = 0;
};
