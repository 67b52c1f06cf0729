#include "card/packagelayout.h"

#include <sys/stat.h>

#include <algorithm>

namespace zqw::package_detail {

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

namespace {

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

}  // namespace

bool checkPackageLayout(const std::string& bytes, uint64_t& entryCount, std::string& error) {
    return LayoutCheck(bytes).run(entryCount, error);
}

bool isLinkEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

}  // namespace zqw::package_detail
