#include "render/reportarchive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <numeric>

#include "card/card.h"
#include "card/plainnotes.h"
#include "render/cardfonts.h"
#include "render/cardpagepainter.h"
#include "render/notespagepainter.h"
#include "test_support.h"

namespace {

using zqw::test::TempDir;

const std::string kTemplatePath = std::string(ZQW_SOURCE_DIR) + "/data/zqw.sel";

// A page drawn at 100 dots per inch into an image. It is drawn twice and
// the second drawing kept: the first drawing of a suit's shape fills Qt's
// glyph cache and may differ from every later one in a few anti-aliased
// pixels, which would make two sound drawings of one page look different.
QImage pageImage(PagedReport& report, int page) {
    report.layOut(100);
    const QRect paper = report.pageLayout().fullRectPixels(100);
    QImage image(paper.size(), QImage::Format_RGB32);
    for (int drawing = 0; drawing < 2; ++drawing) {
        image.fill(Qt::white);
        QPainter painter(&image);
        report.paintPage(painter, page);
    }
    return image;
}

// Every page of both reports is drawn alike, and something is drawn.
void expectSamePages(PagedReport& expected, PagedReport& actual) {
    expected.layOut(100);
    actual.layOut(100);
    ASSERT_GT(expected.pageCount(), 0);
    ASSERT_EQ(actual.pageCount(), expected.pageCount());
    EXPECT_TRUE(actual.pageLayout().isEquivalentTo(expected.pageLayout()));
    for (int page = 0; page < expected.pageCount(); ++page) {
        const QImage drawn = pageImage(expected, page);
        QImage blank(drawn.size(), QImage::Format_RGB32);
        blank.fill(Qt::white);
        EXPECT_NE(drawn, blank) << "page " << page;
        EXPECT_EQ(pageImage(actual, page), drawn) << "page " << page;
    }
}

class ReportArchiveTest : public ::testing::Test {
protected:
    ReportArchiveTest() : fonts_(QStringLiteral(ZQW_PROGRAM_DIR)) {
        templateBytes_ = zqw::test::readFile(kTemplatePath);
        card_.parseTemplate(templateBytes_);
        card_.cardFileName = std::string(ZQW_SOURCE_DIR) + "/tests/print/filled.ccf";
        card_.readCardFile();
        notesLines_ = {"Supplementary notes", "", "Note:..3: Bergen raises",
                       "After a 1] or 1[ opening: 3} mixed, 3{ limit"};
    }

    ReportArchive cardArchive(zqw::CardPages pages = zqw::CardPages::All) {
        std::optional<ReportArchive> archive =
            ReportArchive::ofCard(templateBytes_, card_, layout_, fontSettings_, pages);
        EXPECT_TRUE(archive);
        return archive ? *archive : ReportArchive();
    }

    ReportArchive::NotesPrintout notesPrintout() const {
        return {notesLines_,
                "c:\\cards\\ours.txt",
                {"Alice Marlow", "Ben Okafor"},
                QPageSize(QPageSize::Letter),
                zqw::NotesSelection{3, 0, 4, 12},
                QDate(2024, 3, 9)};
    }

    // Bytes of a sound archive, passed through change before reading.
    static std::optional<ReportArchive> reread(const ReportArchive& archive, QString* error) {
        return ReportArchive::fromBytes(archive.toBytes(), error);
    }

