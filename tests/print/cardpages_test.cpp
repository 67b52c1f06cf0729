#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "card/card.h"
#include "card/plainnotes.h"
#include "render/cardfonts.h"
#include "render/cardpagepainter.h"

namespace {

constexpr double kDpi = 150;

// The drawn pages of a card whose every answer is a run of diamonds,
// printed as pictures (red): a picture never strays over its cell's rules.
class CardPagesTest : public ::testing::Test {
protected:
    CardPagesTest() : fonts_(QStringLiteral(ZQW_PROGRAM_DIR)) {
        card_.parseTemplateFile(std::string(ZQW_SOURCE_DIR) + "/data/zqw.sel");
        card_.resetToBlankCard();
        std::string suits;
        for (int i = 0; i < 30; ++i) suits += "2\x04 ";
        for (const zqw::Section& section : card_.sections) {
            std::string text = section.columnCount > 1 ? "\t" : suits;
            for (int j = 1; j < section.columnCount; ++j) text += suits + "\t";
            const auto fill = [&](int firstLine, int lineCount, const std::string& value) {
                for (int l = firstLine; l < firstLine + lineCount; ++l) {
                    for (int r = card_.lines[size_t(l)].firstRow; r > 0;
                         r = card_.rows[size_t(r)].nextRow) {
                        card_.rows[size_t(r)].text = value;
                        card_.rows[size_t(r)].noteNo = 7;
                    }
                }
            };
            fill(section.firstLine, section.lineCount, text);
            if (section.hasGrid2) fill(section.firstLine2, section.lineCount2, suits);
        }
    }

    static bool isRed(QRgb pixel) {
        return qRed(pixel) > 150 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
    }

    CardFontRegistration fonts_;
    zqw::MessageList messages_;
    zqw::PlainNotes notes_;
    zqw::Card card_{messages_, notes_};
    PrintLayoutSettings layout_;
    DisplayFontSettings fontSettings_;
};

TEST_F(CardPagesTest, SuitPicturesStayInsideTheirCells) {
    layout_.setSuitModeIndex(static_cast<int>(SuitPrintMode::BitMaps));
    CardPagePainter pages(card_, layout_, fontSettings_, zqw::CardPages::All);
    pages.layOut(kDpi);
    ASSERT_GE(pages.pageCount(), 2);
    zqw::CardPageSetup setup = layout_.pageSetup();
    setup.setPrinterDpi(kDpi);
    setup.setUnit(zqw::LengthUnit::PrinterPixels);
    const int left = qRound(setup.leftMargin());
    const int top = qRound(setup.topMargin());
    int redSeen = 0;
    int crossings = 0;
    for (int index = 0; index < pages.pageCount(); ++index) {
        const QRect paper = pages.pageLayout().fullRectPixels(int(kDpi));
        QImage image(paper.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            pages.paintPage(painter, index);
        }
        const zqw::CardPrintPage& page = pages.plan().pages()[size_t(index)];
        for (const zqw::PrintBand& band : page.bands) {
            for (const zqw::PlacedRow& cell : band.cells) {
                std::vector<int> rules = pages.plan().row(cell.row).bars;
                rules.push_back(cell.width);
                for (const int rule : rules) {
                    // The pixels on the rule itself, down the band's height.
                    const int x = left + cell.x + rule;
                    for (int y = top + band.top + 2; y < top + band.top + band.height - 2; ++y) {
                        if (isRed(image.pixel(x, y))) ++crossings;
                    }
                }
                for (int x = left + cell.x; x < left + cell.x + cell.width; x += 2) {
                    if (isRed(image.pixel(x, top + band.top + band.height / 2))) ++redSeen;
                }
            }
        }
    }
    // The fixture does print red suits; none of them covers a rule.
    EXPECT_GT(redSeen, 100);
    EXPECT_EQ(crossings, 0);
}

}  // namespace
