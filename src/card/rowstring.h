#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zqw {

// The text of a row or an auction: a byte string in eight bytes. A card holds
// up to a million of them, so a std::string each (32 bytes plus a heap block
// of its own for any text past 15 bytes) would make the card several times
// the size of its file. Short texts live inside the object; texts read from a
// card file are views into shared blocks that hold only the texts; a text
// set afterwards gets a heap block of its own. Copies of a view share its
// block, which lives until the last of them goes, so a copy kept for undo
// outlives the card it came from.
//
// It reads like a const std::string (size, data, [], iteration, comparisons)
// and converts to std::string and std::string_view, so code that reads row
// texts keeps working; assigning a string replaces it.
class RowString {
public:
    RowString() = default;
    RowString(const char* text) { assign(std::string_view(text)); }
    RowString(std::string_view text) { assign(text); }
    RowString(const std::string& text) { assign(std::string_view(text)); }
    RowString(const RowString& other);
    RowString(RowString&& other) noexcept {
        setBits(other.bits());
        other.setBits(0);
    }
    ~RowString() {
        if (ownsStorage()) release();
    }

    RowString& operator=(const RowString& other);
    RowString& operator=(RowString&& other) noexcept {
        if (this != &other) {
            if (ownsStorage()) release();
            setBits(other.bits());
            other.setBits(0);
        }
        return *this;
    }
    RowString& operator=(std::string_view text) { return assign(text); }
    RowString& operator=(const std::string& text) { return assign(std::string_view(text)); }
    RowString& operator=(const char* text) { return assign(std::string_view(text)); }

    RowString& assign(std::string_view text);
    RowString& assign(size_t count, char c) { return assign(std::string(count, c)); }
    void clear() { release(); }

    size_t size() const {
        const uint64_t bits = this->bits();
        if (bits == 0) return 0;
        if (bits & kInline) return (bits >> 56) & 7;
        if (bits & kShared) return (bits >> 48) & kMostShared;
        size_t size = 0;
        std::memcpy(&size, reinterpret_cast<const void*>(bits), sizeof size);
        return size;
    }
    size_t length() const { return size(); }
    bool empty() const { return bits() == 0; }
    const char* data() const {
        const uint64_t bits = this->bits();
        if (bits == 0) return "";
        if (bits & kInline) return reinterpret_cast<const char*>(raw_);
        if (bits & kShared) return reinterpret_cast<const char*>(bits & kAddress);
        return reinterpret_cast<const char*>(bits) + sizeof(size_t);
    }
    char operator[](size_t i) const { return data()[i]; }
    const char* begin() const { return data(); }
    const char* end() const { return data() + size(); }

    std::string_view view() const { return {data(), size()}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    friend bool operator==(const RowString& a, const RowString& b) { return a.view() == b.view(); }
    friend bool operator==(const RowString& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const RowString& a, const std::string& b) {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const RowString& a, const char* b) {
        return a.view() == std::string_view(b);
    }

    void swap(RowString& other) noexcept {
        const uint64_t bits = this->bits();
        setBits(other.bits());
        other.setBits(bits);
    }

    // Texts read from one file are copied into shared blocks through one
    // of these, at the cost of their bytes and no allocation each.
    class Blocks {
    public:
        // Shared blocks are this large and aligned to their size, so that a
        // view finds its block from its own address; a block's first bytes
        // hold its count of references.
        static constexpr size_t kBlockBytes = size_t{2} << 20;
        static constexpr size_t kBlockHeader = 64;

        // expectedBytes: about how many bytes of text will be added.
        explicit Blocks(size_t expectedBytes = 0) : expectedBytes_(expectedBytes) {}
        ~Blocks();
        Blocks(const Blocks&) = delete;
        Blocks& operator=(const Blocks&) = delete;
        RowString add(std::string_view text) {
            // Inline, as a card file's reading adds a text per record.
            if (text.size() > kMostInline && text.size() <= kMostShared &&
                used_ + text.size() <= kBlockBytes) {
                char* const place = block_ + used_;
                copyText(place, text.data(), text.size());
                used_ += text.size();
                ++handedOut_;
                return shared(place, text.size());
            }
            return addElsewhere(text);
        }

    private:
        // Copies a text of more than kMostInline bytes. Texts are a few
        // dozen bytes: two overlapping copies of a fixed size each do, where
        // the compiler's own copy of a size it does not know is a string
        // instruction slow to start.
        static void copyText(char* to, const char* from, size_t size) {
            static_assert(kMostInline + 1 >= 8);
            if (size <= 16) {
                std::memcpy(to, from, 8);
                std::memcpy(to + size - 8, from + size - 8, 8);
            } else if (size <= 32) {
                std::memcpy(to, from, 16);
                std::memcpy(to + size - 16, from + size - 16, 16);
            } else if (size <= 64) {
                std::memcpy(to, from, 32);
                std::memcpy(to + size - 32, from + size - 32, 32);
            } else {
                copyLongText(to, from, size);
            }
        }
        static void copyLongText(char* to, const char* from, size_t size);
        RowString addElsewhere(std::string_view text);
        void finishBlock();

        size_t expectedBytes_;
        char* block_ = nullptr;  // the block being filled
        // Bytes of it in use; while there is none, as many as it can hold.
        size_t used_ = kBlockBytes;
        uint32_t handedOut_ = 0;  // views of it made so far
    };

private:
    // The bits are one of:
    //  - 0: the empty text;
    //  - the top bit set: up to 7 bytes inside the object (bytes 0..6 of its
    //    memory), their count in bits 56..58;
    //  - bit 62 set: a view of a shared block, the length in bits 48..61 and
    //    the address of the first byte in bits 0..47;
    //  - otherwise the address of a heap block (a size_t length, then the
    //    bytes). User-space addresses fit in 48 bits on the platforms we
    //    build for.
    static constexpr uint64_t kInline = uint64_t{1} << 63;
    static constexpr uint64_t kShared = uint64_t{1} << 62;
    static constexpr uint64_t kAddress = (uint64_t{1} << 48) - 1;
    static constexpr size_t kMostInline = 7;
    static constexpr size_t kMostShared = (size_t{1} << 14) - 1;

    static_assert(std::endian::native == std::endian::little,
                  "inline texts sit in the low bytes of the bits");

    // Whether letting go of the text frees or unshares anything: the empty
    // and the inline texts hold nothing beside the object.
    bool ownsStorage() const { return bits() != 0 && (bits() & kInline) == 0; }
    void release();
    static RowString shared(const char* text, size_t size) {
        RowString result;
        result.setBits(kShared | (uint64_t{size} << 48) | reinterpret_cast<uintptr_t>(text));
        return result;
    }

    uint64_t bits() const {
        uint64_t bits = 0;
        std::memcpy(&bits, raw_, sizeof bits);
        return bits;
    }
    void setBits(uint64_t bits) { std::memcpy(raw_, &bits, sizeof bits); }

    // Eight bytes aligned to four, so that a row (this and three ints)
    // takes 20 bytes rather than 24: a million rows are 4 MB less to
    // clear and fill. The processors we build for read them as one word.
    alignas(4) unsigned char raw_[8] = {};
};

inline void swap(RowString& a, RowString& b) noexcept { a.swap(b); }

std::ostream& operator<<(std::ostream& out, const RowString& text);

}  // namespace zqw
