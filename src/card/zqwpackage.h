#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/ziparchive.h"

namespace zqw {

class Card;
class NotesLinkApproval;
struct NotesLinkTarget;

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

// Told how far an extraction has come: bytes written so far, of the total
// the entries being extracted declare. Returning false stops the extraction
// (the file being written is dropped; files already complete stay).
using ExtractProgress = std::function<bool(uint64_t bytesDone, uint64_t bytesTotal)>;

// Reads a package. The archive is read and checked on construction; isOpen()
// and error() tell whether that worked. A package over the limits of
// card/filelimits.h (entries, their unpacked sizes) or whose entries share
// their data is refused with the limit in error(), before anything is
// unpacked.
class PackageReader {
public:
    explicit PackageReader(const std::string& archivePath);
    ~PackageReader();
    PackageReader(const PackageReader&) = delete;
    PackageReader& operator=(const PackageReader&) = delete;

    bool isOpen() const { return static_cast<bool>(archive_); }
    // Why the last operation failed, in words for a message.
    const std::string& error() const { return error_; }
    // What was found but did not stop the reading, one sentence each for the
    // user: entries skipped because an earlier one has the same bare name,
    // symbolic link entries (never extracted).
    const std::vector<std::string>& notices() const { return notices_; }

    // The entries' names as stored (raw bytes), in archive order.
    const std::vector<std::string>& storedNames() const { return names_; }
    // Index of the first entry that names a file (folder entries, symbolic
    // links and names that are nothing but path parts do not), or -1.
    int firstFileEntry() const;

    // Reports progress during extractMatching and lets the caller stop it.
    void setProgress(ExtractProgress progress) { progress_ = std::move(progress); }

    // Writes every file entry whose bare name matches the pattern into
    // folder, under its bare name only, so nothing lands outside the folder.
    // Of entries with the same bare name only the first is written. A file of
    // that name is replaced (a symbolic link is replaced, not followed; a
    // folder, pipe or device is not); each file appears whole or not at all,
    // and never larger than its entry declares. Stops at the first entry that
    // cannot be extracted and returns false. The paths written are appended
    // to written when given.
    bool extractMatching(const std::string& folder, std::string_view pattern,
                         std::vector<std::string>* written = nullptr);

private:
    struct Entry {
        std::string bareName;
        uint64_t size = 0;  // unpacked, as declared
        bool isFile = false;
        bool isLink = false;
        bool shadowed = false;  // an earlier file entry has the same bare name
    };

    bool extractEntry(int index, const std::string& target, uint64_t& done, uint64_t total);

    std::string bytes_;
    ZipArchive archive_;
    std::vector<std::string> names_;
    std::vector<Entry> entries_;
    std::vector<std::string> notices_;
    std::string error_;
    ExtractProgress progress_;
};

// The files a package of a card holds.
struct PackageContents {
    std::string cardFile;
    // Empty when the card links no notes file or the notes are not open.
    std::string notesFile;
};

// Whether a package command worked; when not, a message for the user that
// names the file and the reason.
struct PackageResult {
    bool ok = false;
    std::string message;
    explicit operator bool() const { return ok; }
};

// The card file and, when linked and open, the notes file, as they stand on
// disk (unsaved changes are not in a package).
PackageContents packageContentsOf(const Card& card);

// The same for a card file on disk: the notes its first record links, found
// where reading the card finds them (card/noteslink.h); no notes when they
// are nowhere. A package never holds a file that reading the card would not
// open: a link out of the card's folder is packed only when approval
// allows it (nullptr: never), and one to something other than a regular
// file not at all. nullopt, with why set, when the card file cannot be read
// or is no card file, or when its link is refused; link, when given,
// receives where the link leads.
std::optional<PackageContents> packageContentsOfCardFile(const std::string& cardPath,
                                                         NotesLinkApproval* approval,
                                                         std::string* why = nullptr,
                                                         NotesLinkTarget* link = nullptr);

// What becomes of a package already at the path a new one is written to.
enum class ExistingPackage {
    // Its other entries stay (after the card and notes); entries of the same
    // bare name are replaced, so no name is held twice.
    KeepOtherEntries,
    // A new package of the card and notes alone takes its place.
    Replace,
};

// Writes the package: the card first, the notes second, each under its bare
// name. The package is written whole beside its place and renamed over it;
// on any failure, including a card that was never saved or a file that is
// missing, nothing is written.
PackageResult producePackage(const std::string& packagePath, const PackageContents& contents,
                             ExistingPackage existing = ExistingPackage::KeepOtherEntries);

// Copies a package into a folder under its own file name, replacing a file
// of that name there; the copy appears whole or not at all.
PackageResult backupPackage(const std::string& packagePath, const std::string& folder);

// The size of the package these files would make, measured by making it
// in the temporary folder; nullopt when it cannot be made.
std::optional<uint64_t> measurePackage(const PackageContents& contents);

}  // namespace zqw
