#include "card/zqwpackage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "card/noteslink.h"
#include "test_support.h"

namespace zqw {
namespace {

namespace fs = std::filesystem;

using Entries = std::vector<std::pair<std::string, std::string>>;  // stored name, content

// Makes a ZIP archive with exactly these stored names, in order, as other
// tools (or a hostile sender) could. Entries whose name ends in '/' are
// folders. With store, the data is kept uncompressed.
void makeArchive(const std::string& path, const Entries& entries, bool store = false) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr) << code;
    for (const auto& [name, content] : entries) {
        if (!name.empty() && name.back() == '/') {
            ASSERT_GE(zip_dir_add(archive, name.c_str(), ZIP_FL_ENC_RAW), 0) << name;
            continue;
        }
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_RAW);
        ASSERT_GE(index, 0) << name << ": " << zip_strerror(archive);
        if (store) {
            ASSERT_EQ(zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                               ZIP_CM_STORE, 0),
                      0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

// Every file and folder under root, as paths relative to it, sorted.
std::vector<std::string> treeOf(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        found.push_back(fs::relative(item.path(), root).string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// --- bare names -----------------------------------------------------------

struct BareNameCase {
    const char* name;
    std::string stored;
    std::string bare;
};

void PrintTo(const BareNameCase& c, std::ostream* os) { *os << c.name; }

class BareNames : public ::testing::TestWithParam<BareNameCase> {};

TEST_P(BareNames, KeepOnlyTheFileName) {
    EXPECT_EQ(packageEntryBareName(GetParam().stored), GetParam().bare);
}

INSTANTIATE_TEST_SUITE_P(
    Package, BareNames,
    ::testing::Values(BareNameCase{"plain", "club.ccf", "club.ccf"},
                      BareNameCase{"long_name_unchanged", "Our club system 2024.ccf",
                                   "Our club system 2024.ccf"},
                      BareNameCase{"folder", "cards/club.ccf", "club.ccf"},
                      BareNameCase{"backslash_folder", "C:\\Cards\\club.ccf", "club.ccf"},
                      BareNameCase{"drive_only", "C:club.ccf", "club.ccf"},
                      BareNameCase{"parent_steps", "../../etc/passwd.txt", "passwd.txt"},
                      BareNameCase{"absolute", "/tmp/outside.ccf", "outside.ccf"},
                      BareNameCase{"mixed_separators", "a/b\\..\\c.txt", "c.txt"},
                      BareNameCase{"parent_alone", "..", ""},
                      BareNameCase{"ends_in_parent", "cards/..", ""}, BareNameCase{"dot", ".", ""},
                      BareNameCase{"folder_entry", "cards/", ""},
                      BareNameCase{"drive_alone", "D:", ""}, BareNameCase{"empty", "", ""},
                      BareNameCase{"three_dots_is_a_name", "...", "..."}),
    [](const auto& info) { return std::string(info.param.name); });

// --- wildcards ------------------------------------------------------------

struct WildcardCase {
    const char* name;
    std::string file;
    std::string pattern;
    bool matches;
};

void PrintTo(const WildcardCase& c, std::ostream* os) { *os << c.name; }

class Wildcards : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcards, MatchFileNames) {
    EXPECT_EQ(matchesWildcard(GetParam().file, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Package, Wildcards,
    ::testing::Values(WildcardCase{"extension", "club.ccf", "*.ccf", true},
                      WildcardCase{"capitals", "CLUB.CCF", "*.ccf", true},
                      WildcardCase{"other_extension", "club.txt", "*.ccf", false},
                      WildcardCase{"extension_not_last", "club.ccf.txt", "*.ccf", false},
                      WildcardCase{"several_dots", "a.b.ccf", "*.ccf", true},
                      WildcardCase{"nothing_before_the_dot", ".ccf", "*.ccf", true},
                      WildcardCase{"no_dot", "ccf", "*.ccf", false},
                      WildcardCase{"question_mark", "abc", "a?c", true},
                      WildcardCase{"question_mark_needs_one", "ac", "a?c", false},
                      WildcardCase{"star_alone", "", "*", true},
                      WildcardCase{"backtracking", "aXbXc.ccf", "*X*.ccf", true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- reading and extracting ---------------------------------------------------

struct ExtractCase {
    const char* name;
    Entries entries;
    std::string pattern;
    // Files expected in the extraction folder afterwards, with contents.
    Entries files;
    int firstFileEntry;
};

void PrintTo(const ExtractCase& c, std::ostream* os) { *os << c.name; }

class Extraction : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(Extraction, WritesBareNamesIntoTheFolderOnly) {
    test::TempDir dir;
    const std::string archive = dir.path("pack.zqw");
    makeArchive(archive, GetParam().entries);
    fs::create_directories(dir.root() / "deep" / "out");
    const std::string folder = dir.path("deep/out");

    PackageReader reader(archive);
    ASSERT_TRUE(reader.isOpen()) << reader.error();
    std::vector<std::string> stored;
    for (const auto& entry : GetParam().entries) stored.push_back(entry.first);
    EXPECT_EQ(reader.storedNames(), stored);
    EXPECT_EQ(reader.firstFileEntry(), GetParam().firstFileEntry);

    std::vector<std::string> written;
    ASSERT_TRUE(reader.extractMatching(folder, GetParam().pattern, &written)) << reader.error();

    std::vector<std::string> expectedTree = {"deep", "deep/out", "pack.zqw"};
    std::vector<std::string> expectedWritten;
    for (const auto& [name, content] : GetParam().files) {
        expectedTree.push_back("deep/out/" + name);
        expectedWritten.push_back(folder + "/" + name);
        EXPECT_EQ(test::readFile(folder + "/" + name), content) << name;
    }
    std::sort(expectedTree.begin(), expectedTree.end());
    EXPECT_EQ(treeOf(dir.root()), expectedTree);
    // An entry extracted twice under the same bare name is one file.
    std::sort(written.begin(), written.end());
    written.erase(std::unique(written.begin(), written.end()), written.end());
    std::sort(expectedWritten.begin(), expectedWritten.end());
    EXPECT_EQ(written, expectedWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Package, Extraction,
    ::testing::Values(
        ExtractCase{"card_and_notes_cards_only",
                    {{"club.ccf", "ZQW1.0notes.txt\r\n"}, {"notes.txt", "Note:..1:\r\n"}},
                    "*.ccf",
                    {{"club.ccf", "ZQW1.0notes.txt\r\n"}},
                    0},
        ExtractCase{"card_and_notes_notes_only",
                    {{"club.ccf", "card"}, {"notes.txt", "Note:..1:\r\n"}},
                    "*.txt",
                    {{"notes.txt", "Note:..1:\r\n"}},
                    0},
        ExtractCase{
            "capital_extension", {{"CLUB.CCF", "card"}}, "*.ccf", {{"CLUB.CCF", "card"}}, 0},
        ExtractCase{"stored_folders_dropped",
                    {{"cards/2024/club.ccf", "card"}, {"C:\\Notes\\club.txt", "notes"}},
                    "*.*",
                    {{"club.ccf", "card"}, {"club.txt", "notes"}},
                    0},
        ExtractCase{
            "parent_steps_stay_inside",
            {{"../escape.ccf", "one"}, {"../../deeper.ccf", "two"}, {"a/../../three.txt", "three"}},
            "*.*",
            {{"escape.ccf", "one"}, {"deeper.ccf", "two"}, {"three.txt", "three"}},
            0},
        ExtractCase{"absolute_path_stays_inside",
                    {{"/tmp/zqw-absolute.ccf", "abs"}},
                    "*.ccf",
                    {{"zqw-absolute.ccf", "abs"}},
                    0},
        ExtractCase{"names_without_a_file_skipped",
                    {{"cards/", ""}, {"..", "dots"}, {"club.ccf", "card"}},
                    "*",
                    {{"club.ccf", "card"}},
                    2},
        // The card is read from the first entry: the first of a name wins.
        ExtractCase{"first_entry_of_the_same_name_wins",
                    {{"a/club.ccf", "first"}, {"b/club.ccf", "second"}},
                    "*.ccf",
                    {{"club.ccf", "first"}},
                    0},
        ExtractCase{"empty_entry", {{"empty.txt", ""}}, "*.txt", {{"empty.txt", ""}}, 0},
        ExtractCase{"only_folders", {{"cards/", ""}, {"more/", ""}}, "*", {}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackageReader, ArchiveWithoutEntries) {
    test::TempDir dir;
    const std::string archive = dir.path("empty.zqw");
    // An end-of-central-directory record and nothing else: a valid, empty ZIP.
    test::writeFile(archive, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    PackageReader reader(archive);
    ASSERT_TRUE(reader.isOpen()) << reader.error();
    EXPECT_TRUE(reader.storedNames().empty());
    EXPECT_EQ(reader.firstFileEntry(), -1);
}

struct UnreadableCase {
    const char* name;
    // Makes the thing at the path; returns the path to open.
    std::string (*make)(const test::TempDir&);
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableArchives : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableArchives, AreReportedNotOpened) {
    test::TempDir dir;
    const std::string path = GetParam().make(dir);
    PackageReader reader(path);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_FALSE(reader.error().empty());
    EXPECT_TRUE(reader.storedNames().empty());
    EXPECT_FALSE(reader.extractMatching(dir.path(""), "*"));
}

INSTANTIATE_TEST_SUITE_P(
    Package, UnreadableArchives,
    ::testing::Values(
        UnreadableCase{"missing", [](const test::TempDir& d) { return d.path("none.zqw"); }},
        UnreadableCase{"text_file",
                       [](const test::TempDir& d) {
                           test::writeFile(d.path("card.zqw"), "ZQW1.0\r\n$1020\r\n");
                           return d.path("card.zqw");
                       }},
        UnreadableCase{"truncated_zip",
                       [](const test::TempDir& d) {
                           makeArchive(d.path("full.zqw"), {{"club.ccf", std::string(4000, 'x')}});
                           const std::string bytes = test::readFile(d.path("full.zqw"));
                           test::writeFile(d.path("cut.zqw"), bytes.substr(0, bytes.size() / 2));
                           return d.path("cut.zqw");
                       }},
        UnreadableCase{"folder",
                       [](const test::TempDir& d) {
                           fs::create_directory(d.path("folder.zqw"));
                           return d.path("folder.zqw");
                       }},
        // A pipe would make a reader wait for ever.
        UnreadableCase{"pipe",
                       [](const test::TempDir& d) {
                           ::mkfifo(d.path("pipe.zqw").c_str(), 0600);
                           return d.path("pipe.zqw");
                       }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackageReader, ReplacesAFileAndALinkWithoutFollowingIt) {
    test::TempDir dir;
    const std::string archive = dir.path("pack.zqw");
    makeArchive(archive, {{"club.ccf", "new card"}, {"notes.txt", "new notes"}});
    fs::create_directory(dir.root() / "out");
    test::writeFile(dir.path("out/club.ccf"), "old card");
    test::writeFile(dir.path("secret.txt"), "outside");
    fs::create_symlink(dir.path("secret.txt"), dir.path("out/notes.txt"));

    PackageReader reader(archive);
    ASSERT_TRUE(reader.extractMatching(dir.path("out"), "*.*")) << reader.error();
    EXPECT_EQ(test::readFile(dir.path("out/club.ccf")), "new card");
    EXPECT_FALSE(fs::is_symlink(dir.path("out/notes.txt")));
    EXPECT_EQ(test::readFile(dir.path("out/notes.txt")), "new notes");
    EXPECT_EQ(test::readFile(dir.path("secret.txt")), "outside");
}

TEST(PackageReader, FolderInTheWayStopsTheExtraction) {
    test::TempDir dir;
    const std::string archive = dir.path("pack.zqw");
    makeArchive(archive, {{"club.ccf", "card"}, {"zlast.ccf", "never"}});
    fs::create_directories(dir.root() / "out" / "club.ccf");

    PackageReader reader(archive);
    EXPECT_FALSE(reader.extractMatching(dir.path("out"), "*.ccf"));
    EXPECT_NE(reader.error().find("club.ccf"), std::string::npos) << reader.error();
    EXPECT_TRUE(fs::is_directory(dir.path("out/club.ccf")));
    // Stopped at the first failure, and no temporary file is left behind.
    EXPECT_EQ(treeOf(dir.root() / "out"), std::vector<std::string>{"club.ccf"});
}

TEST(PackageReader, DamagedDataWritesNothing) {
    test::TempDir dir;
    const std::string archive = dir.path("pack.zqw");
    const std::string content = "ZQW1.0 a card whose bytes will be damaged";
    makeArchive(archive, {{"club.ccf", content}}, true);
    std::string bytes = test::readFile(archive);
    const size_t at = bytes.find(content);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 10] = '#';  // the checksum no longer fits
    test::writeFile(archive, bytes);
    fs::create_directory(dir.root() / "out");
    test::writeFile(dir.path("out/club.ccf"), "previous");

    PackageReader reader(archive);
    ASSERT_TRUE(reader.isOpen()) << reader.error();
    EXPECT_FALSE(reader.extractMatching(dir.path("out"), "*.ccf"));
    EXPECT_FALSE(reader.error().empty());
    EXPECT_EQ(test::readFile(dir.path("out/club.ccf")), "previous");
    EXPECT_EQ(treeOf(dir.root() / "out"), std::vector<std::string>{"club.ccf"});
}

TEST(PackageReader, MissingFolderIsAnError) {
    test::TempDir dir;
    makeArchive(dir.path("pack.zqw"), {{"club.ccf", "card"}});
    PackageReader reader(dir.path("pack.zqw"));
    EXPECT_FALSE(reader.extractMatching(dir.path("no/such/folder"), "*.ccf"));
    EXPECT_FALSE(reader.error().empty());
    EXPECT_FALSE(fs::exists(dir.path("no")));
}

// --- notices -------------------------------------------------------------------

TEST(PackageReader, SaysWhichEntriesItPassesOver) {
    test::TempDir dir;
    const std::string archive = dir.path("pack.zqw");
    makeArchive(archive, {{"club.ccf", "first"}, {"old/club.ccf", "second"}, {"n.txt", "notes"}});
    PackageReader reader(archive);
    ASSERT_TRUE(reader.isOpen()) << reader.error();
    EXPECT_EQ(reader.notices(),
              std::vector<std::string>{
                  "club.ccf is in the package more than once; the first one is used"});
}

// --- producing -------------------------------------------------------------------

class Producing : public ::testing::Test {
public:
    void SetUp() override {
        fs::create_directories(dir.root() / "cards" / "2024");
        card = dir.path("cards/2024/club.ccf");
        notes = dir.path("cards/notes file.txt");
        test::writeFile(card, "ZQW1.0notes\r\n");
        test::writeFile(notes, std::string("Note:..1: \x8E\r\n"));
        package = dir.path("pack.zqw");
    }

    // Stored names and contents, in archive order.
    Entries entriesOf(const std::string& path) {
        Entries found;
        int code = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
        if (!archive) return found;
        for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
            const auto index = static_cast<zip_uint64_t>(i);
            zip_stat_t stat;
            zip_stat_index(archive, index, 0, &stat);
            std::string content(stat.size, '\0');
            zip_file_t* file = zip_fopen_index(archive, index, 0);
            if (file) {
                zip_fread(file, content.data(), content.size());
                zip_fclose(file);
            }
            found.emplace_back(zip_get_name(archive, index, ZIP_FL_ENC_RAW), content);
        }
        zip_discard(archive);
        return found;
    }

    test::TempDir dir;
    std::string card;
    std::string notes;
    std::string package;
};

TEST_F(Producing, StoresCardThenNotesUnderBareNames) {
    const PackageResult result = producePackage(package, {card, notes});
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(entriesOf(package), (Entries{{"club.ccf", test::readFile(card)},
                                           {"notes file.txt", test::readFile(notes)}}));

    ASSERT_TRUE(producePackage(package, {card, ""}));
    // Without notes the card alone is written (and replaces its old entry).
    EXPECT_EQ(entriesOf(package), (Entries{{"club.ccf", test::readFile(card)},
                                           {"notes file.txt", test::readFile(notes)}}));
    ASSERT_TRUE(producePackage(dir.path("alone.zqw"), {card, ""}));
    EXPECT_EQ(entriesOf(dir.path("alone.zqw")), (Entries{{"club.ccf", test::readFile(card)}}));
}

TEST_F(Producing, ReplacesEntriesOfTheSameNameAndKeepsTheOthersAfterThem) {
    makeArchive(package, {{"extra.txt", "kept"},
                          {"old/club.ccf", "old card"},
                          {"notes file.txt", "old notes"},
                          {"more/extra.txt", "a second extra, never read"},
                          {"folder/", ""}});
    ASSERT_TRUE(producePackage(package, {card, notes}));
    ASSERT_TRUE(producePackage(package, {card, notes}));
    // The card is the first entry again, and every name is there once.
    EXPECT_EQ(entriesOf(package), (Entries{{"club.ccf", test::readFile(card)},
                                           {"notes file.txt", test::readFile(notes)},
                                           {"extra.txt", "kept"}}));
}

TEST_F(Producing, ReplacingWritesTheCardAndNotesAloneWhateverWasThere) {
    // An older package, and a file that is no package at all: either gives
    // way to a new package of the card and notes.
    for (const bool oldPackage : {true, false}) {
        if (oldPackage) {
            makeArchive(package, {{"other.ccf", "an unrelated card"}, {"club.ccf", "old card"}});
        } else {
            test::writeFile(package, "this is no archive at all");
        }
        ASSERT_TRUE(producePackage(package, {card, notes}, ExistingPackage::Replace));
        EXPECT_EQ(entriesOf(package), (Entries{{"club.ccf", test::readFile(card)},
                                               {"notes file.txt", test::readFile(notes)}}));
    }
}

struct ProduceFailureCase {
    const char* name;
    // Prepares the files; returns the contents to pack. May change the
    // package path.
    PackageContents (*make)(Producing& p, std::string& package);
    // The message after "Unable to produce the ZQW file PACKAGE: ", with
    // {DIR} for the test folder.
    std::string reason;
};

void PrintTo(const ProduceFailureCase& c, std::ostream* os) { *os << c.name; }

class ProduceFailures : public Producing,
                        public ::testing::WithParamInterface<ProduceFailureCase> {};

TEST_P(ProduceFailures, NameTheFileAndWriteNothing) {
    std::string target = package;
    const PackageContents contents = GetParam().make(*this, target);
    const bool existed = fs::exists(target);
    const std::string before = fs::is_regular_file(target) ? test::readFile(target) : "";
    const auto treeBefore = treeOf(dir.root());

    const PackageResult result = producePackage(target, contents);
    EXPECT_FALSE(result);
    std::string reason = GetParam().reason;
    const size_t at = reason.find("{DIR}");
    if (at != std::string::npos) reason.replace(at, 5, dir.root().string());
    EXPECT_EQ(result.message, "Unable to produce the ZQW file " + target + ": " + reason);
    EXPECT_EQ(fs::exists(target), existed);
    if (fs::is_regular_file(target)) {
        EXPECT_EQ(test::readFile(target), before);
    }
    EXPECT_EQ(treeOf(dir.root()), treeBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Package, ProduceFailures,
    ::testing::Values(
        ProduceFailureCase{"card_never_saved",
                           [](Producing& p, std::string&) {
                               return PackageContents{"UnNamed file", p.notes};
                           },
                           "the card has never been saved"},
        ProduceFailureCase{"card_file_missing",
                           [](Producing& p, std::string&) {
                               fs::remove(p.card);
                               return PackageContents{p.card, p.notes};
                           },
                           "cannot read the card file {DIR}/cards/2024/club.ccf: No such file or "
                           "directory"},
        ProduceFailureCase{"notes_file_missing",
                           [](Producing& p, std::string&) {
                               fs::remove(p.notes);
                               return PackageContents{p.card, p.notes};
                           },
                           "cannot read the notes file {DIR}/cards/notes file.txt: No such file "
                           "or directory"},
        ProduceFailureCase{"card_too_large",
                           [](Producing& p, std::string&) {
                               fs::resize_file(p.card, (32 << 20) + 1);
                               return PackageContents{p.card, p.notes};
                           },
                           "cannot read the card file {DIR}/cards/2024/club.ccf: larger than "
                           "32 MB"},
        ProduceFailureCase{"same_bare_names",
                           [](Producing& p, std::string&) {
                               test::writeFile(p.dir.path("cards/club.ccf"), "other");
                               return PackageContents{p.card, p.dir.path("cards/club.ccf")};
                           },
                           "the card and its notes have the same file name club.ccf"},
        ProduceFailureCase{"existing_file_not_a_zip",
                           [](Producing& p, std::string& package) {
                               test::writeFile(package, "this is no archive at all");
                               return PackageContents{p.card, p.notes};
                           },
                           "Not a zip archive"},
        ProduceFailureCase{"existing_package_over_the_limits",
                           [](Producing& p, std::string& package) {
                               Entries many;
                               for (int i = 0; i < 1001; ++i)
                                   many.emplace_back("e" + std::to_string(i) + ".txt", "x");
                               makeArchive(package, many);
                               return PackageContents{p.card, p.notes};
                           },
                           "the package holds more than 1000 entries"},
        ProduceFailureCase{"folder_missing",
                           [](Producing& p, std::string& package) {
                               package = p.dir.path("none/pack.zqw");
                               return PackageContents{p.card, p.notes};
                           },
                           "No such file or directory"},
        ProduceFailureCase{"target_is_a_folder",
                           [](Producing& p, std::string& package) {
                               fs::create_directory(package);
                               return PackageContents{p.card, p.notes};
                           },
                           "Not a regular file"},
        ProduceFailureCase{"target_is_a_pipe",
                           [](Producing& p, std::string& package) {
                               ::mkfifo(package.c_str(), 0600);
                               return PackageContents{p.card, p.notes};
                           },
                           "Not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Producing, ContentsOfACardFollowItsNotesLink) {
    test::CardFixture f(test::crlf({"FG", "PS", "C195", "OA"}));
    f.card.resetToBlankCard();
    f.card.cardFileName = card;
    f.card.notesFileName = notes;
    f.card.notesOpen = true;
    PackageContents contents = packageContentsOf(f.card);
    EXPECT_EQ(contents.cardFile, card);
    EXPECT_EQ(contents.notesFile, notes);
    f.card.notesOpen = false;
    EXPECT_EQ(packageContentsOf(f.card).notesFile, "");
    f.card.resetToNoCard();
    EXPECT_EQ(packageContentsOf(f.card).cardFile, "");
}

// Answers every question about a link out of the card's folder as told.
class FixedApproval : public NotesLinkApproval {
public:
    explicit FixedApproval(bool answer) : answer_(answer) {}
    bool followOutside(const std::string&, const std::string&) override { return answer_; }

private:
    bool answer_;
};

TEST_F(Producing, ContentsOfACardFileFindTheNotesAsTheReaderDoes) {
    FixedApproval yes(true);
    const auto contentsFor = [this, &yes](const std::string& header) {
        test::writeFile(card, header + "\r\n$20\r\n");
        std::string why;
        const auto contents = packageContentsOfCardFile(card, &yes, &why);
        EXPECT_TRUE(contents) << why;
        return contents ? contents->notesFile : "<none>";
    };
    EXPECT_EQ(contentsFor("ZQW1.0"), "");
    // Out of the card's folder: packed only when allowed.
    EXPECT_EQ(contentsFor("ZQW1.0" + notes), notes);
    // Moved with the card: found beside it under its bare name.
    test::writeFile(dir.path("cards/2024/notes file.txt"), "beside");
    EXPECT_EQ(contentsFor("ZQW1.0C:\\Old\\notes file.txt"), dir.path("cards/2024/notes file.txt"));
    // Nowhere: the reader drops the link, and the package holds the card only.
    EXPECT_EQ(contentsFor("ZQW1.0/nowhere/gone.txt"), "");

    std::string why;
    test::writeFile(dir.path("plain.txt"), "no card");
    EXPECT_FALSE(packageContentsOfCardFile(dir.path("plain.txt"), &yes, &why));
    EXPECT_EQ(why, "not a card file");
    EXPECT_FALSE(packageContentsOfCardFile(dir.path("absent.ccf"), &yes, &why));
    EXPECT_EQ(why, "No such file or directory");
}

TEST_F(Producing, ContentsOfACardFileNeverHoldWhatReadingWouldNotOpen) {
    FixedApproval no(false);
    struct Case {
        const char* header;
        NotesLinkApproval* approval;
        std::string why;
    };
    ASSERT_EQ(::mkfifo(dir.path("cards/2024/pipe.txt").c_str(), 0600), 0);
    const std::vector<Case> cases = {
        {"../notes file.txt", &no,
         "the card links the notes file " + notes + ", outside the card's folder"},
        {"../notes file.txt", nullptr,
         "the card links the notes file " + notes + ", outside the card's folder"},
        {"pipe.txt", nullptr,
         "the notes file " + dir.path("cards/2024/pipe.txt") + " is not a regular file"},
    };
    for (const Case& c : cases) {
        test::writeFile(card, std::string("ZQW1.0") + c.header + "\r\n");
        std::string why;
        NotesLinkTarget link;
        EXPECT_FALSE(packageContentsOfCardFile(card, c.approval, &why, &link)) << c.header;
        EXPECT_EQ(why, c.why);
    }
}

// --- backing up ------------------------------------------------------------------

TEST(PackageBackup, CopiesUnderItsOwnNameAndReplaces) {
    test::TempDir dir;
    makeArchive(dir.path("club.zqw"), {{"club.ccf", "card"}});
    fs::create_directory(dir.root() / "save");
    test::writeFile(dir.path("save/club.zqw"), "older backup");
    const PackageResult result = backupPackage(dir.path("club.zqw"), dir.path("save") + "/");
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(test::readFile(dir.path("save/club.zqw")), test::readFile(dir.path("club.zqw")));
    EXPECT_EQ(treeOf(dir.root() / "save"), std::vector<std::string>{"club.zqw"});
}

struct BackupFailureCase {
    const char* name;
    std::string package;  // relative to the test folder
    std::string folder;
    std::string target;
    std::string reason;
};

void PrintTo(const BackupFailureCase& c, std::ostream* os) { *os << c.name; }

class BackupFailures : public ::testing::TestWithParam<BackupFailureCase> {};

TEST_P(BackupFailures, SayWhichFileAndWhyAndChangeNothing) {
    test::TempDir dir;
    makeArchive(dir.path("club.zqw"), {{"club.ccf", "card"}});
    fs::create_directory(dir.root() / "save");
    fs::create_directory(dir.root() / "save" / "club.zqw" / "");
    const auto before = treeOf(dir.root());
    const PackageResult result =
        backupPackage(dir.path(GetParam().package), dir.path(GetParam().folder));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, "Unable to back up the ZQW file " + dir.path(GetParam().package) +
                                  " to " + dir.path(GetParam().target) + ": " + GetParam().reason);
    EXPECT_EQ(treeOf(dir.root()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Package, BackupFailures,
    ::testing::Values(BackupFailureCase{"folder_missing", "club.zqw", "none", "none/club.zqw",
                                        "No such file or directory"},
                      BackupFailureCase{"package_missing", "gone.zqw", "save", "save/gone.zqw",
                                        "No such file or directory"},
                      BackupFailureCase{"folder_in_the_way", "club.zqw", "save", "save/club.zqw",
                                        "Is a directory"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zqw
