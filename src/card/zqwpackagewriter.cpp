#include <sys/stat.h>
#include <zip.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include "card/card.h"
#include "card/cardfileheader.h"
#include "card/noteslink.h"
#include "card/packagelayout.h"
#include "card/textfile.h"
#include "card/zqwpackage.h"

namespace zqw {

using package_detail::archiveMessage;
using package_detail::kChunk;
using package_detail::libzipMessage;
using package_detail::openCheckedArchive;

namespace {

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
    // Declared before the new archive, so that it outlives it: the new
    // archive copies entries from it when it is written.
    ZipArchive old;
    if (oldBytes) {
        old = openCheckedArchive(*oldBytes, oldNames, oldEntries, ignoredNotices, why);
        if (!old) return failed(why);
    }

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    ZipArchive archive(memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &zipError) : nullptr);
    if (!archive) {
        if (memory) zip_source_free(memory);
        const std::string message = libzipMessage(&zipError);
        zip_error_fini(&zipError);
        return failed(message);
    }
    zip_error_fini(&zipError);
    // The archive writes itself into this source when closed; a reference
    // of our own keeps it to read the bytes back.
    zip_source_keep(memory);
    const ZipSourceReference written(memory);

    if (!addBytes(archive.get(), cardName, *card, modificationTime(contents.cardFile), why))
        return failed(why);
    if (notes &&
        !addBytes(archive.get(), notesName, *notes, modificationTime(contents.notesFile), why))
        return failed(why);
    for (size_t i = 0; i < oldEntries.size(); ++i) {
        const OldEntry& entry = oldEntries[i];
        if (!entry.isFile || entry.shadowed || entry.bareName == cardName ||
            entry.bareName == notesName) {
            continue;
        }
        zip_source_t* source = zip_source_zip(archive.get(), old.get(), i, 0, 0, -1);
        if (!source) return failed(archiveMessage(archive.get()));
        if (zip_file_add(archive.get(), entry.bareName.c_str(), source, ZIP_FL_ENC_GUESS) < 0) {
            zip_source_free(source);
            return failed(archiveMessage(archive.get()));
        }
    }
    if (!archive.close()) return failed(archiveMessage(archive.get()));
    std::string bytes;
    if (!sourceBytes(written.get(), bytes)) return failed(std::strerror(EIO));

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
