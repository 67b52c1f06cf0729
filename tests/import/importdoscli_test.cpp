// zqwcce-cli import-dos run as a user runs it, on .ver files built here.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/test_support.h"
#include "dosfilebuilder.h"

namespace zqw::test {
namespace {

const std::string kTemplate = ZQW_SOURCE_DIR "/data/zqw.sel";

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class ImportDosCli : public testing::Test {
protected:
    CliResult run(const std::vector<std::string>& args) {
        std::string command = quoted(ZQW_CLI) + " import-dos";
        for (const auto& arg : args) command += " " + quoted(arg);
        command += " 2>" + quoted(dir_.path("stderr"));
        CliResult result;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return result;
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
        const int status = ::pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readFile(dir_.path("stderr"));
        return result;
    }
    std::string path(const char* name) const { return dir_.path(name); }

    // A card file read back on the bundled template.
    struct ReadBack {
        explicit ReadBack(const std::string& cardPath) : fixture(readFile(kTemplate)) {
            fixture.card.cardFileName = cardPath;
            fixture.card.readCardFile();
        }
        CardFixture fixture;
    };

    TempDir dir_;
};

TEST_F(ImportDosCli, ImportsTheCardAndLinksTheSavedNotes) {
    DosFileBuilder()
        .fixed(205, 53, "Natural")
        .fixed(2625, 48, "Attitude \x06")
        .fixed(noteLineOffset(2, 1), 60, "Partner's \x05 leads")
        .write(path("old.ver"));
    const CliResult r = run({kTemplate, path("old.ver"), path("card.ccf"), path("notes.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"messages\":[]}\n");
    EXPECT_EQ(readFile(path("notes.txt")), "\r\nNote:..2:Partner's } leads\r\n");

    ReadBack back(path("card.ccf"));
    const Card& card = back.fixture.card;
    EXPECT_TRUE(back.fixture.messages.messages.empty());
    EXPECT_EQ(card.notesFileName, path("notes.txt"));
    const int overview = card.sectionIndexOf(1, 0);
    const int leads = card.sectionIndexOf(2, 0);
    EXPECT_EQ(card.field(card.findGridRow(overview, 1, 1), 1, 1), "Natural");
    EXPECT_EQ(card.field(card.findGridRow(leads, 2, 1), 2, 2), "Attitude \x06");
}

TEST_F(ImportDosCli, AnInputThatCannotBeReadFailsAndWritesNothing) {
    std::filesystem::create_directory(path("folder.ver"));
    // A card and notes from an earlier run must survive a failed one.
    writeFile(path("kept.ccf"), "earlier card");
    writeFile(path("kept.txt"), "earlier notes");
    for (const char* input : {"missing.ver", "folder.ver"}) {
        const CliResult r = run({kTemplate, path(input), path("card.ccf"), path("notes.txt")});
        EXPECT_EQ(r.status, 2) << input;
        EXPECT_EQ(r.out, "{\"messages\":[\"Cannot open file " + path(input) + "\"]}\n") << input;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << input << ": " << r.err;
        EXPECT_NE(r.err.find(path(input)), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("card.ccf"))) << input;
        EXPECT_FALSE(std::filesystem::exists(path("notes.txt"))) << input;

        const CliResult over = run({kTemplate, path(input), path("kept.ccf"), path("kept.txt")});
        EXPECT_EQ(over.status, 2) << input;
        EXPECT_EQ(readFile(path("kept.ccf")), "earlier card") << input;
        EXPECT_EQ(readFile(path("kept.txt")), "earlier notes") << input;
    }
}

TEST_F(ImportDosCli, FailuresExitWithStatusTwoAndOneLine) {
    DosFileBuilder().write(path("old.ver"));
    const struct {
        const char* what;
        std::vector<std::string> args;
    } cases[] = {
        {"missing template", {path("none.sel"), path("old.ver"), path("card.ccf")}},
        {"card folder missing", {kTemplate, path("old.ver"), path("no/card.ccf")}},
        {"notes folder missing", {kTemplate, path("old.ver"), path("card.ccf"), path("no/n.txt")}},
        {"too few words", {kTemplate, path("old.ver")}},
    };
    for (const auto& c : cases) {
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(path("card.ccf")))
        << "no card is written when its notes cannot be";
}

}  // namespace
}  // namespace zqw::test
