#pragma once

#include <string>
#include <string_view>
#include <vector>

// libzip's archive handle; only the source file needs the library's header.
struct zip;

namespace zqw {

// A package (.zqw) is a ZIP archive holding a card file, first, and its notes
// file, each under its bare file name.

// The name an entry is extracted or stored under: the stored name without
// any folder part (either slash), drive or "." / ".." component. Empty when
// nothing of a file name is left (a folder entry, "..", "C:").
std::string packageEntryBareName(std::string_view storedName);

// Whether a bare name matches a wildcard pattern such as "*.ccf" ('*' any
// run of characters, '?' one character). Capital and small ASCII letters
// match alike, as file names do where packages are made.
bool matchesWildcard(std::string_view name, std::string_view pattern);

// Reads a package. The archive is opened on construction; isOpen() and
// error() tell whether that worked.
class PackageReader {
public:
    explicit PackageReader(const std::string& archivePath);
    ~PackageReader();
    PackageReader(const PackageReader&) = delete;
    PackageReader& operator=(const PackageReader&) = delete;

    bool isOpen() const { return archive_ != nullptr; }
    // Why the last operation failed, in words for a message.
    const std::string& error() const { return error_; }

    // The entries' names as stored, in archive order.
    const std::vector<std::string>& storedNames() const { return names_; }
    // Index of the first entry that names a file (folder entries and names
    // that are nothing but path parts do not), or -1.
    int firstFileEntry() const;

    // Writes every entry whose bare name matches the pattern into folder,
    // under its bare name only, so nothing lands outside the folder. A file
    // of that name is replaced (a symbolic link is replaced, not followed);
    // each file appears whole or not at all. Stops at the first entry that
    // cannot be extracted and returns false. The paths written are appended
    // to written when given.
    bool extractMatching(const std::string& folder, std::string_view pattern,
                         std::vector<std::string>* written = nullptr);

private:
    bool extractEntry(int index, const std::string& target);

    zip* archive_ = nullptr;
    std::vector<std::string> names_;
    std::string error_;
};

// Adds files to the package at archivePath, each under its bare name and in
// the order given; an existing package keeps its other entries, and an entry
// of the same name is replaced. A file that cannot be read is left out and
// listed in skipped. The package is written when all is added (libzip writes
// a temporary file and renames it, so a failure leaves the old package
// whole). Returns false, with error set, when the package cannot be opened
// or written.
bool addFilesToPackage(const std::string& archivePath, const std::vector<std::string>& files,
                       std::string& error, std::vector<std::string>* skipped = nullptr);

}  // namespace zqw
