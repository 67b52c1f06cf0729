// Packages made to do harm: names that climb out of the folder, symbolic
// links, names in other encodings, floods of entries, and ZIP bombs. Nothing
// may land outside the extraction folder, and every extraction must end
// within the package limits, having unpacked no more than they allow, with a
// message that names the limit.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "card/filelimits.h"
#include "card/zqwpackage.h"
#include "test_support.h"
#include "zipbuilder.h"

namespace zqw {
namespace {

namespace fs = std::filesystem;
using test::ZipBuilder;

// The tree under root: relative path and, for files, size.
std::vector<std::string> treeOf(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        std::string line = fs::relative(item.path(), root).string();
        if (item.is_symlink()) {
            line += " -> link";
        } else if (item.is_regular_file()) {
            line += " " + std::to_string(item.file_size());
        }
        found.push_back(line);
    }
    std::sort(found.begin(), found.end());
    return found;
}

class HostilePackage : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.root() / "inside" / "out");
        out = dir.path("inside/out");
        package = dir.path("inside/pack.zqw");
    }

    // Opens and extracts every file entry, as opening a package does, and
    // returns the reader's error ("" when all went well).
    std::string extract(const std::string& bytes) {
        test::writeFile(package, bytes);
        unpacked = 0;
        PackageReader reader(package);
        std::string error = reader.error();
        if (reader.isOpen()) {
            notices = reader.notices();
            first = reader.firstFileEntry();
            reader.setProgress([this](uint64_t done, uint64_t total) {
                unpacked = std::max(unpacked, done);
                // A reader gone past what the entries declare is stopped
                // here, so a runaway bomb fails the test rather than filling
                // the disk.
                return done <= total && done <= kMostPackageBytes;
            });
            if (!reader.extractMatching(out, "*.ccf") || !reader.extractMatching(out, "*.txt"))
                error = reader.error();
        }
        return error;
    }

    // Everything outside out/ is as it was: the package alone.
    void expectNothingOutside() {
        std::vector<std::string> tree = treeOf(dir.root());
        tree.erase(std::remove_if(
                       tree.begin(), tree.end(),
                       [](const std::string& line) { return line.rfind("inside/out/", 0) == 0; }),
                   tree.end());
        const std::string packageLine = "inside/pack.zqw " + std::to_string(fs::file_size(package));
        EXPECT_EQ(tree, (std::vector<std::string>{"inside", "inside/out", packageLine}));
    }

    test::TempDir dir;
    std::string out;
    std::string package;
    std::vector<std::string> notices;
    int first = -2;
    // The most bytes the last extract() said it had unpacked.
    uint64_t unpacked = 0;
};

void putLittleEndian(std::string& bytes, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

// An end of directory record declaring count entries in an empty directory.
std::string directoryDeclaring(uint16_t count) {
    std::string bytes = "PK\x05\x06";
    putLittleEndian(bytes, 0, 4);      // this disk, the directory's disk
    putLittleEndian(bytes, count, 2);  // entries on this disk
    putLittleEndian(bytes, count, 2);  // entries in all
    putLittleEndian(bytes, 0, 4);      // directory size
    putLittleEndian(bytes, 0, 4);      // directory offset
    putLittleEndian(bytes, 0, 2);      // comment length
    return bytes;
}

// The same in ZIP64 form, where the count takes 64 bits.
std::string zip64DirectoryDeclaring(uint64_t count) {
    std::string bytes = "PK\x06\x06";
    putLittleEndian(bytes, 44, 8);  // size of the rest of this record
    putLittleEndian(bytes, 45, 2);  // made by
    putLittleEndian(bytes, 45, 2);  // needed to extract
    putLittleEndian(bytes, 0, 8);   // this disk, the directory's disk
    putLittleEndian(bytes, count, 8);
    putLittleEndian(bytes, count, 8);
    putLittleEndian(bytes, 0, 8);  // directory size
    putLittleEndian(bytes, 0, 8);  // directory offset
    bytes += "PK\x06\x07";
    putLittleEndian(bytes, 0, 4);  // the ZIP64 record's disk
    putLittleEndian(bytes, 0, 8);  // where the ZIP64 record is
    putLittleEndian(bytes, 1, 4);  // disks in all
    bytes += "PK\x05\x06";
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 0xFFFF, 2);
    putLittleEndian(bytes, 0xFFFF, 2);
    putLittleEndian(bytes, 0xFFFFFFFF, 4);
    putLittleEndian(bytes, 0xFFFFFFFF, 4);
    putLittleEndian(bytes, 0, 2);
    return bytes;
}

