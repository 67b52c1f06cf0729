#pragma once

#include <utility>

struct zip;
struct zip_source;

namespace zqw {

// Owns a libzip archive. Unless close() wrote it out, the archive is
// discarded when its owner goes, on every path, so no open archive is
// forgotten and none is both closed and discarded.
class ZipArchive {
public:
    ZipArchive() = default;
    explicit ZipArchive(zip* archive) : archive_(archive) {}
    ~ZipArchive();
    ZipArchive(ZipArchive&& other) noexcept : archive_(std::exchange(other.archive_, nullptr)) {}
    ZipArchive& operator=(ZipArchive&& other) noexcept;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    zip* get() const { return archive_; }
    explicit operator bool() const { return archive_ != nullptr; }
    // Writes the archive out and lets it go. False when writing failed: the
    // archive is still owned (its error readable) and will be discarded.
    bool close();

private:
    zip* archive_ = nullptr;
};

// One reference to a libzip source, given back when its owner goes.
class ZipSourceReference {
public:
    explicit ZipSourceReference(zip_source* source) : source_(source) {}
    ~ZipSourceReference();
    ZipSourceReference(const ZipSourceReference&) = delete;
    ZipSourceReference& operator=(const ZipSourceReference&) = delete;

    zip_source* get() const { return source_; }

private:
    zip_source* source_ = nullptr;
};

}  // namespace zqw
