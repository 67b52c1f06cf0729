#include "card/cardfileheader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zqw {

namespace {

constexpr size_t kHeaderTag = 6;  // "ZQW1.0"

}  // namespace

std::optional<std::string> readLinkedNotesName(const std::string& cardPath, std::string* why) {
    const auto refuse = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    const int fd = ::open(cardPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse("Not a regular file");
    }
    std::string head(kHeaderTag + kMostNoteNameBytes, '\0');
    size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = ::read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return refuse(std::strerror(error));
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    head.resize(got);
    // The first record ends at CR, and a Ctrl-Z ends the whole file.
    const size_t end = head.find_first_of("\r\x1A");
    if (end != std::string::npos) head.resize(end);
    if (head.size() < kHeaderTag || head.compare(0, 3, "ZQW") != 0 ||
        head.compare(3, 3, "1.0") != 0) {
        return refuse("not a card file");
    }
    return head.substr(kHeaderTag);
}

std::string notesBesideCard(const std::string& cardPath, const std::string& notesName) {
    const size_t nameSlash = notesName.find_last_of("/\\");
    const std::string bare =
        nameSlash == std::string::npos ? notesName : notesName.substr(nameSlash + 1);
    if (bare.empty()) return {};
    const size_t cardSlash = cardPath.find_last_of("/\\");
    const std::string folder =
        cardSlash == std::string::npos ? std::string() : cardPath.substr(0, cardSlash + 1);
    return folder + bare;
}

}  // namespace zqw
