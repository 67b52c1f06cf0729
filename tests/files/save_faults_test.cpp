// Every save of the editor (card, notes, custom prompts, package) against
// every way the file system can refuse it. Afterwards the previous file is
// intact byte for byte or the new one is complete, no partial or temporary
// file is left, and a failure always gives the user a message.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>

#include "faultsupport.h"

namespace zqw {
namespace {

namespace fs = std::filesystem;
using test::SaverKind;

// Turns the immutable flag of a folder on or off: nothing can be created,
// renamed or removed in it, even by root, while the files in it can still be
// written. 0 or the error.
int setImmutable(const std::string& folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int flags = 0;
    int error = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 ? 0 : errno;
    if (error == 0) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) error = errno;
    }
    ::close(fd);
    return error;
}

enum class Outcome {
    Saved,       // the new content is at the path (or where its link leads)
    Kept,        // the old content is still there, a message was given
    NotCreated,  // there was no file and there still is none
    Untouched,   // something other than a file is at the path and stays
};

class SaveFault;

// One way to bring a fault about. Prepares the target folder and path;
// returns "" or why this way is not open here.
struct Route {
    const char* name;
    std::function<std::string(SaveFault&)> arrange;
    // Whether it mounts: a user who may not mount here may still in a user
    // namespace of its own, so the route is then taken in a child process.
    bool mounts = false;
};

struct FaultCase {
    const char* name;
    // Every route open on this machine is taken, each in a folder of its
    // own. The last route of every case needs no privilege, so each fault
    // is checked everywhere; a real mount or flag adds the kernel's own
    // behaviour where the test may have it.
    std::vector<Route> routes;
    Outcome outcome;
    // The reason a package save names (card and notes messages name none).
    std::string reason;
};

// Failures name the case, not its bytes.
void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.name; }

class SaveFault : public ::testing::TestWithParam<std::tuple<SaverKind, FaultCase>> {
public:
    void SetUp() override {
        saver = test::makeSaver(std::get<0>(GetParam()));
        fs::create_directory(dir.path("scratch"));
        saver->prepare(dir.path("scratch"));
    }

    void TearDown() override { undoAll(); }

    // A new target folder and path for the route.
    void startRoute(const std::string& route) {
        folder = dir.path("target-" + route);
        fs::create_directory(folder);
        path = folder + "/saved.file";
        landing.clear();
        readOnlyReason.clear();
    }

    void undoAll() {
        for (auto it = undo.rbegin(); it != undo.rend(); ++it) (*it)();
        undo.clear();
    }

    // The old file at path.
    void writeOld() { test::writeFile(path, saver->oldBytes()); }

    // Makes the save's calls for the target folder fail as fault says.
    void inject(test::DiskFault fault) {
        fault.folder = folder;
        injected = std::make_unique<test::InjectedFault>(std::move(fault));
        undo.push_back([this] { injected.reset(); });
    }

    void saveAndCheck(const FaultCase& fault);
    // Takes the route and checks the save; "" or why it cannot be taken.
    std::string take(const Route& route, const FaultCase& fault);
    std::string takeInUserNamespace(const Route& route, const FaultCase& fault);

    test::TempDir dir;
    std::unique_ptr<test::Saver> saver;
    std::string folder;
    std::string path;
    // Where the content lands (path, or the file a link at path leads to).
    std::string landing;
    std::vector<std::function<void()>> undo;
    std::unique_ptr<test::InjectedFault> injected;
    // "Permission denied" or "Operation not permitted", by how the folder
    // was made read-only.
    std::string readOnlyReason;
};

// A folder that refuses new names while the files in it stay writable.

std::string readOnlyByPermissions(SaveFault& t) {
    ::chmod(t.folder.c_str(), 0555);
    t.undo.push_back([&t] { ::chmod(t.folder.c_str(), 0755); });
    // Root, or whoever holds CAP_DAC_OVERRIDE, passes over the permissions.
    const std::string probe = t.folder + "/probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
        return "this user passes over folder permissions";
    }
    t.readOnlyReason = std::strerror(EACCES);
    return "";
}

std::string readOnlyByImmutableFlag(SaveFault& t) {
    if (const int error = setImmutable(t.folder, true); error != 0)
        return std::string("cannot set the immutable flag here (needs CAP_LINUX_IMMUTABLE): ") +
               std::strerror(error);
    t.undo.push_back([&t] { setImmutable(t.folder, false); });
    t.readOnlyReason = std::strerror(EPERM);
    return "";
}