    CardFontRegistration fonts_;
    std::string templateBytes_;
    zqw::MessageList messages_;
    zqw::PlainNotes notes_;
    zqw::Card card_{messages_, notes_};
    PrintLayoutSettings layout_;
    DisplayFontSettings fontSettings_;
    std::vector<std::string> notesLines_;
};

TEST_F(ReportArchiveTest, SavedCardComesBackAsPrinted) {
    ASSERT_TRUE(messages_.messages.empty());
    const ReportArchive archive = cardArchive();
    TempDir dir;
    const QString path = QString::fromStdString(dir.path("card.raf"));
    QString error;
    ASSERT_TRUE(archive.save(path, &error)) << error.toStdString();
    std::optional<ReportArchive> loaded = ReportArchive::load(path, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(loaded->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(loaded->pageLayout().pageSize().isEquivalentTo(QPageSize(QPageSize::A4)));

    CardPagePainter printed(card_, layout_, fontSettings_, zqw::CardPages::All);
    expectSamePages(printed, *loaded);
    // Written again, it is the same file; it does not say where the notes
    // are kept.
    EXPECT_EQ(loaded->toBytes(), archive.toBytes());
    ASSERT_TRUE(card_.notesFileName.ends_with("/tests/print/filled-notes.txt"));
    EXPECT_FALSE(archive.toBytes().contains("filled-notes"));
}

TEST_F(ReportArchiveTest, KeepsThePrintSettingsAndTheCardAsTheyWere) {
    layout_.pageSetup().setPaperName("Letter");
    layout_.pageSetup().setOrientation(zqw::PageOrientation::Portrait);
    layout_.pageSetup().setUnit(zqw::LengthUnit::Millimetres);
    layout_.pageSetup().setLeftMargin(20);
    layout_.pageSetup().setTopMargin(12.5);
    layout_.setLayoutColumns(2);
    layout_.setSuitModeIndex(static_cast<int>(SuitPrintMode::BitMaps));
    layout_.setOpenBidsOnAllLines(false);
    fontSettings_.pointSize = 10;
    const ReportArchive archive = cardArchive(zqw::CardPages::FirstOnly);

    // What the user changes afterwards is not what was printed.
    CardPagePainter printed(card_, layout_, fontSettings_, zqw::CardPages::FirstOnly);
    printed.layOut(100);
    const QImage before = pageImage(printed, 0);
    card_.rows[card_.lines[card_.sections[0].firstLine].firstRow].text = "Changed\t";
    layout_.setLayoutColumns(3);
    fontSettings_.pointSize = 7;

    QString error;
    std::optional<ReportArchive> loaded = reread(archive, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    loaded->layOut(100);
    // Larger type in two columns: the first page's rows continue on a page
    // of their own, as printed.
    ASSERT_EQ(loaded->pageCount(), printed.pageCount());
    EXPECT_EQ(loaded->pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_TRUE(loaded->pageLayout().isEquivalentTo(printed.pageLayout()));
    EXPECT_EQ(loaded->pageLayout().pageSize().name(), QStringLiteral("Letter"));
    EXPECT_EQ(pageImage(*loaded, 0), before);
}

TEST_F(ReportArchiveTest, SavedNotesComeBackAsPrinted) {
    QString error;
    std::optional<ReportArchive> archive =
        ReportArchive::ofNotes(notesPrintout(), layout_, fontSettings_, &error);
    ASSERT_TRUE(archive) << error.toStdString();
    std::optional<ReportArchive> loaded = reread(*archive, &error);
    ASSERT_TRUE(loaded) << error.toStdString();

    const ReportArchive::NotesPrintout notes = notesPrintout();
    NotesPagePainter printed(notes.lines, notes.notesFileName, notes.titleTexts, layout_,
                             fontSettings_, notes.paper);
    printed.setSelection(notes.selection);
    printed.setPrintDate(notes.printDate);
    expectSamePages(printed, *loaded);
    EXPECT_EQ(loaded->toBytes(), archive->toBytes());
    // The date of the printout, not today's.
    printed.setPrintDate(QDate(2024, 3, 10));
    EXPECT_NE(pageImage(printed, 0), pageImage(*loaded, 0));
}

// Offsets of the fields after the paper name, in a card archive of A4.
struct Layout {
    static constexpr int kVersion = 8;
    static constexpr int kKind = 12;
    static constexpr int kPaperName = 13;
    static constexpr int kWidth = kPaperName + 4 + 2;  // "A4"
    static constexpr int kHeight = kWidth + 4;
    static constexpr int kLandscape = kHeight + 4;
    static constexpr int kLeftMargin = kLandscape + 1 + 8;
    static constexpr int kColumns = kLandscape + 1 + 16;
    static constexpr int kSuitMode = kColumns + 1;
    static constexpr int kFontFamily = kSuitMode + 4;
};

QByteArray withU32(QByteArray bytes, int offset, quint32 value) {
    qToBigEndian(value, bytes.data() + offset);
    return bytes;
}

QByteArray withByte(QByteArray bytes, int offset, char value) {
    bytes[offset] = value;
    return bytes;
}

TEST_F(ReportArchiveTest, DamagedForeignOrOldFilesAreRefusedWithAReason) {
    const QByteArray good = cardArchive().toBytes();
    ASSERT_EQ(good.mid(Layout::kPaperName, 6), QByteArray("\0\0\0\2A4", 6));
    const int familyLength = qFromBigEndian<quint32>(good.constData() + Layout::kFontFamily);
    const int pagesAt = Layout::kFontFamily + 4 + familyLength + 2 + 4;
    const int templateAt = pagesAt + 1;
    const int cardAt = templateAt + 4 + int(templateBytes_.size());
    ASSERT_EQ(qFromBigEndian<quint32>(good.constData() + cardAt) + cardAt + 4, good.size());

    QByteArray notesBytes;
    {
        std::optional<ReportArchive> notes =
            ReportArchive::ofNotes(notesPrintout(), layout_, fontSettings_);
        ASSERT_TRUE(notes);
        notesBytes = notes->toBytes();
    }
    // The line count: the last line is 4 bytes of length and its text.
    const int lineCountAt =
        notesBytes.size() - 4 - 4 * int(notesLines_.size()) -
        int(std::accumulate(notesLines_.begin(), notesLines_.end(), size_t{0},
                            [](size_t sum, const std::string& line) { return sum + line.size(); }));
    ASSERT_EQ(qFromBigEndian<quint32>(notesBytes.constData() + lineCountAt), notesLines_.size());

    // What earlier builds wrote: drawn pages, which are not read at all.
    QByteArray drawnPages = good.left(8) + QByteArray("\0\0\0\1\0\0\0\1", 8);
    drawnPages += QByteArray(101 - drawnPages.size(), '\x7f');
    QByteArray brokenCard = good;
    brokenCard.replace(cardAt + 4, 6, "ZQW9.9");

    struct Case {
        const char* what;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "not a report archive"},
        {"a PDF", QByteArray("%PDF-1.4\n%...."), "not a report archive"},
        {"drawn pages of an earlier build", drawnPages, "earlier version of the editor"},
        {"newer format", withU32(good, Layout::kVersion, 3), "does not know (version 3)"},
        {"cut in the header", good.left(10), "ends inside its header"},
        {"unknown kind", withByte(good, Layout::kKind, 7), "unknown kind"},
        {"cut in the settings", good.left(Layout::kColumns), "print settings are cut short"},
        {"a page of no width", withU32(good, Layout::kWidth, 0), "paper or margins are impossible"},
        {"a page a kilometre high", withU32(good, Layout::kHeight, 1000000000),
         "paper or margins are impossible"},
        {"margins wider than the paper", withU32(good, Layout::kLeftMargin, 290000),
         "paper or margins are impossible"},
        {"four layout columns", withByte(good, Layout::kColumns, 4),
         "print settings are impossible"},
        {"unknown suit symbols", withByte(good, Layout::kSuitMode, 9),
         "print settings are impossible"},
        {"a font name of 2 GB", withU32(good, Layout::kFontFamily, 0x7fffffff),
         "print settings are cut short"},
        {"a font of no size", withByte(good, pagesAt - 6, 0), "print settings are impossible"},
        {"a third page", withByte(good, pagesAt, 3), "pages the card does not have"},
        {"a template longer than the file", withU32(good, templateAt, 3000000),
         "its card is cut short"},
        {"cut inside the card", good.left(good.size() - 10), "its card is cut short"},
        {"a card that is not one", brokenCard, "its card or card template cannot be read"},
        {"a template of nothing", withU32(good, templateAt, 0), "is cut short"},
        {"data after the printout", good + QByteArray("xyz"), "data after the printout"},
        {"billions of notes lines", withU32(notesBytes, lineCountAt, 4000000000u),
         "claims 4000000000 notes lines"},
        {"notes cut in a line", notesBytes.left(notesBytes.size() - 3),
         "notes line 4 is cut short"},
        {"no print date", withU32(notesBytes, lineCountAt - 21, 0),
         "print date or selection is impossible"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ReportArchive::fromBytes(c.bytes, &error)) << c.what;
        EXPECT_TRUE(error.contains(QLatin1String(c.message)))
            << c.what << ": " << error.toStdString();
    }
}

TEST_F(ReportArchiveTest, OnlyRegularFilesOfSensibleSizeAreRead) {
    TempDir dir;
    QString error;
    EXPECT_FALSE(ReportArchive::load(QStringLiteral("/nonexistent/card.raf"), &error));
    EXPECT_TRUE(error.startsWith(QLatin1String("Cannot open file /nonexistent/card.raf")))
        << error.toStdString();

    // A pipe nobody writes to would wait for ever; a device never ends.
    const std::string fifo = dir.path("pipe.raf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const QString& path : {QString::fromStdString(fifo), QStringLiteral("/dev/zero")}) {
        EXPECT_FALSE(ReportArchive::load(path, &error));
        EXPECT_EQ(error, path + QLatin1String(" is not a regular file.")) << error.toStdString();
    }

    // Larger than any archive: refused by its size, before it is read.
    const QString large = QString::fromStdString(dir.path("large.raf"));
    {
        QFile file(large);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.write(cardArchive().toBytes()) > 0);
        ASSERT_TRUE(file.resize(ReportArchive::kMaxFileBytes + 1));
    }
    EXPECT_FALSE(ReportArchive::load(large, &error));
    EXPECT_TRUE(error.contains(QLatin1String("too large to be a report archive")))
        << error.toStdString();
}

// The fuzz target starts from these; they must get past the checks to reach
// the card, template and notes readers and the painters.
TEST(ReportArchiveSeeds, FuzzSeedsAreSoundArchives) {
    const QDir seeds(QStringLiteral(ZQW_SOURCE_DIR "/tests/fuzz/corpus/reportarchive"));
    const QStringList names = seeds.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QString error;
        std::optional<ReportArchive> archive = ReportArchive::load(seeds.filePath(name), &error);
        ASSERT_TRUE(archive) << error.toStdString();
        archive->layOut(100);
        EXPECT_GT(archive->pageCount(), 0) << name.toStdString();
    }
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
