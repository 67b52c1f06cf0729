#include "card/textfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "card/filelimits.h"
#include "card/savecalls.h"

namespace zqw {

namespace {

constexpr char kCtrlZ = 26;
// Symbolic links a save follows before it calls them a loop, as the system
// itself does.
constexpr int kMostLinkHops = 40;

std::string_view upToCtrlZ(std::string_view bytes) {
    const size_t stop = bytes.find(kCtrlZ);
    return stop == std::string_view::npos ? bytes : bytes.substr(0, stop);
}

std::string errorText(int error) { return std::strerror(error); }

const char* const kNotRegular = "Not a regular file";

// The folder part of a path with its last slash, or "" for a bare name.
std::string folderPart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string_view bareNamePart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Every temporary file of one target starts with the same prefix, made from
// a hash of the target's name so that it stays short even beside a name of
// the longest length the file system allows; a later save of the same file
// finds what a killed one left behind by it.
std::string temporaryPrefix(std::string_view bareName) {
    uint64_t hash = 1469598103934665603ULL;  // FNV-1a
    for (const char c : bareName) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char text[32];
    std::snprintf(text, sizeof text, ".zqw%016llx.", static_cast<unsigned long long>(hash));
    return text;
}

constexpr size_t kTemporarySuffix = 6;  // mkstemp's XXXXXX

// A save in progress holds a lock on its temporary file, so a file of the
// target's prefix that can be locked belongs to a save that was killed.
void removeAbandonedTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + kTemporarySuffix ||
            name.substr(0, prefix.size()) != prefix)
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

// Where a save of path lands: path itself, or the file its symbolic links
// lead to (which need not exist yet). Replacing a link with a file would cut
// the link. nullopt with error set for a loop or an unreadable link.
std::optional<std::string> followLinks(const std::string& path, int& error) {
    std::string current = path;
    for (int hop = 0; hop <= kMostLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) return current;
            error = errno;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), PATH_MAX);
        if (n <= 0) {
            error = n < 0 ? errno : ENOENT;
            return std::nullopt;
        }
        std::string next(target.data(), static_cast<size_t>(n));
        if (next[0] != '/') next = folderPart(current) + next;
        current = next;
    }
    error = ELOOP;
    return std::nullopt;
}

// Reads an open file to its end; false on a read error.
bool readAll(int fd, std::string& content, size_t mostBytes, bool& tooLarge) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (content.size() + static_cast<size_t>(n) > mostBytes) {
            tooLarge = true;
            return false;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
}

// The fallback for a folder that refuses new files: the new bytes are
// written over the old ones, which are held in memory and written back
// when the new ones do not all fit.
bool writeInPlace(const std::string& target, std::string_view bytes, std::string* why) {
    const int fd =
        saveCalls.openExisting(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (why) *why = errorText(errno);
        return false;
    }
    struct stat info {};
    std::string old;
    bool tooLarge = false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !readAll(fd, old, static_cast<size_t>(-1), tooLarge)) {
        if (why) *why = S_ISREG(info.st_mode) ? errorText(errno) : kNotRegular;
        ::close(fd);
        return false;
    }
    // Both the new bytes and, on failure, the old ones go from the start.
    const auto writeFromStart = [fd](std::string_view content) {
        return ::lseek(fd, 0, SEEK_SET) == 0 && writeAllBytes(fd, content) &&
               saveCalls.truncate(fd, static_cast<off_t>(content.size())) == 0;
    };
    const bool written = writeFromStart(bytes) && saveCalls.flush(fd) == 0;
    if (!written) {
        const int error = errno;
        // Best effort: whatever of this fails, nothing better is left to try.
        if (writeFromStart(old)) (void)saveCalls.flush(fd);
        ::close(fd);
        if (why) *why = errorText(error);
        return false;
    }
    if (::close(fd) != 0) {
        if (why) *why = errorText(errno);
        return false;
    }
    return true;
}

// Where a save may go: the resolved target, refused when it is something
// other than a regular file or a new name.
std::optional<std::string> saveTarget(const std::string& path, bool& existed, std::string* why) {
    if (path.empty() || path.back() == '/') {
        if (why) *why = path.empty() ? "No file name" : errorText(EISDIR);
        return std::nullopt;
    }
    int error = 0;
    std::optional<std::string> target = followLinks(path, error);
    if (!target) {
        if (why) *why = errorText(error);
        return std::nullopt;
    }
    struct stat info {};
    existed = ::lstat(target->c_str(), &info) == 0;
    if (existed && !S_ISREG(info.st_mode)) {
        if (why) *why = S_ISDIR(info.st_mode) ? errorText(EISDIR) : kNotRegular;
        return std::nullopt;
    }
    return target;
}

int openExisting(const char* path, int flags) { return ::open(path, flags); }

}  // namespace

SaveCalls saveCalls = {::mkostemp, openExisting, ::write, ::ftruncate, ::fsync, ::rename};

std::string fileTooLargeReason(size_t mostBytes) {
    constexpr size_t kMegabyte = size_t{1} << 20;
    if (mostBytes % kMegabyte == 0)
        return "larger than " + std::to_string(mostBytes / kMegabyte) + " MB";
    return "larger than " + std::to_string(mostBytes) + " bytes";
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAllBytes(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = saveCalls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void forEachTextLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine) {
    const std::string_view text = upToCtrlZ(bytes);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        onLine(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == '\r') {
            ++end;
            if (end < text.size() && text[end] == '\n') ++end;
        } else if (end < text.size()) {
            ++end;  // LF
        }
        pos = end;
    }
}

