#include "render/notespagepainter.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <cmath>

#include "render/captiontext.h"
#include "render/pagemetrics.h"

namespace {

using namespace pagemetrics;

// Strips and positions of the page, in millimetres.
constexpr double kTitleHeightMm = 7.938;
constexpr double kTitleLeftMm = 1.058;
constexpr double kTitleTopMm = 2.117;
constexpr double kFooterHeightMm = 8.255;
constexpr double kDateLeftMm = 1.482;
constexpr double kPagePositionLeftMm = 173.99;
constexpr double kGroupHeaderHeightMm = 5.027;
constexpr double kBrownLeftMm = 0.529;

constexpr double kRulePoints = 1.2;
constexpr int kHeadingPoints = 12;
constexpr int kLabelLeft = 1;
constexpr int kLabelTop = 5;
constexpr double kBandPaddingScreenPixels = 3;

}  // namespace

NotesPagePainter::NotesPagePainter(std::vector<std::string> lines, std::string notesFileName,
                                   zqw::NotesTitleTexts titleTexts,
                                   const PrintLayoutSettings& layout,
                                   const DisplayFontSettings& fonts, const QPageSize& paper)
    : lines_(std::move(lines)),
      notesFileName_(std::move(notesFileName)),
      titleTexts_(std::move(titleTexts)),
      layout_(layout),
      fonts_(fonts),
      paper_(paper.isValid() ? paper : QPageSize(QPageSize::A4)),
      date_(QDate::currentDate()) {}

QString NotesPagePainter::jobName() const { return QStringLiteral("ZQWCCE"); }

