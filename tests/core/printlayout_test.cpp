#include "printlayout.h"

#include <gtest/gtest.h>

#include "plainnotes.h"

namespace zqw {
namespace {

struct RoundCase {
    double value;
    int expected;
};

class RoundHalfEvenCases : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenCases, RoundsToNearestAndHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected);
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
    page.SetUnit(LengthUnit::PrinterPixels);
    page.SetOrientation(PageOrientation::Landscape);
    page.SetPaperWidth(width);
    page.SetLeftMargin(left);
    page.SetRightMargin(right);
    return page;
}

TEST(PrintableWidth, IsPaperWidthLessMarginsAndTwo) {
    EXPECT_EQ(pixelPage(3508, 150, 150).PrintableWidth(), 3206);
    EXPECT_EQ(pixelPage(3508, 0, 0).PrintableWidth(), 3506);
    EXPECT_EQ(pixelPage(3508, 300, 6).PrintableWidth(), 3200);
}

TEST(PrintableWidth, RoundsAHalfToTheEvenNeighbour) {
    CardPageSetup page;
    page.SetUnit(LengthUnit::Millimetres);
    page.SetPaperWidth(100.5);  // 98.5 printable
    EXPECT_EQ(page.PrintableWidth(), 98);
    page.SetPaperWidth(101.5);  // 99.5 printable
    EXPECT_EQ(page.PrintableWidth(), 100);
    page.SetPaperWidth(101.6);
    EXPECT_EQ(page.PrintableWidth(), 100);
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
    AForm section;
    section.ColumnCount = c.columnCount;
    EXPECT_EQ(pixelPage(3508, 150, 150).SectionPrintWidth(section, c.layoutColumns), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sections, SectionPrintWidthCases,
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
    page.SetPrinterDpi(600);
    page.SetScreenDpi(96);
    page.SetUnit(LengthUnit::Inches);
    page.SetTopMargin(0.25);
    page.SetUnit(GetParam().unit);
    EXPECT_NEAR(page.TopMargin(), GetParam().quarterInch, 1e-9);
}

TEST_P(WorkingUnitCases, AValueWrittenInAUnitReadsBackUnchanged) {
    CardPageSetup page;
    page.SetUnit(GetParam().unit);
    page.SetRightMargin(GetParam().quarterInch);
    page.SetUnit(LengthUnit::Millimetres);
    page.SetUnit(GetParam().unit);
    EXPECT_NEAR(page.RightMargin(), GetParam().quarterInch, 1e-9);
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
    page.SetUnit(LengthUnit::Inches);
    page.SetTopMargin(0.25);
    page.SetUnit(LengthUnit::Millimetres);
    EXPECT_EQ(RoundHalfEven(page.TopMargin() * 100), 635);
}

TEST(CardPageSetup, LandscapeSwapsWidthAndHeight) {
    CardPageSetup page;
    page.SetUnit(LengthUnit::Millimetres);
    page.SetPaperWidth(210);
    page.SetPaperHeight(297);
    page.SetOrientation(PageOrientation::Landscape);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 210);

    // A size given while landscape is the landscape size.
    page.SetPaperWidth(297.01);
    page.SetPaperHeight(209.97);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 297.01);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 209.97);
    EXPECT_NEAR(page.PaperWidth() / 3, 99.0, 0.005);
    page.SetOrientation(PageOrientation::Portrait);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 209.97);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 297.01);
}

TEST(CardPageSetup, PaperNameTakesItsSizeFromTheLookup) {
    CardPageSetup page;
    page.SetUnit(LengthUnit::Millimetres);
    page.SetPaperLookup([](std::string_view name) -> std::optional<PaperSize> {
        if (name == "Letter") return PaperSize{215.9, 279.4};
        if (name == "A5") return PaperSize{148, 210};
        return std::nullopt;
    });
    page.SetPaperName("Letter");
    EXPECT_EQ(page.PaperName(), "Letter");
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 215.9);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 279.4);

    // A name nobody offers is kept, with the size in force before.
    page.SetPaperName("");
    EXPECT_EQ(page.PaperName(), "");
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 215.9);

    page.SetOrientation(PageOrientation::Landscape);
    page.SetPaperName("A5");
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 210);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 148);
}

class PrintColumnWidthTest : public ::testing::Test {
protected:
    PrintColumnWidthTest() {
        card.Sections.resize(2);
        card.Sections[0].ColumnCount = 4;
        card.Sections[1].ColumnCount = 6;
        // 96 screen dpi: 254 mm is 960 px, a 12.7 mm margin 48 px, so the
        // printable width is 960 - 48 - 48 - 2 = 862 screen pixels.
        page.SetScreenDpi(96);
        page.SetUnit(LengthUnit::Millimetres);
        page.SetOrientation(PageOrientation::Portrait);
        page.SetPaperWidth(254);
        page.SetLeftMargin(12.7);
        page.SetRightMargin(12.7);
        page.SetUnit(LengthUnit::Inches);
    }
    MessageList messages;
    PlainNotes notes;
    Card card{messages, notes};
    CardPageSetup page;
};

TEST_F(PrintColumnWidthTest, MeasuresTheCurrentSectionInScreenPixels) {
    card.CurSection = 0;
    EXPECT_EQ(page.PrintColumnWidth(card, 2), 431);
    EXPECT_EQ(page.PrintColumnWidth(card, 3), 287);
    card.CurSection = 1;
    EXPECT_EQ(page.PrintColumnWidth(card, 3), 862);
}

TEST_F(PrintColumnWidthTest, LeavesTheUnitInPrinterPixels) {
    page.PrintColumnWidth(card, 3);
    EXPECT_EQ(page.Unit(), LengthUnit::PrinterPixels);
    page.SetPrinterDpi(600);
    EXPECT_NEAR(page.PaperWidth(), 6000, 1e-6);
}

TEST_F(PrintColumnWidthTest, FollowsTheScreenResolution) {
    page.SetScreenDpi(192);  // 1920 - 96 - 96 - 2 = 1726
    EXPECT_EQ(page.PrintColumnWidth(card, 2), 863);
}

TEST_F(PrintColumnWidthTest, ACursorOutsideTheSectionsCountsAsNarrow) {
    card.CurSection = 7;
    EXPECT_EQ(page.PrintColumnWidth(card, 2), 431);
}

}  // namespace
}  // namespace zqw
