#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zqw::test {

// Writes ZIP archives byte by byte, so a test can make what no archiver
// would: entries whose data overlap, sizes that lie, symbolic link entries,
// names in any encoding.
class ZipBuilder {
public:
    struct Entry {
        std::string name;
        std::string data;       // as stored (compressed when deflated)
        uint32_t crc = 0;       // of the unpacked bytes
        uint64_t unpacked = 0;  // declared unpacked size
        bool deflated = false;
        bool utf8Name = false;
        uint32_t unixMode = 0;  // 0: none recorded
        // Where the entry's local header is; by default a new one is
        // written. An entry may point at another's to share its data.
        int sharesDataOf = -1;
    };

    // A stored entry of these bytes.
    static Entry stored(const std::string& name, const std::string& bytes);
    // A deflated entry of these bytes.
    static Entry deflated(const std::string& name, const std::string& bytes);

    void add(const Entry& entry) { entries_.push_back(entry); }
    std::string bytes() const;

private:
    std::vector<Entry> entries_;
};

// Raw deflate data that unpacks to `megabytes` MB of zero bytes, made from
// one compressed megabyte repeated, so it costs little to make.
std::string deflatedZeros(uint64_t megabytes);

uint32_t crc32Of(const std::string& bytes);

}  // namespace zqw::test
