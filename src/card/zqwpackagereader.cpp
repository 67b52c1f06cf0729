#include <sys/stat.h>
#include <zip.h>

#include <cerrno>
#include <cstring>

#include "card/packagelayout.h"
#include "card/textfile.h"
#include "card/zqwpackage.h"

namespace zqw {

using package_detail::archiveMessage;
using package_detail::kChunk;

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string packageEntryBareName(std::string_view storedName) {
    const size_t separator = storedName.find_last_of("/\\:");
    std::string_view bare =
        separator == std::string_view::npos ? storedName : storedName.substr(separator + 1);
    if (bare == "." || bare == "..") return {};
    return std::string(bare);
}

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    // Iterative matcher with one backtrack point for the last '*'.
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::string_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

PackageReader::PackageReader(const std::string& archivePath) {
    // Only a regular file can be a package: a pipe would keep a reader
    // waiting for ever and a device never ends.
    std::string why;
    std::optional<std::string> bytes = readRegularFile(archivePath, kMostPackageFileBytes, &why);
    if (!bytes) {
        error_ = why.empty() ? std::strerror(ENOENT) : why;
        return;
    }
    // What was checked is what is extracted: libzip reads these bytes, not
    // the file again.
    bytes_ = std::move(*bytes);
    archive_ = package_detail::openCheckedArchive(bytes_, names_, entries_, notices_, error_);
    if (!archive_) {
        names_.clear();
        entries_.clear();
        notices_.clear();
    }
}

PackageReader::~PackageReader() = default;

int PackageReader::firstFileEntry() const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].isFile) return static_cast<int>(i);
    }
    return -1;
}

bool PackageReader::extractMatching(const std::string& folder, std::string_view pattern,
                                    std::vector<std::string>* written) {
    if (!archive_) return false;
    std::vector<size_t> chosen;
    uint64_t total = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (!entry.isFile || entry.shadowed || !matchesWildcard(entry.bareName, pattern)) continue;
        chosen.push_back(i);
        total += entry.size;
    }
    uint64_t done = 0;
    for (const size_t i : chosen) {
        const std::string target = folder + "/" + entries_[i].bareName;
        if (!extractEntry(static_cast<int>(i), target, done, total)) return false;
        if (written) written->push_back(target);
    }
    return true;
}

bool PackageReader::extractEntry(int index, const std::string& target, uint64_t& done,
                                 uint64_t total) {
    const std::string& name = names_[static_cast<size_t>(index)];
    const uint64_t declared = entries_[static_cast<size_t>(index)].size;
    // A symbolic link of the name is replaced, not followed; a folder, pipe
    // or device of the name stays.
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISLNK(existing.st_mode)) {
        error_ = target + ": " +
                 (S_ISDIR(existing.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
        return false;
    }
    zip_file_t* entry = zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0);
    if (!entry) {
        error_ = name + ": " + archiveMessage(archive_.get());
        return false;
    }
    AtomicFile file;
    if (!file.open(target, newFileMode())) {
        error_ = target + ": " + file.error();
        zip_fclose(entry);
        return false;
    }
    uint64_t written = 0;
    bool ok = true;
    std::vector<char> buffer(kChunk);
    for (;;) {
        const zip_int64_t n = zip_fread(entry, buffer.data(), buffer.size());
        if (n < 0) {
            // Damaged data or a wrong checksum is found while reading.
            error_ = name + ": " + zip_error_strerror(zip_file_get_error(entry));
            ok = false;
            break;
        }
        if (n == 0) break;
        written += static_cast<uint64_t>(n);
        // The declared size was checked against the limits; data that goes
        // on past it is damage, and must not fill the disk.
        if (written > declared) {
            error_ = name + ": the entry holds more data than the package states";
            ok = false;
            break;
        }
        if (!file.write(std::string_view(buffer.data(), static_cast<size_t>(n)))) {
            error_ = target + ": " + file.error();
            ok = false;
            break;
        }
        done += static_cast<uint64_t>(n);
        if (progress_ && !progress_(done, total)) {
            error_ = "Extraction cancelled";
            ok = false;
            break;
        }
    }
    zip_fclose(entry);
    if (ok && !file.commit()) {
        error_ = target + ": " + file.error();
        ok = false;
    }
    return ok;
}

}  // namespace zqw