TEST_F(HostilePackage, ClimbingNamesLandInsideTheFolder) {
    const std::pair<std::string, std::string> names[] = {{"../../escape.ccf", "escape.ccf"},
                                                         {"/tmp/absolute.txt", "absolute.txt"},
                                                         {"..\\..\\windows.txt", "windows.txt"},
                                                         {"C:\\Cards\\drive.ccf", "drive.ccf"},
                                                         {"a/../../../deep.txt", "deep.txt"},
                                                         {"./dot.txt", "dot.txt"},
                                                         {"..", ""},
                                                         {"../", ""}};
    ZipBuilder zip;
    std::vector<std::string> expected;
    for (const auto& [stored, bare] : names) {
        zip.add(ZipBuilder::stored(stored, stored));
        if (!bare.empty()) expected.push_back(bare + " " + std::to_string(stored.size()));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(extract(zip.bytes()), "");
    expectNothingOutside();
    EXPECT_EQ(treeOf(out), expected);
}

TEST_F(HostilePackage, SymbolicLinkEntriesAreNeitherMadeNorFollowed) {
    ZipBuilder zip;
    ZipBuilder::Entry link = ZipBuilder::stored("club.ccf", "/etc/passwd");
    link.unixMode = S_IFLNK | 0777;
    zip.add(link);
    zip.add(ZipBuilder::stored("notes.txt", "notes"));
    // A link already in the folder is replaced, not written through.
    test::writeFile(dir.path("inside/secret.txt"), "secret");
    fs::create_symlink(dir.path("inside/secret.txt"), dir.path("inside/out/notes.txt"));
    fs::remove(dir.path("inside/secret.txt"));

    EXPECT_EQ(extract(zip.bytes()), "");
    EXPECT_EQ(notices,
              std::vector<std::string>{"club.ccf is a symbolic link; it is not extracted"});
    EXPECT_EQ(first, 1);  // the link is not the card
    expectNothingOutside();
    EXPECT_EQ(treeOf(out), std::vector<std::string>{"notes.txt 5"});
}

TEST_F(HostilePackage, NamesInOtherEncodingsKeepTheirBytes) {
    ZipBuilder zip;
    // Windows-1252 (as the editor's packages name files), code page 437,
    // and UTF-8 flagged as such; bytes that are no UTF-8 at all.
    zip.add(ZipBuilder::stored("K\xE4se.ccf", "cp1252"));
    zip.add(
        ZipBuilder::stored("Gr\x81\xE1"
                           "e.txt",
                           "cp437"));
    ZipBuilder::Entry utf8 = ZipBuilder::stored("N\xC3\xB6te.txt", "utf8");
    utf8.utf8Name = true;
    zip.add(utf8);
    zip.add(ZipBuilder::stored("\xFF\xFE\x01\x7F.txt", "odd"));
    EXPECT_EQ(extract(zip.bytes()), "");
    expectNothingOutside();
    EXPECT_EQ(treeOf(out), (std::vector<std::string>{"Gr\x81\xE1"
                                                     "e.txt 5",
                                                     "K\xE4se.ccf 6", "N\xC3\xB6te.txt 4",
                                                     "\xFF\xFE\x01\x7F.txt 3"}));
}

TEST_F(HostilePackage, AFloodOfEntriesIsRefusedBeforeItIsRead) {
    ZipBuilder many;
    for (size_t i = 0; i <= kMostPackageEntries * 50; ++i)
        many.add(ZipBuilder::stored("e" + std::to_string(i) + ".txt", "x"));
    // Directories that declare entries they do not hold: a reader that read
    // even one entry before counting them would find it missing and call the
    // package damaged instead.
    const std::pair<const char*, std::string> floods[] = {
        {"fifty times the limit", many.bytes()},
        {"one past the limit, declared only",
         directoryDeclaring(static_cast<uint16_t>(kMostPackageEntries + 1))},
        {"2^40 in a ZIP64 directory, declared only", zip64DirectoryDeclaring(uint64_t{1} << 40)},
    };
    for (const auto& [what, bytes] : floods) {
        SCOPED_TRACE(what);
        EXPECT_EQ(extract(bytes), "the package holds more than 1000 entries");
        EXPECT_EQ(unpacked, 0u);
        expectNothingOutside();
        EXPECT_TRUE(treeOf(out).empty());
    }

    // At the limit the package opens.
    ZipBuilder enough;
    for (size_t i = 0; i < kMostPackageEntries; ++i)
        enough.add(ZipBuilder::stored("e" + std::to_string(i) + ".txt", "x"));
    test::writeFile(package, enough.bytes());
    PackageReader reader(package);
    EXPECT_TRUE(reader.isOpen()) << reader.error();
    EXPECT_EQ(reader.storedNames().size(), kMostPackageEntries);
}

TEST_F(HostilePackage, ABombThatDeclaresItsSizeIsRefused) {
    // Four megabytes that unpack to two gigabytes.
    ZipBuilder zip;
    ZipBuilder::Entry bomb;
    bomb.name = "club.ccf";
    bomb.data = test::deflatedZeros(2048);
    bomb.unpacked = uint64_t{2048} << 20;
    bomb.deflated = true;
    zip.add(bomb);
    EXPECT_EQ(extract(zip.bytes()), "club.ccf unpacks to more than 32 MB");
    EXPECT_EQ(unpacked, 0u);  // refused on its word, before any unpacking
    expectNothingOutside();
    EXPECT_TRUE(treeOf(out).empty());
}

TEST_F(HostilePackage, ABombThatLiesAboutItsSizeStopsAtTheLie) {
    ZipBuilder zip;
    zip.add(ZipBuilder::stored("notes.txt", "fine"));
    ZipBuilder::Entry bomb;
    bomb.name = "club.ccf";
    bomb.data = test::deflatedZeros(2048);
    bomb.unpacked = 1000;
    bomb.deflated = true;
    zip.add(bomb);
    test::writeFile(dir.path("inside/out/club.ccf"), "previous card");
    EXPECT_EQ(extract(zip.bytes()), "club.ccf: the entry holds more data than the package states");
    EXPECT_LE(unpacked, bomb.unpacked);  // not a byte written past the lie
    expectNothingOutside();
    // The old card stays whole and nothing half-written is left.
    EXPECT_EQ(treeOf(out), std::vector<std::string>{"club.ccf 13"});
}

TEST_F(HostilePackage, EntriesSharingOneStreamAreRefused) {
    ZipBuilder zip;
    ZipBuilder::Entry first;
    first.name = "a.txt";
    first.data = test::deflatedZeros(30);
    first.unpacked = uint64_t{30} << 20;
    first.deflated = true;
    zip.add(first);
    for (int i = 1; i < 20; ++i) {
        ZipBuilder::Entry again = first;
        again.name = "copy" + std::to_string(i) + ".txt";
        again.sharesDataOf = 0;
        zip.add(again);
    }
    EXPECT_EQ(extract(zip.bytes()), "the entries a.txt and copy1.txt share their data");
    expectNothingOutside();
    EXPECT_TRUE(treeOf(out).empty());
}

TEST_F(HostilePackage, EntriesTogetherOverTheLimitAreRefused) {
    ZipBuilder zip;
    for (int i = 0; i < 3; ++i) {
        ZipBuilder::Entry part;
        part.name = "part" + std::to_string(i) + ".txt";
        part.data = test::deflatedZeros(30);
        part.unpacked = uint64_t{30} << 20;
        part.deflated = true;
        zip.add(part);
    }
    EXPECT_EQ(extract(zip.bytes()), "the entries unpack to more than 64 MB");
    EXPECT_TRUE(treeOf(out).empty());
}

TEST_F(HostilePackage, ProgressIsReportedAndCanStopTheExtraction) {
    ZipBuilder zip;
    const std::string card(3 << 20, 'c');
    zip.add(ZipBuilder::deflated("club.ccf", card));
    zip.add(ZipBuilder::deflated("notes.txt", std::string(1 << 20, 'n')));
    test::writeFile(package, zip.bytes());

    PackageReader reader(package);
    ASSERT_TRUE(reader.isOpen()) << reader.error();
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    reader.setProgress([&calls](uint64_t done, uint64_t total) {
        calls.emplace_back(done, total);
        return true;
    });
    ASSERT_TRUE(reader.extractMatching(out, "*"));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::make_pair(uint64_t{4} << 20, uint64_t{4} << 20));
    EXPECT_TRUE(std::is_sorted(calls.begin(), calls.end()));

    // Cancelled half way: the file being written is dropped.
    fs::remove_all(out);
    fs::create_directory(out);
    reader.setProgress([](uint64_t done, uint64_t) { return done < (1 << 20); });
    EXPECT_FALSE(reader.extractMatching(out, "*"));
    EXPECT_EQ(reader.error(), "Extraction cancelled");
    EXPECT_TRUE(treeOf(out).empty());
}

}  // namespace
}  // namespace zqw
