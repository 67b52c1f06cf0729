#include "card/zqwpackage.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <set>

#include "card/card.h"
#include "card/cardfileheader.h"
#include "card/filelimits.h"
#include "card/noteslink.h"
#include "card/textfile.h"

namespace zqw {

namespace {

constexpr size_t kChunk = 65536;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string libzipMessage(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string libzipMessage(zip_error_t* error) { return zip_error_strerror(error); }

std::string archiveMessage(zip_t* archive) { return zip_error_strerror(zip_get_error(archive)); }

std::string megabytes(uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

// --- the archive's layout ---------------------------------------------------
//
// libzip tells neither where an entry's data lies nor how many entries there
// are before it has read them all, so the central directory is walked here
// first: to refuse a flood of entries before it is read, and entries whose
// data overlap (one small compressed stream shared by many entries unpacks
// many times over).

uint64_t readLittleEndian(const std::string& bytes, uint64_t at, int width) {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[static_cast<size_t>(at) + i]);
    return value;
}

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kZip64Locator = 0x07064b50;
constexpr uint32_t kZip64End = 0x06064b50;

struct DataSpan {
    uint64_t start = 0;
    uint64_t end = 0;
    std::string name;
};

class LayoutCheck {
public:
    explicit LayoutCheck(const std::string& bytes) : bytes_(bytes) {}

    // True when the layout is sound and within the entry limit; otherwise
    // error says why. entryCount is what the directory declares.
    bool run(uint64_t& entryCount, std::string& error) {
        uint64_t directory = 0;
        uint64_t directorySize = 0;
        if (!findEnd(entryCount, directory, directorySize)) {
            error = libzipMessage(ZIP_ER_NOZIP);
            return false;
        }
        if (entryCount > kMostPackageEntries) {
            error =
                "the package holds more than " + std::to_string(kMostPackageEntries) + " entries";
            return false;
        }
        std::vector<DataSpan> spans;
        uint64_t at = directory;
        for (uint64_t i = 0; i < entryCount; ++i) {
            DataSpan span;
            if (!readEntry(at, span)) {
                error = libzipMessage(ZIP_ER_INCONS);
                return false;
            }
            spans.push_back(std::move(span));
        }
        std::stable_sort(spans.begin(), spans.end(),
                         [](const DataSpan& a, const DataSpan& b) { return a.start < b.start; });
        for (size_t i = 1; i < spans.size(); ++i) {
            if (spans[i].start < spans[i - 1].end) {
                error = "the entries " + spans[i - 1].name + " and " + spans[i].name +
                        " share their data";
                return false;
            }
        }
        return true;
    }

private:
    bool has(uint64_t at, uint64_t length) const {
        return at <= bytes_.size() && length <= bytes_.size() - at;
    }
    uint64_t u16(uint64_t at) const { return readLittleEndian(bytes_, at, 2); }
    uint64_t u32(uint64_t at) const { return readLittleEndian(bytes_, at, 4); }
    uint64_t u64(uint64_t at) const { return readLittleEndian(bytes_, at, 8); }

    bool findEnd(uint64_t& count, uint64_t& directory, uint64_t& directorySize) const {
        if (bytes_.size() < 22) return false;
        const uint64_t last = bytes_.size() - 22;
        const uint64_t first = last > 65535 ? last - 65535 : 0;
        for (uint64_t at = last + 1; at-- > first;) {
            if (u32(at) != kEndOfDirectory) continue;
            count = u16(at + 10);
            directorySize = u32(at + 12);
            directory = u32(at + 16);
            if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directory == 0xFFFFFFFF) {
                if (at < 20 || u32(at - 20) != kZip64Locator) return false;
                const uint64_t end64 = u64(at - 20 + 8);
                if (!has(end64, 56) || u32(end64) != kZip64End) return false;
                count = u64(end64 + 32);
                directorySize = u64(end64 + 40);
                directory = u64(end64 + 48);
            }
            return has(directory, directorySize);
        }
        return false;
    }

    bool readEntry(uint64_t& at, DataSpan& span) const {
        if (!has(at, 46) || u32(at) != kCentralHeader) return false;
        uint64_t packed = u32(at + 20);
        uint64_t unpacked = u32(at + 24);
        const uint64_t nameLength = u16(at + 28);
        const uint64_t extraLength = u16(at + 30);
        const uint64_t commentLength = u16(at + 32);
        uint64_t local = u32(at + 42);
        if (!has(at + 46, nameLength + extraLength + commentLength)) return false;
        span.name = bytes_.substr(static_cast<size_t>(at + 46), static_cast<size_t>(nameLength));
        // The ZIP64 extra field holds, in this order, the values whose
        // 32-bit fields are all ones.
        uint64_t extra = at + 46 + nameLength;
        const uint64_t extraEnd = extra + extraLength;
        while (extra + 4 <= extraEnd) {
            const uint64_t id = u16(extra);
            const uint64_t length = u16(extra + 2);
            uint64_t field = extra + 4;
            const uint64_t fieldEnd = field + length;
            if (fieldEnd > extraEnd) return false;
            if (id == 1) {
                for (uint64_t* value : {&unpacked, &packed, &local}) {
                    if (*value != 0xFFFFFFFF) continue;
                    if (field + 8 > fieldEnd) return false;
                    *value = u64(field);
                    field += 8;
                }
            }
            extra = fieldEnd;
        }
        if (!has(local, 30) || u32(local) != kLocalHeader) return false;
        const uint64_t data = local + 30 + u16(local + 26) + u16(local + 28);
        if (!has(data, packed)) return false;
        span.start = local;
        span.end = data + packed;
        at += 46 + nameLength + extraLength + commentLength;
        return true;
    }

    const std::string& bytes_;
};

bool isLinkEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// Opens archive bytes (which must outlive the archive) after checking them
// against the package limits, and describes the entries. nullptr with error
// set when the archive is refused.
template <typename Entry>
zip_t* openCheckedArchive(const std::string& bytes, std::vector<std::string>& names,
                          std::vector<Entry>& entries, std::vector<std::string>& notices,
                          std::string& error) {
    uint64_t declared = 0;
    if (!LayoutCheck(bytes).run(declared, error)) return nullptr;

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    if (!archive) {
        error = libzipMessage(&zipError);
        if (source) zip_source_free(source);
        zip_error_fini(&zipError);
        return nullptr;
    }
    zip_error_fini(&zipError);

    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<uint64_t>(count) != declared) {
        error = libzipMessage(ZIP_ER_INCONS);
        zip_discard(archive);
        return nullptr;
    }
    uint64_t total = 0;
    std::set<std::string> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        // Raw names come back as they were stored, so a name made here from
        // a file name in any encoding is extracted under the same bytes.
        const char* name = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        names.emplace_back(name ? name : "");
        Entry entry;
        const std::string& stored = names.back();
        entry.bareName = packageEntryBareName(stored);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
            error = stored + ": " + archiveMessage(archive);
            zip_discard(archive);
            return nullptr;
        }
        entry.size = stat.size;
        if (entry.size > kMostPackageEntryBytes) {
            error = stored + " unpacks to more than " + megabytes(kMostPackageEntryBytes);
            zip_discard(archive);
            return nullptr;
        }
        total += entry.size;
        if (total > kMostPackageBytes) {
            error = "the entries unpack to more than " + megabytes(kMostPackageBytes);
            zip_discard(archive);
            return nullptr;
        }
        const bool folder = stored.empty() || stored.back() == '/' || stored.back() == '\\';
        entry.isLink = !folder && isLinkEntry(archive, index);
        entry.isFile = !folder && !entry.isLink && !entry.bareName.empty();
        if (entry.isLink) {
            notices.push_back(stored + " is a symbolic link; it is not extracted");
        } else if (entry.isFile && !seen.insert(entry.bareName).second) {
            // The card is read from the first entry, so the first of a name
            // is the one that counts.
            entry.shadowed = true;
            notices.push_back(entry.bareName +
                              " is in the package more than once; the first one is used");
        }
        entries.push_back(std::move(entry));
    }
    return archive;
}