RecordReader::RecordReader(std::string_view bytes)
    : bytes_(upToCtrlZ(bytes)), end_(bytes_.size()) {}

std::string RecordReader::next(std::string_view substitute) {
    return std::string(nextView(substitute));
}

std::string_view RecordReader::nextView(std::string_view substitute) {
    if (atEnd()) return substitute;
    const size_t cr = bytes_.find('\r', pos_);
    const size_t stop = cr == std::string_view::npos ? end_ : cr;
    const std::string_view record = bytes_.substr(pos_, stop - pos_);
    pos_ = stop;
    if (pos_ < end_) ++pos_;  // the CR
    if (pos_ < end_ && bytes_[pos_] == '\n') ++pos_;
    return record;
}

std::optional<std::string> readRegularFile(const std::string& path) {
    return readRegularFile(path, static_cast<size_t>(-1), nullptr);
}

std::optional<std::string> readRegularFile(const std::string& path, size_t mostBytes,
                                           std::string* why) {
    const auto refuse = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(errno == ENOENT ? std::string() : errorText(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(kNotRegular);
    }
    if (static_cast<uint64_t>(info.st_size) > mostBytes) {
        ::close(fd);
        return refuse(fileTooLargeReason(mostBytes));
    }
    std::string content;
    content.reserve(static_cast<size_t>(info.st_size));
    bool tooLarge = false;
    const bool read = readAll(fd, content, mostBytes, tooLarge);
    const int error = errno;
    ::close(fd);
    if (!read) return refuse(tooLarge ? fileTooLargeReason(mostBytes) : errorText(error));
    return content;
}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail(int error) {
    errno_ = error;
    error_ = errorText(error);
    discard();
    return false;
}

bool AtomicFile::open(const std::string& target, mode_t mode) {
    discard();
    error_.clear();
    errno_ = 0;
    target_ = target;
    const std::string folder = folderPart(target);
    const std::string prefix = temporaryPrefix(bareNamePart(target));
    removeAbandonedTemporaries(folder, prefix);
    temp_ = folder + prefix + std::string(kTemporarySuffix, 'X');
    fd_ = saveCalls.createTemporary(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        temp_.clear();
        return fail(error);
    }
    // The lock tells other saves that this file is in use.
    (void)::flock(fd_, LOCK_EX);
    // The replaced file's permissions and owner carry over; a mode or owner
    // that cannot be set is no reason to lose the save.
    struct stat old {};
    if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        (void)::fchmod(fd_, old.st_mode & 07777);
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd_, old.st_uid, old.st_gid) != 0) {
            // Only a privileged save can give the file back to its owner.
        }
    } else {
        (void)::fchmod(fd_, mode);
    }
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (fd_ < 0) return false;
    if (!writeAllBytes(fd_, bytes)) return fail(errno);
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (saveCalls.flush(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (saveCalls.rename(temp_.c_str(), target_.c_str()) != 0) return fail(errno);
    temp_.clear();
    // The rename itself is made durable by flushing the folder.
    const std::string folder = folderPart(target_);
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* why) {
    return writeFileAtomicallyInPieces(
        path, [bytes](const PieceSink& sink) { return sink(bytes); }, why);
}

bool writeFileAtomicallyInPieces(const std::string& path,
                                 const std::function<bool(const PieceSink&)>& produce,
                                 std::string* why) {
    bool existed = false;
    const std::optional<std::string> target = saveTarget(path, existed, why);
    if (!target) return false;
    // The folder refuses the temporary file, or replacing the target (a
    // sticky folder, a file mounted in place): only the target itself can
    // still take the bytes.
    const auto folderRefuses = [](int error) {
        return error == EACCES || error == EPERM || error == EROFS || error == EBUSY;
    };
    const auto inPlace = [&] {
        std::string bytes;
        produce([&bytes](std::string_view piece) {
            bytes += piece;
            return true;
        });
        return writeInPlace(*target, bytes, why);
    };
    AtomicFile file;
    if (!file.open(*target, newFileMode())) {
        if (existed && folderRefuses(file.errorNumber())) return inPlace();
        if (why) *why = file.error();
        return false;
    }
    if (!produce([&file](std::string_view piece) { return file.write(piece); })) {
        if (why) *why = file.error();
        return false;
    }
    if (!file.commit()) {
        if (existed && folderRefuses(file.errorNumber())) return inPlace();
        if (why) *why = file.error();
        return false;
    }
    return true;
}

bool copyFileAtomically(const std::string& source, const std::string& target, std::string* why) {
    const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) {
        if (why) *why = errorText(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(in);
        if (why) *why = kNotRegular;
        return false;
    }
    bool existed = false;
    const std::optional<std::string> resolved = saveTarget(target, existed, why);
    AtomicFile file;
    if (!resolved || !file.open(*resolved, newFileMode())) {
        if (resolved && why) *why = file.error();
        ::close(in);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (why) *why = errorText(errno);
            ::close(in);
            return false;
        }
        if (n == 0) break;
        if (!file.write(std::string_view(buffer, static_cast<size_t>(n)))) {
            if (why) *why = file.error();
            ::close(in);
            return false;
        }
    }
    ::close(in);
    if (!file.commit()) {
        if (why) *why = file.error();
        return false;
    }
    return true;
}

}  // namespace zqw