std::string readOnlyByInjection(SaveFault& t) {
    t.inject({.createError = EACCES});
    t.readOnlyReason = std::strerror(EACCES);
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

// The read-only folder's routes, each with an old file first when withOld
// and a file size limit after when limit is not 0.
std::vector<Route> readOnlyFolder(bool withOld, rlim_t limit) {
    const Route ways[] = {{"permissions", readOnlyByPermissions},
                          {"immutable_flag", readOnlyByImmutableFlag},
                          {"injected", readOnlyByInjection}};
    std::vector<Route> routes;
    for (const Route& way : ways) {
        routes.push_back({way.name, [way, withOld, limit](SaveFault& t) {
                              if (withOld) t.writeOld();
                              const std::string why = way.arrange(t);
                              if (why.empty() && limit != 0) limitFileSize(t, limit);
                              return why;
                          }});
    }
    return routes;
}

std::vector<Route> only(std::function<std::string(SaveFault&)> arrange) {
    return {{"direct", std::move(arrange)}};
}

// Mounts made from here on belong to this process alone and vanish with it,
// whatever happens to the test. "" or why that cannot be had here.
std::string privateMounts() {
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("no mount namespace here (needs CAP_SYS_ADMIN): ") +
               std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("no private mounts here: ") + std::strerror(errno);
    return "";
}

// Makes this process the owner of a user namespace of its own, and so of a
// mount namespace, with the same user and group ids. "" or why not.
std::string enterOwnUserNamespace() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("no user namespace here: ") + std::strerror(errno);
    const auto put = [](const char* file, const std::string& text) {
        const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
        const bool done =
            fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0) ::close(fd);
        return done;
    };
    if (!put("/proc/self/setgroups", "deny") ||
        !put("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
        !put("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1"))
        return std::string("cannot map the ids into a user namespace: ") + std::strerror(errno);
    return "";
}

constexpr size_t kSmallDisk = 64 * 1024;

