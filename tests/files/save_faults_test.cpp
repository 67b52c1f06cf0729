// Every save of the editor (card, notes, package) against every way the
// file system can refuse it. Afterwards the previous file is intact byte for
// byte or the new one is complete, no partial or temporary file is left, and
// a failure always gives the user a message.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include "faultsupport.h"

namespace zqw {
namespace {

namespace fs = std::filesystem;
using test::SaverKind;

// Turns the immutable flag of a folder on or off: nothing can be created,
// renamed or removed in it, even by root, while the files in it can still be
// written.
bool setImmutable(const std::string& folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

enum class Outcome {
    Saved,       // the new content is at the path (or where its link leads)
    Kept,        // the old content is still there, a message was given
    NotCreated,  // there was no file and there still is none
    Untouched,   // something other than a file is at the path and stays
};

class SaveFault;

struct FaultCase {
    const char* name;
    // Prepares the target folder and path; returns "" or why the case
    // cannot run here (it is then skipped).
    std::function<std::string(SaveFault&)> arrange;
    Outcome outcome;
    // The reason a package save names (card and notes messages name none).
    std::string reason;
};

class SaveFault : public ::testing::TestWithParam<std::tuple<SaverKind, FaultCase>> {
public:
    void SetUp() override {
        saver = test::makeSaver(std::get<0>(GetParam()));
        fs::create_directory(dir.path("scratch"));
        saver->prepare(dir.path("scratch"));
        folder = dir.path("target");
        fs::create_directory(folder);
        path = folder + "/saved.file";
    }

    void TearDown() override {
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) (*it)();
    }

    // The old file at path.
    void writeOld() { test::writeFile(path, saver->oldBytes()); }

    test::TempDir dir;
    std::unique_ptr<test::Saver> saver;
    std::string folder;
    std::string path;
    // Where the content lands (path, or the file a link at path leads to).
    std::string landing;
    std::vector<std::function<void()>> undo;
    // "Permission denied" or "Operation not permitted", by how the folder
    // was made read-only.
    std::string readOnlyReason;
};

// A read-only folder as root: the immutable flag, or else plain
// permissions for a user who is not root.
std::string makeFolderReadOnly(SaveFault& t) {
    if (setImmutable(t.folder, true)) {
        t.undo.push_back([&t] { setImmutable(t.folder, false); });
        t.readOnlyReason = std::strerror(EPERM);
        return "";
    }
    if (::geteuid() == 0) return "root here cannot set the immutable flag on " + t.folder;
    ::chmod(t.folder.c_str(), 0555);
    t.undo.push_back([&t] { ::chmod(t.folder.c_str(), 0755); });
    t.readOnlyReason = std::strerror(EACCES);
    return "";
}

// Mounts made from here on belong to this process alone and vanish with it,
// whatever happens to the test. "" or why that cannot be had here.
std::string privateMounts() {
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("no mount namespace here: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("no private mounts here: ") + std::strerror(errno);
    return "";
}

void limitFileSize(SaveFault& t, rlim_t bytes) {
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    t.undo.push_back([old, oldHandler] {
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    });
}

const FaultCase kFaults[] = {
    {"read_only_folder",
     [](SaveFault& t) {
         t.writeOld();
         return makeFolderReadOnly(t);
     },
     Outcome::Saved, ""},
    {"read_only_folder_new_file", [](SaveFault& t) { return makeFolderReadOnly(t); },
     Outcome::NotCreated, "<read-only>"},
    {"read_only_folder_and_size_limit",
     [](SaveFault& t) {
         t.writeOld();
         const std::string why = makeFolderReadOnly(t);
         limitFileSize(t, 64 * 1024);
         return why;
     },
     Outcome::Kept, "File too large"},
    {"file_size_limit",
     [](SaveFault& t) {
         t.writeOld();
         limitFileSize(t, 64 * 1024);
         return std::string();
     },
     Outcome::Kept, "File too large"},
    {"full_file_system",
     [](SaveFault& t) {
         const std::string why = privateMounts();
         if (!why.empty()) return why;
         if (::mount("tmpfs", t.folder.c_str(), "tmpfs", 0, "size=64k") != 0)
             return std::string("no tmpfs here: ") + std::strerror(errno);
         t.undo.push_back([&t] { ::umount2(t.folder.c_str(), MNT_DETACH); });
         t.writeOld();
         return std::string();
     },
     Outcome::Kept, "No space left on device"},
    {"target_is_a_mounted_file",
     [](SaveFault& t) {
         // Nothing can replace a file mounted in place (the rename fails),
         // but the file itself takes the bytes.
         const std::string why = privateMounts();
         if (!why.empty()) return why;
         t.writeOld();
         t.landing = t.folder + "/mounted.file";
         test::writeFile(t.landing, t.saver->oldBytes());
         if (::mount(t.landing.c_str(), t.path.c_str(), nullptr, MS_BIND, nullptr) != 0)
             return std::string("cannot mount a file here: ") + std::strerror(errno);
         t.undo.push_back([&t] { ::umount2(t.path.c_str(), MNT_DETACH); });
         return std::string();
     },
     Outcome::Saved, ""},
    {"target_is_a_folder",
     [](SaveFault& t) {
         fs::create_directory(t.path);
         return std::string();
     },
     Outcome::Untouched, "Not a regular file"},
    {"target_is_a_pipe",
     [](SaveFault& t) {
         ::mkfifo(t.path.c_str(), 0600);
         return std::string();
     },
     Outcome::Untouched, "Not a regular file"},
    {"target_is_a_device",
     [](SaveFault& t) {
         // A null device of its own, so a save that wrongly replaced it
         // would harm nothing.
         if (::mknod(t.path.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
             return std::string("cannot make a device node here: ") + std::strerror(errno);
         return std::string();
     },
     Outcome::Untouched, "Not a regular file"},
    {"target_is_a_symbolic_link",
     [](SaveFault& t) {
         fs::create_directory(t.folder + "/real");
         t.landing = t.folder + "/real/file";
         test::writeFile(t.landing, t.saver->oldBytes());
         fs::create_symlink("real/file", t.path);
         return std::string();
     },
     Outcome::Saved, ""},
    {"symbolic_link_loop",
     [](SaveFault& t) {
         fs::create_symlink("other", t.path);
         fs::create_symlink("saved.file", t.folder + "/other");
         return std::string();
     },
     Outcome::Untouched, "Too many levels of symbolic links"},
    {"longest_file_name",
     [](SaveFault& t) {
         t.path = t.folder + "/" + std::string(251, 'n') + ".zqw";
         t.writeOld();
         return std::string();
     },
     Outcome::Saved, ""},
    {"folder_missing",
     [](SaveFault& t) {
         t.path = t.folder + "/missing/saved.file";
         return std::string();
     },
     Outcome::NotCreated, "No such file or directory"},
};

TEST_P(SaveFault, LeavesTheOldFileOrTheNewOneAndAMessage) {
    const FaultCase& fault = std::get<1>(GetParam());
    landing.clear();
    const std::string skip = fault.arrange(*this);
    if (!skip.empty()) GTEST_SKIP() << skip;
    if (landing.empty()) landing = path;
    std::error_code noThrow;
    const bool hadFile = fs::is_regular_file(landing, noThrow);
    const std::string before = hadFile ? test::readFile(landing) : "";
    const auto namesBefore = test::namesIn(folder);
    const auto typeBefore = fs::symlink_status(path).type();

    const std::string message = saver->save(path);

    const auto namesAfter = test::namesIn(folder);
    switch (fault.outcome) {
        case Outcome::Saved:
            EXPECT_EQ(message, "");
            EXPECT_TRUE(saver->isNew(test::readFile(landing)));
            EXPECT_EQ(namesAfter, namesBefore) << "a temporary file was left behind";
            EXPECT_EQ(fs::symlink_status(path).type(), typeBefore);
            return;
        case Outcome::Kept:
            ASSERT_TRUE(hadFile);
            EXPECT_TRUE(test::readFile(landing) == before) << "the old file changed";
            break;
        case Outcome::NotCreated:
            EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
            break;
        case Outcome::Untouched:
            EXPECT_EQ(fs::symlink_status(path).type(), typeBefore);
            break;
    }
    std::string reason = fault.reason == "<read-only>" ? readOnlyReason : fault.reason;
    EXPECT_EQ(message, saver->message(path, reason));
    EXPECT_EQ(namesAfter, namesBefore) << "a file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Files, SaveFault,
                         ::testing::Combine(::testing::Values(SaverKind::Card, SaverKind::Notes,
                                                              SaverKind::CustomPrompts,
                                                              SaverKind::Package),
                                            ::testing::ValuesIn(kFaults)),
                         [](const auto& info) {
                             return std::string(test::saverName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace zqw
