#include "card/ziparchive.h"

#include <zip.h>

namespace zqw {

ZipArchive::~ZipArchive() {
    if (archive_) zip_discard(archive_);
}

ZipArchive& ZipArchive::operator=(ZipArchive&& other) noexcept {
    if (this != &other) {
        if (archive_) zip_discard(archive_);
        archive_ = std::exchange(other.archive_, nullptr);
    }
    return *this;
}

bool ZipArchive::close() {
    if (!archive_ || zip_close(archive_) != 0) return false;
    archive_ = nullptr;
    return true;
}

ZipSourceReference::~ZipSourceReference() {
    if (source_) zip_source_free(source_);
}

}  // namespace zqw
