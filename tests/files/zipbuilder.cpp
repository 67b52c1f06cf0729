#include "zipbuilder.h"

#include <zlib.h>

#include <stdexcept>

namespace zqw::test {

namespace {

void put(std::string& out, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string rawDeflate(const std::string& bytes, int flush, bool& more) {
    z_stream stream{};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, bytes.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, flush);
    more = result == Z_OK;
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

uint32_t crc32Of(const std::string& bytes) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

ZipBuilder::Entry ZipBuilder::stored(const std::string& name, const std::string& bytes) {
    Entry entry;
    entry.name = name;
    entry.data = bytes;
    entry.crc = crc32Of(bytes);
    entry.unpacked = bytes.size();
    return entry;
}

ZipBuilder::Entry ZipBuilder::deflated(const std::string& name, const std::string& bytes) {
    Entry entry = stored(name, bytes);
    bool more = false;
    entry.data = rawDeflate(bytes, Z_FINISH, more);
    entry.deflated = true;
    return entry;
}

std::string deflatedZeros(uint64_t megabytes) {
    // A full flush ends the block on a byte boundary with no reference
    // back into it, so the block can simply be repeated.
    bool more = false;
    const std::string block = rawDeflate(std::string(1 << 20, '\0'), Z_FULL_FLUSH, more);
    std::string out;
    out.reserve(block.size() * megabytes + 2);
    for (uint64_t i = 0; i < megabytes; ++i) out += block;
    out += std::string("\x03\x00", 2);  // an empty final block
    return out;
}

std::string ZipBuilder::bytes() const {
    std::string out;
    std::vector<uint64_t> offsets;
    for (const Entry& entry : entries_) {
        if (entry.sharesDataOf >= 0) {
            offsets.push_back(offsets.at(static_cast<size_t>(entry.sharesDataOf)));
            continue;
        }
        offsets.push_back(out.size());
        put(out, 0x04034b50, 4);
        put(out, 20, 2);
        put(out, entry.utf8Name ? 0x0800 : 0, 2);
        put(out, entry.deflated ? 8 : 0, 2);
        put(out, 0, 4);  // time and date
        put(out, entry.crc, 4);
        put(out, entry.data.size(), 4);
        put(out, entry.unpacked, 4);
        put(out, entry.name.size(), 2);
        put(out, 0, 2);
        out += entry.name;
        out += entry.data;
    }
    const uint64_t directory = out.size();
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        const Entry& data =
            entry.sharesDataOf >= 0 ? entries_[static_cast<size_t>(entry.sharesDataOf)] : entry;
        put(out, 0x02014b50, 4);
        put(out, entry.unixMode != 0 ? (3 << 8) | 20 : 20, 2);  // made by: Unix or DOS
        put(out, 20, 2);
        put(out, entry.utf8Name ? 0x0800 : 0, 2);
        put(out, data.deflated ? 8 : 0, 2);
        put(out, 0, 4);
        put(out, entry.crc, 4);
        put(out, data.data.size(), 4);
        put(out, entry.unpacked, 4);
        put(out, entry.name.size(), 2);
        put(out, 0, 2);  // extra
        put(out, 0, 2);  // comment
        put(out, 0, 2);  // disk
        put(out, 0, 2);  // internal attributes
        put(out, static_cast<uint64_t>(entry.unixMode) << 16, 4);
        put(out, offsets[i], 4);
        out += entry.name;
    }
    const uint64_t directorySize = out.size() - directory;
    put(out, 0x06054b50, 4);
    put(out, 0, 4);
    put(out, entries_.size(), 2);
    put(out, entries_.size(), 2);
    put(out, directorySize, 4);
    put(out, directory, 4);
    put(out, 0, 2);
    return out;
}

}  // namespace zqw::test
