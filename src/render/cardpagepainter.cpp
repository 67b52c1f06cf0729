#include "render/cardpagepainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "card/notesprintplan.h"
#include "render/captiontext.h"
#include "render/pagemetrics.h"

namespace {

using namespace pagemetrics;

const QColor kSilver(192, 192, 192);

// Sizes the printout is designed in.
constexpr double kEmblemMm = 10.583;
constexpr double kRuleStripMm = 0.169;  // page header strip; band rule height
constexpr double kHeaderRulePoints = 0.6;
constexpr double kBandRulePoints = 0.75;
// Room a band keeps above and below its text.
constexpr double kBandAirPoints = 0.5;
constexpr double kBarScreenPixels = 1;
constexpr int kLandscapeTitlePoints = 12;
constexpr int kPortraitTitlePoints = 10;
// Suit pictures come from the large set from this display font size on.
constexpr int kLargePicturesFromPoints = 9;

}  // namespace

const QString& CardPagePainter::title() {
    static const QString text = QStringLiteral("ZQW Convention Card 2.19");
    return text;
}

const QString& CardPagePainter::jobTitle() {
    static const QString text = QStringLiteral("ZQWCCE");
    return text;
}

CardPagePainter::CardPagePainter(const zqw::Card& card, const PrintLayoutSettings& layout,
                                 const DisplayFontSettings& fonts, zqw::CardPages pages)
    : card_(card), layout_(layout), fonts_(fonts), pages_(pages) {}

QPageLayout CardPagePainter::pageLayout() const {
    zqw::CardPageSetup setup = layout_.pageSetup();
    setup.setUnit(zqw::LengthUnit::Millimetres);
    const bool landscape = setup.orientation() == zqw::PageOrientation::Landscape;
    // The setup gives the paper as oriented; QPageSize wants it upright.
    const QSizeF upright = landscape ? QSizeF(setup.paperHeight(), setup.paperWidth())
                                     : QSizeF(setup.paperWidth(), setup.paperHeight());
    const QPageSize size(upright, QPageSize::Millimeter, QString::fromStdString(setup.paperName()),
                         QPageSize::FuzzyMatch);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void CardPagePainter::layOut(double dpi) {
    dpi_ = dpi;
    zqw::CardPageSetup setup = layout_.pageSetup();
    setup.setPrinterDpi(dpi);
    setup.setUnit(zqw::LengthUnit::PrinterPixels);
    leftMargin_ = setup.leftMargin();
    topMargin_ = setup.topMargin();

    const SuitPrintMode mode = layout_.suitMode();
    suitsAsCharacters_ = mode != SuitPrintMode::BitMaps;
    const QString labelFamily =
        mode == SuitPrintMode::BitMaps ? plainFamilyOf(fonts_.family) : fonts_.family;
    labelFont_ = printFont(labelFamily, fonts_.pointSize, dpi);
    const bool landscape = setup.orientation() == zqw::PageOrientation::Landscape;
    titleFont_ =
        printFont(fonts_.family, landscape ? kLandscapeTitlePoints : kPortraitTitlePoints, dpi);
    pictureSet_ = fonts_.pointSize >= kLargePicturesFromPoints ? SuitPictureSet::Large
                                                               : SuitPictureSet::Small;
    pictureWidth_ = static_cast<int>(std::lround(kPictureScreenWidth * dpi / kScreenDpi));
    pictureHeight_ = static_cast<int>(std::lround(kPictureScreenHeight * dpi / kScreenDpi));
    headerHeight_ = std::max(1, dots(kRuleStripMm, dpi));
    ruleBoxHeight_ = headerHeight_;
    headerRuleWidth_ = kHeaderRulePoints * dpi / 72;
    bandRuleWidth_ = kBandRulePoints * dpi / 72;
    barWidth_ = kBarScreenPixels * dpi / kScreenDpi;

    const QFontMetricsF titleMetrics(titleFont_);
    const qreal titlePad = titleMetrics.height() / 4;
    headingFont_ = printFont(fonts_.family, fonts_.pointSize, dpi, true);

    zqw::CardPrintOptions options;
    options.layoutColumns = layout_.layoutColumns();
    printableWidth_ = setup.printableWidth();
    options.printableWidth = printableWidth_;
    options.usableHeight = setup.paperHeight() - setup.topMargin() - setup.bottomMargin() - 2;
    options.topMargin = static_cast<int>(std::lround(setup.topMargin()));
    options.headerHeight = headerHeight_;
    const QFontMetricsF labelMetrics(labelFont_);
    // A band shows its text whole: the text, the rule along its foot and a
    // little air. Worked out from the font's nominal size, not its size in
    // whole dots, so that a preview on screen breaks pages where the PDF does.
    const qreal emHeight =
        (labelMetrics.ascent() + labelMetrics.descent()) / std::max(1, labelFont_.pixelSize());
    const double textPoints = emHeight * fonts_.pointSize;
    options.minBandHeight = static_cast<int>(
        std::ceil((textPoints + kRuleStripMm * 72 / kMmPerInch + kBandAirPoints) * dpi / 72));
    const QFontMetricsF headingMetrics(headingFont_);
    options.pageHeadingHeight = static_cast<int>(std::ceil(headingMetrics.height() * 1.5));
    options.pages = pages_;
    options.openBidsOnAllLines = layout_.openBidsOnAllLines();
    options.suits = static_cast<zqw::SuitSymbolStyle>(static_cast<int>(mode));
    options.suitChars = fonts_.suitChars;
    const bool asCharacters = suitsAsCharacters_;
    options.captionWidth = [labelMetrics, asCharacters](const std::string& text) {
        return static_cast<int>(
            std::ceil(labelMetrics.horizontalAdvance(printableCaption(text, asCharacters))));
    };
    // A picture's room in a caption is its own width.
    options.pictureAdvance = pictureWidth_;
    options.pictureWidth = pictureWidth_;
    options.titleWidth =
        static_cast<int>(std::ceil(titleMetrics.horizontalAdvance(title()) + 2 * titlePad));
    options.titleHeight = static_cast<int>(std::ceil(titleMetrics.height() + titlePad));
    options.emblemWidth = dots(kEmblemMm, dpi);
    options.emblemHeight = options.emblemWidth;
    plan_ = zqw::CardPrintPlan::build(card_, options);
}

int CardPagePainter::pageCount() const { return static_cast<int>(plan_.pages().size()); }

void CardPagePainter::paintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= pageCount()) return;
    const zqw::CardPrintPage& page = plan_.pages()[static_cast<size_t>(index)];
    painter.save();
    painter.translate(leftMargin_, topMargin_);
    painter.setPen(QPen(Qt::black, headerRuleWidth_, Qt::SolidLine, Qt::FlatCap));
    const qreal headerY = headerHeight_ - headerRuleWidth_ / 2;
    painter.drawLine(QPointF(0, headerY), QPointF(page.ruleWidth, headerY));
    if (page.showsHeading) paintHeading(painter, page);
    for (const zqw::PrintBand& band : page.bands) paintBandLines(painter, band);
    paintTexts(painter, page);
    if (page.showsTitle) paintTitle(painter, page);
    painter.restore();
}

