// Saves killed at random moments, hundreds of times: every time, the file
// holds the previous content byte for byte or the new content whole, and the
// next save removes the temporary files the killed ones left.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "faultsupport.h"

namespace zqw {
namespace {

using test::SaverKind;

constexpr int kTrials = 120;

class KilledSave : public ::testing::TestWithParam<SaverKind> {};

TEST_P(KilledSave, LeavesTheOldFileOrTheWholeNewOne) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.path("scratch"));
    std::filesystem::create_directory(dir.path("target"));
    const auto saver = test::makeSaver(GetParam());
    saver->prepare(dir.path("scratch"));
    const std::string path = dir.path("target/saved.file");
    const std::string old = saver->oldBytes();

    // How long one save takes here: the kills are spread over it.
    test::writeFile(path, old);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(saver->save(path), "");
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(saver->isNew(test::readFile(path)));
    const auto window =
        std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 5 / 4 + 1;

    std::mt19937 random(static_cast<unsigned>(GetParam()) + 11);
    int killed = 0;
    int oldKept = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        test::writeFile(path, old);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saver->save(path);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(random() % window));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killed;
        const std::string bytes = test::readFile(path);
        if (bytes == old) {
            ++oldKept;
        } else {
            ASSERT_TRUE(saver->isNew(bytes))
                << "trial " << trial << ": a partial file of " << bytes.size() << " bytes";
        }
    }
    // Most kills land while the save runs; a save that was never killed
    // would prove nothing.
    EXPECT_GT(killed, 0);
    EXPECT_GT(oldKept, 0);
    RecordProperty("killed", killed);
    RecordProperty("oldKept", oldKept);

    ASSERT_EQ(saver->save(path), "");
    EXPECT_EQ(test::namesIn(dir.path("target")), std::vector<std::string>{"saved.file"})
        << killed << " saves were killed";
}

INSTANTIATE_TEST_SUITE_P(Files, KilledSave,
                         ::testing::Values(SaverKind::Card, SaverKind::Notes,
                                           SaverKind::CustomPrompts, SaverKind::Package),
                         [](const auto& info) { return std::string(test::saverName(info.param)); });

}  // namespace
}  // namespace zqw