std::optional<std::string> readForPackage(const std::string& path, std::string& why) {
    std::optional<std::string> bytes = readRegularFile(path, kMostPackageEntryBytes, &why);
    if (!bytes && why.empty()) why = std::strerror(ENOENT);
    return bytes;
}

// Adds bytes from memory as an entry; libzip frees its own copy.
bool addBytes(zip_t* archive, const std::string& name, const std::string& bytes, time_t mtime,
              std::string& error) {
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!copy) {
        error = std::strerror(ENOMEM);
        return false;
    }
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
    if (!source) {
        std::free(copy);
        error = archiveMessage(archive);
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
        zip_source_free(source);
        error = archiveMessage(archive);
        return false;
    }
    (void)zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), mtime, 0);
    return true;
}

time_t modificationTime(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mtime : time(nullptr);
}

// The archive libzip wrote into a memory source, as bytes.
bool sourceBytes(zip_source_t* source, std::string& bytes) {
    if (zip_source_open(source) != 0) return false;
    bytes.clear();
    char buffer[kChunk];
    for (;;) {
        const zip_int64_t n = zip_source_read(source, buffer, sizeof buffer);
        if (n < 0) {
            zip_source_close(source);
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    zip_source_close(source);
    return true;
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
    archive_ = openCheckedArchive(bytes_, names_, entries_, notices_, error_);
    if (!archive_) {
        names_.clear();
        entries_.clear();
        notices_.clear();
    }
}

PackageReader::~PackageReader() {
    if (archive_) zip_discard(archive_);
}

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
    zip_file_t* entry = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!entry) {
        error_ = name + ": " + archiveMessage(archive_);
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

PackageContents packageContentsOf(const Card& card) {
    PackageContents contents;
    contents.cardFile = card.isOpen ? card.cardFileName : std::string();
    if (!card.notesFileName.empty() && card.notesOpen) contents.notesFile = card.notesFileName;
    return contents;
}

std::optional<PackageContents> packageContentsOfCardFile(const std::string& cardPath,
                                                         NotesLinkApproval* approval,
                                                         std::string* why, NotesLinkTarget* link) {
    const std::optional<std::string> notes = readLinkedNotesName(cardPath, why);
    if (!notes) return std::nullopt;
    PackageContents contents;
    contents.cardFile = cardPath;
    const NotesLinkTarget target = findLinkedNotes(cardPath, *notes);
    if (link) *link = target;
    const auto refuse = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    switch (target.place) {
        case NotesLinkTarget::Place::Beside:
            contents.notesFile = target.path;
            break;
        case NotesLinkTarget::Place::Outside:
            if (!approval || !approval->followOutside(cardPath, target.path)) {
                return refuse("the card links the notes file " + target.path +
                              ", outside the card's folder");
            }
            contents.notesFile = target.path;
            break;
        case NotesLinkTarget::Place::NotRegular:
            return refuse("the notes file " + target.path + " is not a regular file");
        case NotesLinkTarget::Place::None:
        case NotesLinkTarget::Place::Missing:
            break;
    }
    return contents;
}

PackageResult producePackage(const std::string& packagePath, const PackageContents& contents,
                             ExistingPackage existing) {
    PackageResult result;
    const auto failed = [&result, &packagePath](const std::string& reason) {
        result.message = "Unable to produce the ZQW file " + packagePath + ": " + reason;
        return result;
    };
    if (contents.cardFile.empty() || contents.cardFile == kNoFile) return failed("no card is open");
    if (contents.cardFile == kUnnamedFile) return failed("the card has never been saved");

    // Both files are read now, whole: a package must never lack the card
    // it was made for, nor the notes the card links.
    std::string why;
    const std::optional<std::string> card = readForPackage(contents.cardFile, why);
    if (!card) return failed("cannot read the card file " + contents.cardFile + ": " + why);
    std::optional<std::string> notes;
    const std::string cardName = packageEntryBareName(contents.cardFile);
    std::string notesName;
    if (!contents.notesFile.empty()) {
        notes = readForPackage(contents.notesFile, why);
        if (!notes) return failed("cannot read the notes file " + contents.notesFile + ": " + why);
        notesName = packageEntryBareName(contents.notesFile);
        if (notesName == cardName)
            return failed("the card and its notes have the same file name " + cardName);
    }
    if (cardName.empty()) return failed("cannot read the card file " + contents.cardFile);

    // The entries of an existing package are kept; it is checked as a
    // package being opened is, so no package is made that could not be
    // opened again.
    std::optional<std::string> oldBytes;
    if (existing == ExistingPackage::KeepOtherEntries) {
        oldBytes = readRegularFile(packagePath, kMostPackageFileBytes, &why);
        if (!oldBytes && !why.empty()) return failed(why);
    }
    std::vector<std::string> oldNames;
    struct OldEntry {
        std::string bareName;
        uint64_t size = 0;
        bool isFile = false;
        bool isLink = false;
        bool shadowed = false;
    };
    std::vector<OldEntry> oldEntries;
    std::vector<std::string> ignoredNotices;
    zip_t* old = nullptr;
    if (oldBytes) {
        old = openCheckedArchive(*oldBytes, oldNames, oldEntries, ignoredNotices, why);
        if (!old) return failed(why);
    }

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    zip_t* archive = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &zipError) : nullptr;
    if (!archive) {
        if (memory) zip_source_free(memory);
        if (old) zip_discard(old);
        const std::string message = libzipMessage(&zipError);
        zip_error_fini(&zipError);
        return failed(message);
    }
    zip_error_fini(&zipError);
    // The archive writes itself into this source when closed; keep it to
    // read the bytes back.
    zip_source_keep(memory);

    const auto abandon = [&](const std::string& reason) {
        zip_discard(archive);
        zip_source_free(memory);
        if (old) zip_discard(old);
        return failed(reason);
    };
    if (!addBytes(archive, cardName, *card, modificationTime(contents.cardFile), why))
        return abandon(why);
    if (notes && !addBytes(archive, notesName, *notes, modificationTime(contents.notesFile), why))
        return abandon(why);
    for (size_t i = 0; i < oldEntries.size(); ++i) {
        const OldEntry& entry = oldEntries[i];
        if (!entry.isFile || entry.shadowed || entry.bareName == cardName ||
            entry.bareName == notesName) {
            continue;
        }
        zip_source_t* source = zip_source_zip(archive, old, i, 0, 0, -1);
        if (!source) return abandon(archiveMessage(archive));
        if (zip_file_add(archive, entry.bareName.c_str(), source, ZIP_FL_ENC_GUESS) < 0) {
            zip_source_free(source);
            return abandon(archiveMessage(archive));
        }
    }
    if (zip_close(archive) != 0) return abandon(archiveMessage(archive));
    if (old) zip_discard(old);
    std::string bytes;
    const bool read = sourceBytes(memory, bytes);
    zip_source_free(memory);
    if (!read) return failed(std::strerror(EIO));

    if (!writeFileAtomically(packagePath, bytes, &why)) return failed(why);
    result.ok = true;
    return result;
}

PackageResult backupPackage(const std::string& packagePath, const std::string& folder) {
    PackageResult result;
    const std::string name = packageEntryBareName(packagePath);
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string target = (base == "/" ? base : base + "/") + name;
    std::string why;
    if (name.empty()) {
        why = "no file name";
    } else if (folder.empty()) {
        why = "no folder";
    } else if (copyFileAtomically(packagePath, target, &why)) {
        result.ok = true;
        return result;
    }
    result.message = "Unable to back up the ZQW file " + packagePath + " to " + target + ": " + why;
    return result;
}

std::optional<uint64_t> measurePackage(const PackageContents& contents) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    if (error) return std::nullopt;
    // A name no one else picks; the package writer replaces whatever is
    // there without following it.
    std::random_device random;
    const fs::path path = folder / ("zqwcce-measure-" + std::to_string(random()) + "-" +
                                    std::to_string(random()) + ".zqw");
    const PackageResult made = producePackage(path.string(), contents);
    std::optional<uint64_t> size;
    if (made) {
        const auto bytes = fs::file_size(path, error);
        if (!error) size = bytes;
    }
    fs::remove(path, error);
    return size;
}

}  // namespace zqw
