#include "render/captiontext.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "render/cardfonts.h"

namespace {

// The first and last rows of the image that hold ink between two x
// positions; {height, -1} when none do.
std::pair<int, int> inkRows(const QImage& image, int left, int right) {
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {top, bottom};
}

// A suit printed after a capital stands as high as the capital, on the
// same line, in each card font.
TEST(DrawCaption, SuitsStandAsHighAsCapitals) {
    const CardFontRegistration fonts(QStringLiteral(ZQW_PROGRAM_DIR));
    for (const char* family : {"CardArial", "CardTimes", "CardCourier"}) {
        const QFont font = printFont(QLatin1String(family), 72, 96);
        const QFontMetricsF metrics(font);
        for (const char16_t suit : {u'\u2663', u'\u2666', u'\u2665', u'\u2660'}) {
            QImage image(300, 200, QImage::Format_RGB32);
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                painter.setPen(Qt::black);
                drawCaption(painter, QPointF(20, 150), QStringLiteral("H") + QChar(suit), font,
                            Qt::white);
            }
            const int split = 20 + qRound(metrics.horizontalAdvance(QStringLiteral("H")));
            const auto capital = inkRows(image, 0, split);
            const auto shape = inkRows(image, split, image.width());
            const int capitalHeight = capital.second - capital.first;
            ASSERT_GT(capitalHeight, 40) << family;
            ASSERT_GE(shape.second, 0) << family << " drew no suit";
            EXPECT_NEAR(shape.second - shape.first, capitalHeight, capitalHeight * 0.06)
                << family << " U+" << std::hex << int(suit);
            EXPECT_NEAR(shape.second, capital.second, capitalHeight * 0.06)
                << family << " U+" << std::hex << int(suit);
        }
    }
}

}  // namespace
