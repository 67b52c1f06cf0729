// Where the programs find their data: beside the executable in the build
// tree, in ../share/zqwcce when installed.

#include "platform/programpaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

namespace {

struct Layout {
    const char* name;
    bool besideExecutable;     // bin/zqw.sel
    bool inShare;              // share/zqwcce/zqw.sel
    bool folderNamedTemplate;  // bin/zqw.sel is a folder, not a file
    const char* expected;      // relative to the prefix
};

// Names the case in test lists rather than dumping its bytes.
void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

class ProgramPathsTest : public ::testing::TestWithParam<Layout> {};

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("template") == 8;
}

TEST_P(ProgramPathsTest, FindsTheFolderHoldingTheTemplate) {
    const Layout& layout = GetParam();
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("share/zqwcce")));
    if (layout.besideExecutable) {
        ASSERT_TRUE(touch(root.filePath(QStringLiteral("bin/zqw.sel"))));
    }
    if (layout.folderNamedTemplate) {
        ASSERT_TRUE(root.mkpath(QStringLiteral("bin/zqw.sel")));
    }
    if (layout.inShare) {
        ASSERT_TRUE(touch(root.filePath(QStringLiteral("share/zqwcce/zqw.sel"))));
    }

    const QString expected = QDir::cleanPath(root.filePath(QLatin1String(layout.expected)));
    EXPECT_EQ(findProgramDataDir(root.filePath(QStringLiteral("bin"))).toStdString(),
              expected.toStdString());
    // The folder as the program reports it may end in a slash or say "."
    // and ".."; the answer is the same folder.
    EXPECT_EQ(findProgramDataDir(root.filePath(QStringLiteral("bin/../bin/"))).toStdString(),
              expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramPathsTest,
    ::testing::Values(Layout{"BuildTree", true, false, false, "bin"},
                      Layout{"Installed", false, true, false, "share/zqwcce"},
                      Layout{"BuildTreeWinsOverAnInstallation", true, true, false, "bin"},
                      // The template's message then names the installed folder.
                      Layout{"Neither", false, false, false, "share/zqwcce"},
                      Layout{"FolderInPlaceOfTheTemplate", false, true, true, "share/zqwcce"}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

}  // namespace
