#include "card/noteslink.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace zqw {
namespace {

namespace fs = std::filesystem;
using Place = NotesLinkTarget::Place;
using test::CardFixture;
using test::crlf;
using test::readFile;
using test::TempDir;
using test::writeFile;

const std::string kTemplate = crlf({"FG", "PS", "C3204040", "OA", "OB"});

// A card in cards/ among the files a link might reach: notes beside it, in
// a subfolder, in a folder next to it, a symbolic link out, a pipe and a
// folder. The working folder is elsewhere/, which holds a notes.txt of its
// own, so a link read against the working folder shows.
class NotesLinks : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.root() / "cards" / "sub");
        fs::create_directories(dir.root() / "cards" / "folder.txt");
        fs::create_directories(dir.root() / "elsewhere");
        card = dir.path("cards/club.ccf");
        writeFile(card, "ZQW1.0notes.txt\r\n");
        writeFile(dir.path("cards/notes.txt"), "beside\r\n");
        writeFile(dir.path("cards/sub/notes.txt"), "below\r\n");
        writeFile(dir.path("elsewhere/notes.txt"), "elsewhere\r\n");
        fs::create_symlink("../elsewhere/notes.txt", dir.root() / "cards" / "link.txt");
        ASSERT_EQ(::mkfifo(dir.path("cards/pipe.txt").c_str(), 0600), 0);
        ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(::chdir(dir.path("elsewhere").c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(::chdir(previous), 0); }

    std::string real(const std::string& name) const {
        return fs::weakly_canonical(dir.root() / name).string();
    }

    TempDir dir;
    std::string card;
    char previous[4096] = {};
};

struct LinkCase {
    const char* name;
    std::string link;    // the header's link; "@" stands for the test folder
    Place place;         // where findLinkedNotes finds it
    std::string target;  // under the test folder, resolved; "" for none
    bool moved;
};

class NotesLinkTable : public NotesLinks, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(NotesLinkTable, IsReadAgainstTheCardsFolder) {
    std::string link = GetParam().link;
    if (link.starts_with("@")) link = dir.root().string() + link.substr(1);
    const NotesLinkTarget found = findLinkedNotes(card, link);
    EXPECT_EQ(found.place, GetParam().place);
    if (!GetParam().target.empty()) {
        EXPECT_EQ(found.path, real(GetParam().target));
    }
    EXPECT_EQ(found.moved, GetParam().moved);
}

