#include "render/reportarchive.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "card/card.h"
#include "card/plainnotes.h"
#include "render/cardfonts.h"
#include "render/cardpagepainter.h"
#include "test_support.h"

namespace {

using zqw::test::TempDir;

class ReportArchiveTest : public ::testing::Test {
protected:
    ReportArchiveTest() : fonts_(QStringLiteral(ZQW_PROGRAM_DIR)) {
        card_.parseTemplateFile(std::string(ZQW_SOURCE_DIR) + "/data/zqw.sel");
        card_.cardFileName = std::string(ZQW_SOURCE_DIR) + "/tests/print/filled.ccf";
        card_.readCardFile();
    }

    // A page drawn at 100 dots per inch into an image.
    static QImage pageImage(PagedReport& report, int page) {
        report.layOut(100);
        const QRect paper = report.pageLayout().fullRectPixels(100);
        QImage image(paper.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        report.paintPage(painter, page);
        return image;
    }

    QByteArray archiveBytes() {
        CardPagePainter pages(card_, layout_, fontSettings_, zqw::CardPages::All);
        return ReportArchive::record(pages, 100).toBytes();
    }

    CardFontRegistration fonts_;
    zqw::MessageList messages_;
    zqw::PlainNotes notes_;
    zqw::Card card_{messages_, notes_};
    PrintLayoutSettings layout_;
    DisplayFontSettings fontSettings_;
};

TEST_F(ReportArchiveTest, SavedPagesComeBackAsDrawn) {
    ASSERT_TRUE(messages_.messages.empty());
    CardPagePainter pages(card_, layout_, fontSettings_, zqw::CardPages::All);
    const ReportArchive recorded = ReportArchive::record(pages, 100);
    ASSERT_EQ(recorded.pageCount(), 2);

    TempDir dir;
    const QString path = QString::fromStdString(dir.path("card.raf"));
    QString error;
    ASSERT_TRUE(recorded.save(path, &error)) << error.toStdString();
    std::optional<ReportArchive> loaded = ReportArchive::load(path, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(loaded->pageCount(), 2);
    EXPECT_EQ(loaded->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(loaded->pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A4)));

    for (int page = 0; page < 2; ++page) {
        const QImage drawn = pageImage(pages, page);
        const QImage replayed = pageImage(*loaded, page);
        ASSERT_EQ(drawn.size(), replayed.size());
        // Something was drawn, and the archive draws it again.
        EXPECT_NE(drawn, QImage(drawn.size(), QImage::Format_RGB32)) << page;
        // Text and lines may fall on slightly different sub-pixels when
        // replayed; seen at a quarter of the size the pages are alike.
        const QSize small = drawn.size() / 4;
        const QImage a = drawn.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage b = replayed.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 differing = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                differing += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 48 ? 1 : 0;
            }
        }
        EXPECT_LT(differing, a.width() * a.height() / 200) << "page " << page;
    }
}

TEST_F(ReportArchiveTest, DamagedOrForeignFilesAreRefusedWithAReason) {
    const QByteArray good = archiveBytes();
    ASSERT_TRUE(ReportArchive::fromBytes(good));
    const int header = 8 + 4 + 4 + 8 + 8 + 1 + 8;  // up to the first page's size

    const auto withUInt = [&](int offset, quint32 value) {
        QByteArray bytes = good;
        QDataStream(&bytes, QIODevice::ReadWrite).device()->seek(offset);
        QDataStream out(&bytes, QIODevice::ReadWrite);
        out.device()->seek(offset);
        out << value;
        return bytes;
    };
    const auto withDouble = [&](int offset, double value) {
        QByteArray bytes = good;
        QDataStream out(&bytes, QIODevice::ReadWrite);
        out.device()->seek(offset);
        out << value;
        return bytes;
    };
    const auto flipped = [&](int offset) {
        QByteArray bytes = good;
        bytes[offset] = char(bytes[offset] ^ 0x5a);
        return bytes;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "not a report archive"},
        {"a PDF", QByteArray("%PDF-1.4\n%...."), "not a report archive"},
        {"newer format", withUInt(8, 2), "does not know (version 2)"},
        {"no pages", withUInt(12, 0), "claims 0 pages"},
        {"too many pages", withUInt(12, 4000000000u), "claims 4000000000 pages"},
        {"cut in the header", good.left(20), "ends inside its header"},
        {"a page too small to show", withDouble(24, 0.0045),
         "page size or resolution is impossible"},
        {"a page of no width", withDouble(16, 0), "page size or resolution is impossible"},
        {"page larger than the file", withUInt(header, 0x7fffffff), "page 1 is cut short"},
        {"cut inside a page", good.left(good.size() - 10), "page 2 is cut short"},
        {"a changed byte in a page", flipped(header + 4 + 40), "page 1 cannot be read"},
        {"data after the last page", good + QByteArray("xyz"), "data after the last page"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ReportArchive::fromBytes(c.bytes, &error)) << c.what;
        EXPECT_TRUE(error.contains(QLatin1String(c.message)))
            << c.what << ": " << error.toStdString();
    }

    QString error;
    EXPECT_FALSE(ReportArchive::load(QStringLiteral("/nonexistent/card.raf"), &error));
    EXPECT_TRUE(error.startsWith(QLatin1String("Cannot open file /nonexistent/card.raf")))
        << error.toStdString();
}

TEST(ReportArchiveFilter, FirstEntryMatchesTheArchivesItShows) {
    const QString filter = ReportArchive::fileFilter();
    const QStringList entries = filter.split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], QStringLiteral("Report archive files (*.raf)"));
    // Qt takes the patterns from the parentheses of the shown text.
    const QString pattern = entries[0].section(u'(', 1).chopped(1);
    EXPECT_TRUE(QDir::match(pattern, QStringLiteral("card.raf")));
    EXPECT_FALSE(QDir::match(pattern, QStringLiteral("card.paf")));
    EXPECT_EQ(ReportArchive::defaultSuffix(), QStringLiteral("raf"));
}

}  // namespace
