#include "card/printlayout.h"

#include <gtest/gtest.h>

#include "card/plainnotes.h"
#include "test_support.h"

namespace zqw {
namespace {

struct RoundCase {
    double value;
    int expected;
};

class RoundHalfEvenCases : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenCases, RoundsToNearestAndHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenCases,
                         ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{3.5, 4}, RoundCase{-2.5, -2},
                                           RoundCase{-3.5, -4}, RoundCase{2.49, 2},
                                           RoundCase{2.51, 3}, RoundCase{-2.51, -3},
                                           RoundCase{634.9999999, 635}, RoundCase{3206, 3206}));

// A page whose width and margins are given in printer pixels.
CardPageSetup pixelPage(double width, double left, double right) {
    CardPageSetup page;
    page.setUnit(LengthUnit::PrinterPixels);
    page.setOrientation(PageOrientation::Landscape);
    page.setPaperWidth(width);
    page.setLeftMargin(left);
    page.setRightMargin(right);
    return page;
}

TEST(printableWidth, IsPaperWidthLessMarginsAndTwo) {
    EXPECT_EQ(pixelPage(3508, 150, 150).printableWidth(), 3206);
    EXPECT_EQ(pixelPage(3508, 0, 0).printableWidth(), 3506);
    EXPECT_EQ(pixelPage(3508, 300, 6).printableWidth(), 3200);
}

TEST(printableWidth, RoundsAHalfToTheEvenNeighbour) {
    CardPageSetup page;
    page.setUnit(LengthUnit::Millimetres);
    page.setPaperWidth(100.5);  // 98.5 printable
    EXPECT_EQ(page.printableWidth(), 98);
    page.setPaperWidth(101.5);  // 99.5 printable
    EXPECT_EQ(page.printableWidth(), 100);
    page.setPaperWidth(101.6);
    EXPECT_EQ(page.printableWidth(), 100);
}

struct SectionCase {
    const char* name;
    int columnCount;
    int layoutColumns;
    int expected;
};

class SectionPrintWidthCases : public ::testing::TestWithParam<SectionCase> {};

// 3508 px paper with 150 px margins: 3206 printable.
TEST_P(SectionPrintWidthCases, SharesThePrintableWidthUnlessTheSectionIsWide) {
    const SectionCase& c = GetParam();
    Section section;
    section.columnCount = c.columnCount;
    EXPECT_EQ(pixelPage(3508, 150, 150).sectionPrintWidth(section, c.layoutColumns), c.expected);
}

INSTANTIATE_TEST_SUITE_P(SectionKinds, SectionPrintWidthCases,
                         ::testing::Values(SectionCase{"four_columns_of_three", 4, 3, 1068},
                                           SectionCase{"five_columns_of_three", 5, 3, 3206},
                                           SectionCase{"one_column_of_three", 1, 3, 1068},
                                           SectionCase{"grid2_only_of_three", 0, 3, 1068},
                                           SectionCase{"four_columns_of_two", 4, 2, 1603},
                                           SectionCase{"four_columns_of_one", 4, 1, 3206},
                                           SectionCase{"eight_columns_of_one", 8, 1, 3206}),
                         [](const auto& info) { return std::string(info.param.name); });

struct UnitCase {
    const char* name;
    LengthUnit unit;
    double quarterInch;
};

class WorkingUnitCases : public ::testing::TestWithParam<UnitCase> {};

TEST_P(WorkingUnitCases, AQuarterInchMarginReadsInEachUnit) {
    CardPageSetup page;
    page.setPrinterDpi(600);
    page.setScreenDpi(96);
    page.setUnit(LengthUnit::Inches);
    page.setTopMargin(0.25);
    page.setUnit(GetParam().unit);
    EXPECT_NEAR(page.topMargin(), GetParam().quarterInch, 1e-9);
}

TEST_P(WorkingUnitCases, AValueWrittenInAUnitReadsBackUnchanged) {
    CardPageSetup page;
    page.setUnit(GetParam().unit);
    page.setRightMargin(GetParam().quarterInch);
    page.setUnit(LengthUnit::Millimetres);
    page.setUnit(GetParam().unit);
    EXPECT_NEAR(page.rightMargin(), GetParam().quarterInch, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Units, WorkingUnitCases,
                         ::testing::Values(UnitCase{"inches", LengthUnit::Inches, 0.25},
                                           UnitCase{"millimetres", LengthUnit::Millimetres, 6.35},
                                           UnitCase{"printer_pixels", LengthUnit::PrinterPixels,
                                                    150},
                                           UnitCase{"screen_pixels", LengthUnit::ScreenPixels, 24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CardPageSetup, StoredMarginOfAQuarterInchInMillimetresIs635Hundredths) {
    CardPageSetup page;
    page.setUnit(LengthUnit::Inches);
    page.setTopMargin(0.25);
    page.setUnit(LengthUnit::Millimetres);
    EXPECT_EQ(roundHalfEven(page.topMargin() * 100), 635);
}

TEST(CardPageSetup, LandscapeSwapsWidthAndHeight) {
    CardPageSetup page;
    page.setUnit(LengthUnit::Millimetres);
    page.setPaperWidth(210);
    page.setPaperHeight(297);
    page.setOrientation(PageOrientation::Landscape);
    EXPECT_DOUBLE_EQ(page.paperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 210);

    // A size given while landscape is the landscape size.
    page.setPaperWidth(297.01);
    page.setPaperHeight(209.97);
    EXPECT_DOUBLE_EQ(page.paperWidth(), 297.01);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 209.97);
    EXPECT_NEAR(page.paperWidth() / 3, 99.0, 0.005);
    page.setOrientation(PageOrientation::Portrait);
    EXPECT_DOUBLE_EQ(page.paperWidth(), 209.97);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 297.01);
}

TEST(CardPageSetup, PaperNameTakesItsSizeFromTheLookup) {
    CardPageSetup page;
    page.setUnit(LengthUnit::Millimetres);
    page.setPaperLookup([](std::string_view name) -> std::optional<PaperSize> {
        if (name == "Letter") return PaperSize{215.9, 279.4};
        if (name == "A5") return PaperSize{148, 210};
        return std::nullopt;
    });
    page.setPaperName("Letter");
    EXPECT_EQ(page.paperName(), "Letter");
    EXPECT_DOUBLE_EQ(page.paperWidth(), 215.9);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 279.4);

    // A name nobody offers is kept, with the size in force before.
    page.setPaperName("");
    EXPECT_EQ(page.paperName(), "");
    EXPECT_DOUBLE_EQ(page.paperWidth(), 215.9);

    page.setOrientation(PageOrientation::Landscape);
    page.setPaperName("A5");
    EXPECT_DOUBLE_EQ(page.paperWidth(), 210);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 148);
}

