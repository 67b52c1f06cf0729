#pragma once

// What reading and writing packages share: libzip's messages, the check of
// an archive's layout against the package limits, and opening an archive
// checked. Only the package code includes this header (it brings libzip's).

#include <zip.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "card/filelimits.h"
#include "card/ziparchive.h"
#include "card/zqwpackage.h"

namespace zqw::package_detail {

// Bytes read or written at a time.
inline constexpr size_t kChunk = 65536;

std::string libzipMessage(int code);
std::string libzipMessage(zip_error_t* error);
std::string archiveMessage(zip_t* archive);
std::string megabytes(uint64_t bytes);

// True when the archive's layout is sound and within the package limits;
// entryCount is what its directory declares. Otherwise error says why.
// libzip tells neither where an entry's data lies nor how many entries there
// are before it has read them all, so the central directory is walked here
// first: to refuse a flood of entries before it is read, and entries whose
// data overlap (one small compressed stream shared by many entries unpacks
// many times over).
bool checkPackageLayout(const std::string& bytes, uint64_t& entryCount, std::string& error);

bool isLinkEntry(zip_t* archive, zip_uint64_t index);

// Opens archive bytes (which must outlive the archive) after checking them
// against the package limits, and describes the entries. No archive, with
// error set, when it is refused.
template <typename Entry>
ZipArchive openCheckedArchive(const std::string& bytes, std::vector<std::string>& names,
                              std::vector<Entry>& entries, std::vector<std::string>& notices,
                              std::string& error) {
    uint64_t declared = 0;
    if (!checkPackageLayout(bytes, declared, error)) return {};

    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError);
    ZipArchive archive(source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr);
    if (!archive) {
        error = libzipMessage(&zipError);
        if (source) zip_source_free(source);
        zip_error_fini(&zipError);
        return {};
    }
    zip_error_fini(&zipError);

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<uint64_t>(count) != declared) {
        error = libzipMessage(ZIP_ER_INCONS);
        return {};
    }
    uint64_t total = 0;
    std::set<std::string> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        // Raw names come back as they were stored, so a name made here from
        // a file name in any encoding is extracted under the same bytes.
        const char* name = zip_get_name(archive.get(), index, ZIP_FL_ENC_RAW);
        names.emplace_back(name ? name : "");
        Entry entry;
        const std::string& stored = names.back();
        entry.bareName = packageEntryBareName(stored);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
            error = stored + ": " + archiveMessage(archive.get());
            return {};
        }
        entry.size = stat.size;
        if (entry.size > kMostPackageEntryBytes) {
            error = stored + " unpacks to more than " + megabytes(kMostPackageEntryBytes);
            return {};
        }
        total += entry.size;
        if (total > kMostPackageBytes) {
            error = "the entries unpack to more than " + megabytes(kMostPackageBytes);
            return {};
        }
        const bool folder = stored.empty() || stored.back() == '/' || stored.back() == '\\';
        entry.isLink = !folder && isLinkEntry(archive.get(), index);
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

}  // namespace zqw::package_detail