INSTANTIATE_TEST_SUITE_P(
    Links, NotesLinkTable,
    ::testing::Values(
        LinkCase{"none", "", Place::None, "", false},
        LinkCase{"relative_beside_not_working_folder", "notes.txt", Place::Beside,
                 "cards/notes.txt", false},
        LinkCase{"dot_parts_back_into_the_folder", "./sub/../notes.txt", Place::Beside,
                 "cards/notes.txt", false},
        LinkCase{"parent_folder", "../elsewhere/notes.txt", Place::Outside, "elsewhere/notes.txt",
                 false},
        LinkCase{"subfolder", "sub/notes.txt", Place::Outside, "cards/sub/notes.txt", false},
        LinkCase{"symbolic_link_out", "link.txt", Place::Outside, "elsewhere/notes.txt", false},
        LinkCase{"absolute_elsewhere", "@/elsewhere/notes.txt", Place::Outside,
                 "elsewhere/notes.txt", false},
        LinkCase{"absolute_beside", "@/cards/notes.txt", Place::Beside, "cards/notes.txt", false},
        LinkCase{"pipe", "pipe.txt", Place::NotRegular, "cards/pipe.txt", false},
        LinkCase{"folder", "folder.txt", Place::NotRegular, "cards/folder.txt", false},
        LinkCase{"device", "/dev/zero", Place::NotRegular, "", false},
        LinkCase{"moved_from_another_system", "C:\\Old\\notes.txt", Place::Beside,
                 "cards/notes.txt", true},
        LinkCase{"moved_from_a_folder_that_is_gone", "@/gone/notes.txt", Place::Beside,
                 "cards/notes.txt", true},
        LinkCase{"nowhere", "/nowhere/gone.txt", Place::Missing, "", false},
        LinkCase{"the_card_itself", "club.ccf", Place::Missing, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Records what it was asked and answers as told.
class ScriptedApproval : public NotesLinkApproval {
public:
    explicit ScriptedApproval(bool answer) : answer_(answer) {}
    bool followOutside(const std::string& cardPath, const std::string& notesPath) override {
        asked.push_back(cardPath + " -> " + notesPath);
        return answer_;
    }
    std::vector<std::string> asked;

private:
    bool answer_;
};

struct ReadCase {
    const char* name;
    std::string link;
    int approval;       // -1 none installed, 0 answers No, 1 answers Yes
    bool asked;         // the approval was asked, about the resolved path
    std::string notes;  // the notes text loaded; "" for an empty buffer
    std::string linkedTo;
};

class CardReading : public NotesLinks, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(CardReading, FollowsALinkOutOfTheFolderOnlyWhenApproved) {
    CardFixture f(kTemplate);
    ScriptedApproval approval(GetParam().approval == 1);
    if (GetParam().approval >= 0) f.card.setNotesLinkApproval(&approval);
    f.notes.setText("stale");
    writeFile(card, "ZQW1.0" + GetParam().link + "\r\n");
    f.card.cardFileName = card;
    f.card.readCardFile();

    std::vector<std::string> expectedAsks;
    if (GetParam().asked) expectedAsks.push_back(card + " -> " + real("elsewhere/notes.txt"));
    EXPECT_EQ(approval.asked, expectedAsks);
    EXPECT_EQ(f.notes.text(), GetParam().notes);
    EXPECT_EQ(f.card.notesFileName, GetParam().linkedTo.empty() ? "" : real(GetParam().linkedTo));
    EXPECT_TRUE(f.card.notesOpen);
    EXPECT_FALSE(f.card.isModified);
}

INSTANTIATE_TEST_SUITE_P(
    Links, CardReading,
    ::testing::Values(
        ReadCase{"beside_without_asking", "notes.txt", 0, false, "beside\n", "cards/notes.txt"},
        ReadCase{"outside_answered_no", "../elsewhere/notes.txt", 0, true, "", ""},
        ReadCase{"outside_answered_yes", "../elsewhere/notes.txt", 1, true, "elsewhere\n",
                 "elsewhere/notes.txt"},
        ReadCase{"symbolic_link_answered_no", "link.txt", 0, true, "", ""},
        ReadCase{"outside_with_nobody_to_ask", "../elsewhere/notes.txt", -1, false, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NotesLinks, ADeclinedLinkIsNeitherShownNorWrittenOnSave) {
    CardFixture f(kTemplate);
    ScriptedApproval no(false);
    f.card.setNotesLinkApproval(&no);
    const std::string victim = dir.path("elsewhere/notes.txt");
    writeFile(card, "ZQW1.0" + victim + "\r\n");
    f.card.cardFileName = card;
    f.card.readCardFile();
    f.notes.setText("typed into the notes");
    ASSERT_TRUE(f.card.writeCardFile());
    EXPECT_EQ(readFile(victim), "elsewhere\r\n");
    EXPECT_TRUE(readFile(card).starts_with("ZQW1.0\r\n"));
}

TEST_F(NotesLinks, APipeIsNeverOpened) {
    // Opening the pipe to read would wait for a writer forever.
    CardFixture f(kTemplate);
    ScriptedApproval yes(true);
    f.card.setNotesLinkApproval(&yes);
    writeFile(card, "ZQW1.0pipe.txt\r\n");
    f.card.cardFileName = card;
    f.card.readCardFile();
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{"Unable to load the notes file " + real("cards/pipe.txt") +
                                       ": Not a regular file"});
    EXPECT_TRUE(yes.asked.empty());
    EXPECT_EQ(f.card.notesFileName, "");
}

struct PackagedCase {
    const char* name;
    std::string link;  // "@" stands for the test folder
    std::vector<std::string> extracted;
    std::string notes;
    bool modified;  // the card's link changes to the extracted file
};

class PackagedCards : public NotesLinks, public ::testing::WithParamInterface<PackagedCase> {};

TEST_P(PackagedCards, LinkOnlyTheNotesExtractedBesideThem) {
    CardFixture f(kTemplate);
    ScriptedApproval yes(true);
    f.card.setNotesLinkApproval(&yes);
    std::string link = GetParam().link;
    if (link.starts_with("@")) link = dir.root().string() + link.substr(1);
    writeFile(card, "ZQW1.0" + link + "\r\n");
    std::vector<std::string> extracted;
    for (const std::string& name : GetParam().extracted) extracted.push_back(dir.path(name));
    f.card.cardFileName = card;
    f.card.readPackagedCardFile(extracted);
    EXPECT_TRUE(yes.asked.empty());
    EXPECT_EQ(f.notes.text(), GetParam().notes);
    EXPECT_EQ(f.card.notesFileName, GetParam().notes.empty() ? "" : real("cards/notes.txt"));
    EXPECT_EQ(f.card.isModified, GetParam().modified);
}

INSTANTIATE_TEST_SUITE_P(
    Links, PackagedCards,
    ::testing::Values(
        // The path written in the packaged card exists, and is not followed.
        PackagedCase{"existing_path_elsewhere",
                     "@/elsewhere/notes.txt",
                     {"cards/notes.txt"},
                     "beside\n",
                     true},
        PackagedCase{"existing_path_and_nothing_extracted", "@/elsewhere/notes.txt", {}, "", false},
        PackagedCase{
            "another_name_extracted", "@/elsewhere/notes.txt", {"cards/other.txt"}, "", false},
        PackagedCase{"relative_link", "notes.txt", {"cards/notes.txt"}, "beside\n", false},
        PackagedCase{"windows_path", "C:\\Cards\\notes.txt", {"cards/notes.txt"}, "beside\n", true},
        // Beside the card but not from the package: not its notes.
        PackagedCase{"beside_but_not_extracted", "notes.txt", {}, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zqw
