#include "card/zqwpackage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "card/textfile.h"

namespace zqw {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string libzipMessage(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string archiveMessage(zip_t* archive) { return zip_error_strerror(zip_get_error(archive)); }

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

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
    // libzip would wait for ever on a pipe and read a device without end;
    // only a regular file can be a package.
    struct stat info {};
    if (::stat(archivePath.c_str(), &info) != 0) {
        error_ = std::strerror(errno);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = "Not a file";
        return;
    }
    int code = 0;
    archive_ = zip_open(archivePath.c_str(), ZIP_RDONLY, &code);
    if (!archive_) {
        error_ = libzipMessage(code);
        return;
    }
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        names_.emplace_back(name ? name : "");
    }
}

PackageReader::~PackageReader() {
    if (archive_) zip_discard(archive_);
}

int PackageReader::firstFileEntry() const {
    for (size_t i = 0; i < names_.size(); ++i) {
        const std::string& name = names_[i];
        // A stored name ending in a slash is a folder, whatever follows the
        // last separator before it.
        if (!name.empty() && name.back() != '/' && name.back() != '\\' &&
            !packageEntryBareName(name).empty()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool PackageReader::extractMatching(const std::string& folder, std::string_view pattern,
                                    std::vector<std::string>* written) {
    if (!archive_) return false;
    for (size_t i = 0; i < names_.size(); ++i) {
        const std::string& name = names_[i];
        if (name.empty() || name.back() == '/' || name.back() == '\\') continue;
        const std::string bare = packageEntryBareName(name);
        if (bare.empty() || !matchesWildcard(bare, pattern)) continue;
        const std::string target = folder + "/" + bare;
        if (!extractEntry(static_cast<int>(i), target)) return false;
        if (written) written->push_back(target);
    }
    return true;
}

bool PackageReader::extractEntry(int index, const std::string& target) {
    zip_file_t* entry = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!entry) {
        error_ = names_[static_cast<size_t>(index)] + ": " + archiveMessage(archive_);
        return false;
    }
    // The temporary file's name is short whatever the entry's name, so a
    // long name cannot make it too long for the folder.
    const size_t slash = target.rfind('/');
    std::string temp = target.substr(0, slash + 1) + ".zqwextract.XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error_ = target + ": " + std::strerror(errno);
        zip_fclose(entry);
        return false;
    }
    (void)::fchmod(fd, newFileMode());

    bool ok = true;
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(entry, buffer, sizeof buffer);
        if (n < 0) {
            // Damaged data or a wrong checksum is found while reading.
            error_ = names_[static_cast<size_t>(index)] + ": " +
                     zip_error_strerror(zip_file_get_error(entry));
            ok = false;
            break;
        }
        if (n == 0) break;
        if (!writeAllBytes(fd, std::string_view(buffer, static_cast<size_t>(n)))) {
            error_ = target + ": " + std::strerror(errno);
            ok = false;
            break;
        }
    }
    zip_fclose(entry);
    if (ok && ::fsync(fd) != 0) {
        error_ = target + ": " + std::strerror(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error_ = target + ": " + std::strerror(errno);
        ok = false;
    }
    // rename replaces a symbolic link of the target's name rather than
    // writing where it points, and refuses to replace a folder.
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error_ = target + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool addFilesToPackage(const std::string& archivePath, const std::vector<std::string>& files,
                       std::string& error, std::vector<std::string>* skipped) {
    int code = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_CREATE, &code);
    if (!archive) {
        error = libzipMessage(code);
        return false;
    }
    for (const std::string& file : files) {
        const std::string bare = packageEntryBareName(file);
        // The bytes are taken now: libzip reads its sources only when the
        // archive is written, and the file could change or go by then.
        const std::optional<std::string> bytes =
            bare.empty() ? std::nullopt : readRegularFile(file);
        if (!bytes) {
            if (skipped) skipped->push_back(file);
            continue;
        }
        void* copy = std::malloc(bytes->empty() ? 1 : bytes->size());
        if (!copy) {
            error = "Out of memory";
            zip_discard(archive);
            return false;
        }
        if (!bytes->empty()) std::memcpy(copy, bytes->data(), bytes->size());
        zip_source_t* source = zip_source_buffer(archive, copy, bytes->size(), 1);
        if (!source) {
            std::free(copy);
            error = archiveMessage(archive);
            zip_discard(archive);
            return false;
        }
        if (zip_file_add(archive, bare.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS) < 0) {
            zip_source_free(source);
            error = archiveMessage(archive);
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) != 0) {
        error = archiveMessage(archive);
        zip_discard(archive);
        return false;
    }
    return true;
}

}  // namespace zqw