class PrintColumnWidthTest : public ::testing::Test {
protected:
    PrintColumnWidthTest() {
        card.sections.resize(2);
        card.sections[0].columnCount = 4;
        card.sections[1].columnCount = 6;
        // 96 screen dpi: 254 mm is 960 px, a 12.7 mm margin 48 px, so the
        // printable width is 960 - 48 - 48 - 2 = 862 screen pixels.
        page.setScreenDpi(96);
        page.setUnit(LengthUnit::Millimetres);
        page.setOrientation(PageOrientation::Portrait);
        page.setPaperWidth(254);
        page.setLeftMargin(12.7);
        page.setRightMargin(12.7);
        page.setUnit(LengthUnit::Inches);
    }
    MessageList messages;
    PlainNotes notes;
    Card card{messages, notes};
    CardPageSetup page;
};

TEST_F(PrintColumnWidthTest, MeasuresTheCurrentSectionInScreenPixels) {
    EXPECT_EQ(page.printColumnWidth(card, 0, 2), 431);
    EXPECT_EQ(page.printColumnWidth(card, 0, 3), 287);
    EXPECT_EQ(page.printColumnWidth(card, 1, 3), 862);
}

TEST_F(PrintColumnWidthTest, LeavesTheUnitInPrinterPixels) {
    page.printColumnWidth(card, 0, 3);
    EXPECT_EQ(page.unit(), LengthUnit::PrinterPixels);
    page.setPrinterDpi(600);
    EXPECT_NEAR(page.paperWidth(), 6000, 1e-6);
}

TEST_F(PrintColumnWidthTest, FollowsTheScreenResolution) {
    page.setScreenDpi(192);  // 1920 - 96 - 96 - 2 = 1726
    EXPECT_EQ(page.printColumnWidth(card, 0, 2), 863);
}

TEST_F(PrintColumnWidthTest, ASectionOutsideTheListCountsAsNarrow) {
    EXPECT_EQ(page.printColumnWidth(card, 7, 2), 431);
    EXPECT_EQ(page.printColumnWidth(card, -1, 2), 431);
}

// Section 0: one column; section 1: three columns of 20, 40 and 40%.
std::string widthsTemplate() {
    return test::crlf({"FGroup", "POne", "C199", "OFirst", "PThree", "C3204040", "H|||", "OBid"});
}

TEST(GridColumnWidths, ScreenWidthsAreTheStoredSharesOfThePrintWidth) {
    test::CardFixture f(widthsTemplate());
    EXPECT_EQ(gridColumnPixels(f.card, 0, 1, 1000), (std::vector<int>{1000}));
    EXPECT_EQ(gridColumnPixels(f.card, 1, 1, 1000), (std::vector<int>{200, 400, 400}));
    EXPECT_EQ(gridColumnPixels(f.card, 1, 1, 333), (std::vector<int>{67, 133, 133}));
    EXPECT_TRUE(gridColumnPixels(f.card, 5, 1, 1000).empty());
}

struct DraggedCase {
    const char* name;
    int grid;
    std::vector<int> pixels;
    std::vector<int> stored;
};

class DraggedWidths : public ::testing::TestWithParam<DraggedCase> {};

TEST_P(DraggedWidths, AreStoredAsTwoDigitShares) {
    test::CardFixture f(widthsTemplate());
    Section section = f.card.sections[1];
    section.hasGrid2 = true;
    EXPECT_EQ(gridColumnPercents(section, GetParam().grid, GetParam().pixels, 1000),
              GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DraggedWidths,
    ::testing::Values(DraggedCase{"fits", 1, {100, 300, 500}, {10, 30, 50}},
                      // The last column gets what is left of a row dragged too wide.
                      DraggedCase{"too_wide", 1, {300, 400, 500}, {30, 40, 30}},
                      DraggedCase{"closed_column", 1, {0, 500, 400}, {3, 50, 40}},
                      // Two digits and the least width hold whatever the drag did.
                      DraggedCase{"far_too_wide", 1, {50, 2000, 100}, {5, 99, 3}},
                      DraggedCase{"fewer_widths_than_columns", 1, {500}, {}},
                      DraggedCase{"label_and_text", 2, {300, 600}, {30, 60}},
                      DraggedCase{"text_squeezed", 2, {700, 600}, {70, 30}},
                      DraggedCase{"text_gone", 2, {990, 100}, {96, 4}}),
    [](const ::testing::TestParamInfo<DraggedCase>& info) { return info.param.name; });

TEST(GridColumnWidths, NoPrintWidthStoresNothing) {
    test::CardFixture f(widthsTemplate());
    EXPECT_TRUE(gridColumnPercents(f.card.sections[1], 1, {100, 300, 500}, 0).empty());
}

}  // namespace
}  // namespace zqw
