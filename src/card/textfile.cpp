#include "card/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace zqw {

namespace {

constexpr char kCtrlZ = 26;

std::string_view upToCtrlZ(std::string_view bytes) {
    const size_t stop = bytes.find(kCtrlZ);
    return stop == std::string_view::npos ? bytes : bytes.substr(0, stop);
}

std::string resolveLinks(const std::string& path) {
    // Replacing a symbolic link with a file would cut the link; write to
    // what it points at instead.
    std::string current = path;
    for (int hop = 0; hop < 16; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), PATH_MAX);
        if (n <= 0) return current;
        std::string next(target.data(), static_cast<size_t>(n));
        if (next[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
        }
        current = next;
    }
    return current;
}

}  // namespace

bool writeAllBytes(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
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
    if (atEnd()) return std::string(substitute);
    const size_t cr = bytes_.find('\r', pos_);
    const size_t stop = cr == std::string_view::npos ? end_ : cr;
    std::string record(bytes_.substr(pos_, stop - pos_));
    pos_ = stop;
    if (pos_ < end_) ++pos_;  // the CR
    if (pos_ < end_ && bytes_[pos_] == '\n') ++pos_;
    return record;
}

std::optional<std::string> readRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content;
    content.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return content;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string target = resolveLinks(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) return false;

    std::string temp = target + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    temp = name.data();

    mode_t mode = 0666;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    (void)::fchmod(fd, mode);  // a mode we cannot set is no reason to lose the save
    bool ok = writeAllBytes(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace zqw