QString CardPagePainter::cardName() const {
    const zqw::NotesTitleTexts texts = zqw::notesTitleTexts(card_, fonts_.suitChars);
    const QString title = printableCaption(texts.first, suitsAsCharacters_).trimmed();
    const QString names = printableCaption(texts.second, suitsAsCharacters_).trimmed();
    if (names.isEmpty()) return title;
    if (title.isEmpty()) return names;
    return QStringLiteral("%1 (%2)").arg(title, names);
}

QString CardPagePainter::documentTitle() const {
    const QString name = cardName();
    return name.isEmpty() ? title() : QStringLiteral("%1: %2").arg(title(), name);
}

QString CardPagePainter::documentAuthor() const {
    return printableCaption(zqw::notesTitleTexts(card_, fonts_.suitChars).second, true).trimmed();
}

void CardPagePainter::paintHeading(QPainter& painter, const zqw::CardPrintPage& page) const {
    const QString text = QStringLiteral("%1 \u2014 %2").arg(title(), cardName());
    QFont font = headingFont_;
    QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text);
    // The heading is drawn whole: a long one gets a smaller font.
    if (width > printableWidth_ && width > 0) {
        font.setPixelSize(std::max(1, int(font.pixelSize() * printableWidth_ / width)));
        metrics = QFontMetricsF(font);
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    const qreal top = headerHeight_;
    const qreal baseline =
        top + (page.headingHeight - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    painter.drawText(QPointF(2, baseline), text);
}

void CardPagePainter::paintTitle(QPainter& painter, const zqw::CardPrintPage& page) const {
    const QRectF box(page.title.x, page.title.y, page.title.width, page.title.height);
    painter.fillRect(box, kSilver);
    painter.setFont(titleFont_);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(titleFont_);
    const qreal pad = metrics.height() / 4;
    const qreal baseline =
        box.top() + (box.height() - metrics.ascent() - metrics.descent()) / 2 + metrics.ascent();
    painter.drawText(QPointF(box.left() + pad, baseline),
                     fittedCaption(title(), metrics, box.width() - pad));
    paintEmblem(painter,
                QRectF(page.emblem.x, page.emblem.y, page.emblem.width, page.emblem.height));
}

void CardPagePainter::paintBandLines(QPainter& painter, const zqw::PrintBand& band) const {
    const qreal boxTop = band.top + 1;
    const qreal boxHeight = std::max(0, band.height - ruleBoxHeight_ - 1);

    for (const zqw::PlacedRow& cell : band.cells) {
        for (const zqw::PrintLabel& label : plan_.row(cell.row).labels) {
            if (label.silver) {
                painter.fillRect(QRectF(cell.x + label.x, boxTop, label.width, boxHeight), kSilver);
            }
        }
    }

    if (band.ruleRight > band.ruleLeft) {
        painter.setPen(QPen(Qt::black, bandRuleWidth_, Qt::SolidLine, Qt::FlatCap));
        const qreal y = band.top + band.height - bandRuleWidth_ / 2;
        painter.drawLine(QPointF(band.ruleLeft, y), QPointF(band.ruleRight, y));
    }
    QVarLengthArray<QLineF, 32> bars;
    const auto bar = [&](qreal x) { bars.append(QLineF(x, band.top, x, band.top + band.height)); };
    for (const zqw::PlacedRow& cell : band.cells) {
        const zqw::PrintRow& row = plan_.row(cell.row);
        if (row.kind != zqw::PrintRowKind::Title) bar(cell.x);
        bar(cell.x + cell.width);
        for (const int x : row.bars) bar(cell.x + x);
    }
    painter.setPen(QPen(Qt::black, barWidth_, Qt::SolidLine, Qt::FlatCap));
    painter.drawLines(bars.constData(), static_cast<int>(bars.size()));
}

void CardPagePainter::paintTexts(QPainter& painter, const zqw::CardPrintPage& page) const {
    // Text goes out one layout column at a time, top to bottom, the
    // rightmost (where the card starts) first: copying, searching and
    // screen readers then follow the card's reading order.
    std::vector<int> columns;
    for (const zqw::PrintBand& band : page.bands) {
        for (const zqw::PlacedRow& cell : band.cells) {
            if (std::find(columns.begin(), columns.end(), cell.x) == columns.end())
                columns.push_back(cell.x);
        }
    }
    std::sort(columns.begin(), columns.end(), std::greater<>());
    for (const int x : columns) {
        for (const zqw::PrintBand& band : page.bands) {
            for (const zqw::PlacedRow& cell : band.cells) {
                if (cell.x == x) paintCell(painter, band, cell);
            }
        }
    }
}

void CardPagePainter::paintCell(QPainter& painter, const zqw::PrintBand& band,
                                const zqw::PlacedRow& cell) const {
    const qreal boxTop = band.top + 1;
    const qreal boxHeight = std::max(0, band.height - ruleBoxHeight_ - 1);
    const zqw::PrintRow& row = plan_.row(cell.row);
    const QRectF cellBox(cell.x, band.top, cell.width, band.height);
    painter.save();
    painter.setClipRect(cellBox.adjusted(0, 0, 4, 0));
    painter.setPen(Qt::black);
    for (const zqw::PrintLabel& label : row.labels) {
        if (label.text.empty()) continue;
        QFont font = labelFont_;
        if (label.scale < 1) {
            font.setPixelSize(std::max(1, int(labelFont_.pixelSize() * label.scale)));
        }
        const QFontMetricsF metrics(font);
        const qreal textHeight = metrics.ascent() + metrics.descent();
        const qreal baseline = boxTop + (boxHeight - textHeight) / 2 + metrics.ascent();
        const QString text =
            fittedCaption(printableCaption(label.text, suitsAsCharacters_), metrics, label.width);
        if (!text.isEmpty()) {
            drawCaption(painter, QPointF(cell.x + label.x, baseline), text, font,
                        label.silver ? kSilver : QColor(Qt::white));
        }
    }
    for (const zqw::SuitMark& mark : row.pictures) {
        const qreal width = pictureWidth_ * mark.scale;
        const qreal height = pictureHeight_ * mark.scale;
        const QRectF box(cell.x + mark.x, boxTop + (boxHeight - height) / 2, width, height);
        // A picture stays inside its column and its band.
        const QRectF room(cell.x + mark.x, band.top, mark.right - mark.x,
                          band.height - ruleBoxHeight_);
        painter.save();
        painter.setClipRect(room.intersected(cellBox));
        paintSuitPictureOverText(painter, box, mark.suit, pictureSet_, labelFont_);
        painter.restore();
    }
    painter.restore();
}