const FaultCase kFaults[] = {
    {"read_only_folder", readOnlyFolder(true, 0), Outcome::Saved, ""},
    {"read_only_folder_new_file", readOnlyFolder(false, 0), Outcome::NotCreated, "<read-only>"},
    {"read_only_folder_and_size_limit", readOnlyFolder(true, 64 * 1024), Outcome::Kept,
     "File too large"},
    {"file_size_limit", only([](SaveFault& t) {
         t.writeOld();
         limitFileSize(t, 64 * 1024);
         return std::string();
     }),
     Outcome::Kept, "File too large"},
    {"full_file_system",
     {{"tmpfs",
       [](SaveFault& t) {
           const std::string why = privateMounts();
           if (!why.empty()) return why;
           const std::string size = "size=" + std::to_string(kSmallDisk);
           if (::mount("tmpfs", t.folder.c_str(), "tmpfs", 0, size.c_str()) != 0)
               return std::string("no tmpfs here: ") + std::strerror(errno);
           t.undo.push_back([&t] { ::umount2(t.folder.c_str(), MNT_DETACH); });
           t.writeOld();
           return std::string();
       },
       true},
      {"injected",
       [](SaveFault& t) {
           t.writeOld();
           t.inject({.spaceLeft = static_cast<long long>(kSmallDisk - t.saver->oldBytes().size())});
           return std::string();
       }}},
     Outcome::Kept,
     "No space left on device"},
    {"read_only_file_system",
     {{"read_only_bind",
       [](SaveFault& t) {
           const std::string why = privateMounts();
           if (!why.empty()) return why;
           t.writeOld();
           if (::mount(t.folder.c_str(), t.folder.c_str(), nullptr, MS_BIND, nullptr) != 0)
               return std::string("cannot bind a folder here: ") + std::strerror(errno);
           t.undo.push_back([&t] { ::umount2(t.folder.c_str(), MNT_DETACH); });
           if (::mount(nullptr, t.folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                       nullptr) != 0)
               return std::string("cannot make a bind read-only here: ") + std::strerror(errno);
           return std::string();
       },
       true},
      {"injected",
       [](SaveFault& t) {
           t.writeOld();
           t.inject({.createError = EROFS, .openError = EROFS});
           return std::string();
       }}},
     Outcome::Kept,
     "Read-only file system"},
    {"disk_fails_at_flush", only([](SaveFault& t) {
         t.writeOld();
         t.inject({.flushError = EIO});
         return std::string();
     }),
     Outcome::Kept, "Input/output error"},
    {"target_is_a_mounted_file",
     // Nothing can replace a file mounted in place (the rename fails), but
     // the file itself takes the bytes.
     {{"bind_mount",
       [](SaveFault& t) {
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
       true},
      {"injected",
       [](SaveFault& t) {
           t.writeOld();
           t.inject({.busyTarget = t.path});
           return std::string();
       }}},
     Outcome::Saved,
     ""},
    {"target_is_a_folder", only([](SaveFault& t) {
         fs::create_directory(t.path);
         return std::string();
     }),
     Outcome::Untouched, "Not a regular file"},
    {"target_is_a_pipe", only([](SaveFault& t) {
         ::mkfifo(t.path.c_str(), 0600);
         return std::string();
     }),
     Outcome::Untouched, "Not a regular file"},
    // Making a device node needs CAP_MKNOD, and mounting one needs a mount
    // namespace. Where neither can be had, the system's null device serves a
    // user who cannot change /dev; root can, so root without either skips
    // rather than risk the system's own device to a faulty save.
    {"target_is_a_device",
     {{"own_null_device",
       [](SaveFault& t) {
           // A null device of its own, so a save that wrongly replaced it
           // would harm nothing.
           if (::mknod(t.path.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
               return std::string("cannot make a device node here (needs CAP_MKNOD): ") +
                      std::strerror(errno);
           return std::string();
       }},
      {"mounted_null_device",
       [](SaveFault& t) {
           // The null device mounted on a file: a save that wrongly replaced
           // it would fail against the mount and harm nothing.
           const std::string why = privateMounts();
           if (!why.empty()) return why;
           test::writeFile(t.path, "");
           if (::mount("/dev/null", t.path.c_str(), nullptr, MS_BIND, nullptr) != 0)
               return std::string("cannot mount a device here: ") + std::strerror(errno);
           t.undo.push_back([&t] { ::umount2(t.path.c_str(), MNT_DETACH); });
           return std::string();
       },
       true},
      {"system_null_device",
       [](SaveFault& t) {
           // Only where this user cannot change /dev: there a save that
           // wrongly replaced the device could not harm it either.
           if (::access("/dev", W_OK) == 0) return std::string("this user could change /dev");
           struct stat info {};
           if (::lstat("/dev/null", &info) != 0 || !S_ISCHR(info.st_mode))
               return std::string("no null device here");
           t.folder = "/dev";
           t.path = "/dev/null";
           return std::string();
       }}},
     Outcome::Untouched,
     "Not a regular file"},
    {"target_is_a_symbolic_link", only([](SaveFault& t) {
         fs::create_directory(t.folder + "/real");
         t.landing = t.folder + "/real/file";
         test::writeFile(t.landing, t.saver->oldBytes());
         fs::create_symlink("real/file", t.path);
         return std::string();
     }),
     Outcome::Saved, ""},
    {"symbolic_link_loop", only([](SaveFault& t) {
         fs::create_symlink("other", t.path);
         fs::create_symlink("saved.file", t.folder + "/other");
         return std::string();
     }),
     Outcome::Untouched, "Too many levels of symbolic links"},
    {"longest_file_name", only([](SaveFault& t) {
         t.path = t.folder + "/" + std::string(251, 'n') + ".zqw";
         t.writeOld();
         return std::string();
     }),
     Outcome::Saved, ""},
    {"folder_missing", only([](SaveFault& t) {
         t.path = t.folder + "/missing/saved.file";
         return std::string();
     }),
     Outcome::NotCreated, "No such file or directory"},
};

void SaveFault::saveAndCheck(const FaultCase& fault) {
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

std::string SaveFault::take(const Route& route, const FaultCase& fault) {
    startRoute(route.name);
    const std::string why = route.arrange(*this);
    if (why.empty()) saveAndCheck(fault);
    undoAll();
    if (why.empty() || !route.mounts) return why;
    const std::string whyNot = takeInUserNamespace(route, fault);
    return whyNot.empty() ? "" : why + "; " + whyNot;
}

int failedParts() {
    const ::testing::TestResult& result =
        *::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result.total_part_count(); ++i)
        if (result.GetTestPartResult(i).failed()) ++failed;
    return failed;
}

// The child process owns the user namespace and with it the mounts, which
// vanish when it ends. It checks the save itself; its failures are printed
// with the test's and fail it through the exit status.
std::string SaveFault::takeInUserNamespace(const Route& route, const FaultCase& fault) {
    startRoute(std::string(route.name) + "_in_user_namespace");
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) return std::string("no pipe: ") + std::strerror(errno);
    std::cout.flush();
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::string("no child process: ") + std::strerror(errno);
    }
    if (child == 0) {
        ::close(channel[0]);
        const int failedBefore = failedParts();
        std::string why = enterOwnUserNamespace();
        if (why.empty()) why = route.arrange(*this);
        if (why.empty()) saveAndCheck(fault);
        const bool failed = failedParts() > failedBefore;
        (void)!::write(channel[1], why.data(), why.size());
        std::cout.flush();
        std::fflush(nullptr);
        ::_exit(failed ? 1 : 0);
    }
    ::close(channel[1]);
    std::string why;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        why.append(buffer, static_cast<size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the save in a user namespace of its own failed (see above)";
    return why.empty() ? "" : "in a user namespace: " + why;
}

TEST_P(SaveFault, LeavesTheOldFileOrTheNewOneAndAMessage) {
    const FaultCase& fault = std::get<1>(GetParam());
    std::string notTaken;
    bool taken = false;
    for (const Route& route : fault.routes) {
        SCOPED_TRACE(std::string("route ") + route.name);
        const std::string why = take(route, fault);
        if (why.empty())
            taken = true;
        else
            notTaken += std::string(route.name) + ": " + why + ". ";
    }
    if (!notTaken.empty()) RecordProperty("routes_not_taken", notTaken);
    if (!taken) GTEST_SKIP() << notTaken;
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
