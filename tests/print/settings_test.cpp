#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>

#include "platform/inifile.h"
#include "render/cardfonts.h"
#include "render/displayfontsettings.h"
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

}  // namespace