QPageLayout NotesPagePainter::pageLayout() const {
    return QPageLayout(paper_, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void NotesPagePainter::layOut(double dpi) {
    dpi_ = dpi;
    const QSizeF paperMm = paper_.size(QPageSize::Millimeter);
    margin_ = kMarginMm * dpi / kMmPerInch;
    pageWidth_ = dots(paperMm.width() - 2 * kMarginMm, dpi);
    pageHeight_ = dots(paperMm.height() - 2 * kMarginMm, dpi);
    titleHeight_ = dots(kTitleHeightMm, dpi);
    footerHeight_ = dots(kFooterHeightMm, dpi);
    groupHeaderHeight_ = dots(kGroupHeaderHeightMm, dpi);
    ruleWidth_ = kRulePoints * dpi / 72;

    const SuitPrintMode mode = layout_.suitMode();
    suitsAsCharacters_ = mode != SuitPrintMode::BitMaps;
    labelFont_ =
        printFont(mode == SuitPrintMode::BitMaps ? QStringLiteral("Courier") : fonts_.family,
                  fonts_.pointSize, dpi);
    headingFont_ = printFont(QStringLiteral("Arial"), kHeadingPoints, dpi, true);
    pictureWidth_ = static_cast<int>(std::lround(kPictureScreenWidth * dpi / kScreenDpi));
    pictureHeight_ = static_cast<int>(std::lround(kPictureScreenHeight * dpi / kScreenDpi));

    zqw::NotesPrintOptions options;
    options.selectionOnly = selection_.has_value();
    if (selection_) options.selection = *selection_;
    options.newPageForEachNote = layout_.newPageForEachNote();
    options.newPageForBrownSticker = layout_.newPageForBrownSticker();
    options.suits = static_cast<zqw::SuitSymbolStyle>(static_cast<int>(mode));
    options.suitChars = fonts_.suitChars;
    options.notesFileName = notesFileName_;
    options.titleText1 = titleTexts_.first;
    options.titleText2 = titleTexts_.second;
    options.pageWidth = pageWidth_;
    options.pageHeight = pageHeight_;
    options.titleHeight = titleHeight_;
    options.footerHeight = footerHeight_;
    options.groupHeaderHeight = groupHeaderHeight_;
    // A band is as high as a line of the notes editor's font, plus a little,
    // and never lower than the line of the font that prints it, which may
    // be the larger card font.
    const QFontMetricsF notesMetrics(
        printFont(fonts_.notesFont().family(), fonts_.notesPointSize, dpi));
    const QFontMetricsF printedMetrics(labelFont_);
    const qreal lineHeight = std::max(notesMetrics.height(), printedMetrics.height() + kLabelTop);
    options.lineHeight =
        static_cast<int>(std::ceil(lineHeight + kBandPaddingScreenPixels * dpi / kScreenDpi));
    options.labelLeft = kLabelLeft;
    options.pictureAdvance = pictureWidth_ + 1;
    const QFontMetricsF labelMetrics(labelFont_);
    const bool asCharacters = suitsAsCharacters_;
    options.textWidth = [labelMetrics, asCharacters](const std::string& text) {
        return static_cast<int>(
            std::ceil(labelMetrics.horizontalAdvance(printableCaption(text, asCharacters))));
    };
    plan_ = zqw::NotesPrintPlan::build(lines_, options);
}

int NotesPagePainter::pageCount() const { return static_cast<int>(plan_.pages().size()); }

void NotesPagePainter::paintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= pageCount()) return;
    const zqw::NotesPage& page = plan_.pages()[static_cast<size_t>(index)];
    painter.save();
    painter.translate(margin_, margin_);
    const QPen rulePen(Qt::black, ruleWidth_, Qt::SolidLine, Qt::FlatCap);
    const QFontMetricsF headingMetrics(headingFont_);
    // Headings are drawn whole: one too long for the page gets a smaller
    // font rather than losing its end.
    const auto headingText = [&](qreal x, qreal top, qreal height, const QString& text) {
        QFont font = headingFont_;
        const qreal width = headingMetrics.horizontalAdvance(text);
        if (width > pageWidth_ - x && width > 0) {
            font.setPixelSize(std::max(1, int(font.pixelSize() * (pageWidth_ - x) / width)));
        }
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const qreal textHeight = metrics.ascent() + metrics.descent();
        const qreal baseline =
            top + std::max<qreal>(0, (height - textHeight) / 2) + metrics.ascent();
        painter.drawText(QPointF(x, baseline), fittedCaption(text, metrics, pageWidth_ - x));
    };

    int top = 0;
    if (page.showsTitle) {
        const qreal titleTop = kTitleTopMm * dpi_ / kMmPerInch;
        headingText(kTitleLeftMm * dpi_ / kMmPerInch, titleTop,
                    titleHeight_ - titleTop - ruleWidth_, printableCaption(plan_.title(), true));
        painter.setPen(rulePen);
        const qreal y = titleHeight_ - ruleWidth_ / 2;
        painter.drawLine(QPointF(0, y), QPointF(pageWidth_, y));
        top = titleHeight_;
    }
    if (page.hasGroupHeader && !page.groupHeader.empty()) {
        headingText(kBrownLeftMm * dpi_ / kMmPerInch, top, groupHeaderHeight_,
                    printableCaption(page.groupHeader, true));
    }

    const QFontMetricsF metrics(labelFont_);
    const SuitPictureSet pictureSet = SuitPictureSet::Small;
    for (const zqw::NotesBand& band : page.bands) {
        if (band.ruleAbove) {
            painter.setPen(rulePen);
            const qreal y = band.top + ruleWidth_ / 2;
            painter.drawLine(QPointF(0, y), QPointF(pageWidth_, y));
        }
        painter.setFont(labelFont_);
        painter.setPen(Qt::black);
        // The text sits at the foot of its band, clear of a heading's rule
        // along the band's top.
        const qreal baseline =
            std::max(band.top + kLabelTop + metrics.ascent(),
                     band.top + band.height - metrics.descent() - ruleWidth_ / 2);
        for (const zqw::PrintLabel& label : band.labels) {
            drawCaption(painter, QPointF(label.x, baseline),
                        fittedCaption(printableCaption(label.text, suitsAsCharacters_), metrics,
                                      label.width),
                        labelFont_, Qt::white);
        }
        const qreal textMiddle = baseline - (metrics.ascent() - metrics.descent()) / 2;
        for (const zqw::SuitMark& mark : band.pictures) {
            paintSuitPictureOverText(
                painter,
                QRectF(mark.x, textMiddle - pictureHeight_ / 2.0, pictureWidth_, pictureHeight_),
                mark.suit, pictureSet, labelFont_);
        }
    }

    const qreal footerTop = pageHeight_ - footerHeight_;
    painter.setPen(rulePen);
    painter.drawLine(QPointF(0, footerTop + ruleWidth_ / 2),
                     QPointF(pageWidth_, footerTop + ruleWidth_ / 2));
    headingText(kDateLeftMm * dpi_ / kMmPerInch, footerTop, footerHeight_,
                QLocale(QLocale::English).toString(date_, QStringLiteral("d MMMM yyyy")));
    const QString position =
        QStringLiteral("page %1 of %2").arg(page.numberInSet).arg(page.pagesInSet);
    // A position that would run past the right margin moves left.
    const qreal positionLeft = std::min(kPagePositionLeftMm * dpi_ / kMmPerInch,
                                        pageWidth_ - headingMetrics.horizontalAdvance(position));
    headingText(positionLeft, footerTop, footerHeight_, position);
    painter.restore();
}
