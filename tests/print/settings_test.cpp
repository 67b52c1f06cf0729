#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>

#include "platform/inifile.h"
#include "render/cardfonts.h"
#include "render/displayfontsettings.h"
#include "render/printlayoutsettings.h"
#include "test_support.h"

namespace {

TEST(DisplayFontSettings, ReadsFontAndSuitKeysWithDefaults) {
    struct Case {
        const char* ini;
        QString family;
        int size;
        int club;
        int spade;
    };
    const Case cases[] = {
        {"", QStringLiteral("CardArial"), 7, '}', '['},
        {"[setup]\r\nDFont=CardTimes\r\nDSize=9\r\nclub=65\r\nspade=66\r\n",
         QStringLiteral("CardTimes"), 9, 65, 66},
        // Values the fonts cannot use keep their defaults.
        {"[setup]\r\nDFont=\r\nDSize=0\r\nclub=300\r\nSpade=x\r\n", QStringLiteral("CardArial"), 7,
         '}', '['},
    };
    for (const Case& c : cases) {
        zqw::test::TempDir dir;
        zqw::test::writeFile(dir.path("zqwcce.ini"), c.ini);
        const IniFile ini(QString::fromStdString(dir.path("zqwcce.ini")));
        const DisplayFontSettings fonts = DisplayFontSettings::read(ini);
        EXPECT_EQ(fonts.family, c.family) << c.ini;
        EXPECT_EQ(fonts.pointSize, c.size) << c.ini;
        EXPECT_EQ(fonts.suitChars.club, c.club) << c.ini;
        EXPECT_EQ(fonts.suitChars.spade, c.spade) << c.ini;
        EXPECT_EQ(fonts.suitChars.heart, ']') << c.ini;
    }
}

TEST(CardFontRegistration, RegistersTheFourFontsAndReportsMissingOnes) {
    {
        const CardFontRegistration fonts(QStringLiteral(ZQW_PROGRAM_DIR));
        EXPECT_TRUE(fonts.failedFiles().isEmpty()) << fonts.failedFiles().join(u' ').toStdString();
        for (const char* family : {"CardArial", "CardCourier", "CardTimes", "CardFootlight"}) {
            EXPECT_TRUE(fonts.families().contains(QLatin1String(family))) << family;
        }
        EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("CardCourier")));
    }
    EXPECT_FALSE(QFontDatabase::families().contains(QStringLiteral("CardCourier")));

    zqw::test::TempDir empty;
    const CardFontRegistration none(QString::fromStdString(empty.root().string()));
    EXPECT_TRUE(none.families().isEmpty());
    EXPECT_EQ(none.failedFiles().size(), 4);
}

TEST(PrintLayoutSettings, PaperNamesAreTakenAsPeopleWriteThem) {
    struct Case {
        const char* sheet;
        std::string paper;  // the paper the card prints on
        double widthMm;     // held upright
        bool reported;
    };
    const Case cases[] = {
        {"A4", "A4", 210, false},
        {"a4", "A4", 210, false},
        {"Letter", "Letter / ANSI A", 215.9, false},
        {"LETTER", "Letter / ANSI A", 215.9, false},
        {"ansi a", "Letter / ANSI A", 215.9, false},
        {"Letter / ANSI A", "Letter / ANSI A", 215.9, false},
        {"legal", "Legal", 215.9, false},
        {" A5 ", "A5", 148, false},
        {"Foolscap Royal", "A4", 210, true},
        {"", "A4", 210, true},
    };
    for (const Case& c : cases) {
        zqw::test::TempDir dir;
        zqw::test::writeFile(dir.path("zqwcce.ini"),
                             std::string("[setup]\r\nOrient=0\r\nSheet=") + c.sheet + "\r\n");
        const IniFile ini(QString::fromStdString(dir.path("zqwcce.ini")));
        PrintLayoutSettings layout;
        const QStringList messages = layout.read(ini);
        EXPECT_EQ(layout.pageSetup().paperName(), c.paper) << c.sheet;
        zqw::CardPageSetup page = layout.pageSetup();
        page.setUnit(zqw::LengthUnit::Millimetres);
        EXPECT_NEAR(page.paperWidth(), c.widthMm, 0.5) << c.sheet;
        EXPECT_EQ(messages.size(), c.reported ? 1 : 0) << c.sheet;
        if (c.reported) {
            EXPECT_TRUE(messages.value(0).contains(QLatin1String(c.sheet))) << c.sheet;
        }
    }
}

TEST(PrintLayoutSettings, StoredMarginsThatLeaveNoRoomAreReportedAndReplaced) {
    struct Case {
        const char* keys;
        const char* words;  // in the message; empty when none is expected
    };
    const Case cases[] = {
        {"leftm=25\r\nrightm=25\r\n", ""},
        // Landscape A4 is 11.69 in across and 8.27 in down.
        {"leftm=600\r\nrightm=600\r\n", "left and right margins (6.00 in and 6.00 in)"},
        {"leftm=540\r\nrightm=540\r\n", "left and right margins"},  // less than an inch left
        {"topm=400\r\nBottomm=450\r\n", "top and bottom margins (4.00 in and 4.50 in)"},
        {"unit=1\r\ntopm=10000\r\nbottomm=10000\r\n", "(100.00 mm and 100.00 mm)"},
    };
    for (const Case& c : cases) {
        zqw::test::TempDir dir;
        zqw::test::writeFile(dir.path("zqwcce.ini"), std::string("[setup]\r\n") + c.keys);
        const IniFile ini(QString::fromStdString(dir.path("zqwcce.ini")));
        PrintLayoutSettings layout;
        const QStringList messages = layout.read(ini);
        if (*c.words == 0) {
            EXPECT_TRUE(messages.isEmpty()) << c.keys;
            continue;
        }
        ASSERT_EQ(messages.size(), 1) << c.keys;
        EXPECT_TRUE(messages[0].contains(QLatin1String(c.words))) << messages[0].toStdString();
        EXPECT_TRUE(layout.marginProblem().isEmpty()) << c.keys;
        zqw::CardPageSetup page = layout.pageSetup();
        page.setUnit(zqw::LengthUnit::Inches);
        EXPECT_DOUBLE_EQ(page.leftMargin(), 0.25) << c.keys;
        EXPECT_DOUBLE_EQ(page.bottomMargin(), 0.25) << c.keys;
    }
}

}  // namespace
