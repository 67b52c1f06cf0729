#include "card/rowstring.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <ostream>

namespace zqw {

namespace {

// A shared block is found from any text in it by rounding the text's
// address down, so blocks are aligned to their size, which is that of a
// large page. The first bytes hold the count of references: one for each
// view, and a large reservation while a Blocks object still fills the block,
// so that handing out a view costs no atomic operation; the reservation less
// the views handed out is given back when the block is full.
constexpr size_t kBlockBytes = RowString::Blocks::kBlockBytes;
constexpr size_t kBlockHeader = RowString::Blocks::kBlockHeader;
static_assert(kBlockHeader >= sizeof(std::atomic<uint32_t>));
constexpr uint32_t kFillerReservation = uint32_t{1} << 31;

std::atomic<uint32_t>& referencesOf(char* block) {
    return *reinterpret_cast<std::atomic<uint32_t>*>(block);
}

char* blockOf(const char* text) {
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(text) & ~(kBlockBytes - 1));
}

char* newBlock(bool largePages) {
    // Twice the size, then the ends trimmed, gives an aligned block.
    void* area = ::mmap(nullptr, 2 * kBlockBytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(area);
    const uintptr_t aligned = (start + kBlockBytes - 1) & ~(kBlockBytes - 1);
    if (aligned > start) ::munmap(area, aligned - start);
    const uintptr_t tail = aligned + kBlockBytes;
    const uintptr_t end = start + 2 * kBlockBytes;
    if (end > tail) ::munmap(reinterpret_cast<void*>(tail), end - tail);
    char* block = reinterpret_cast<char*>(aligned);
    // A large read fills its blocks: one large page each spares hundreds of
    // page faults. A small card leaves most of its block untouched and so
    // unpaid, which a large page would not.
    if (largePages) (void)::madvise(block, kBlockBytes, MADV_HUGEPAGE);
    new (block) std::atomic<uint32_t>(kFillerReservation);
    return block;
}

void dropReferences(char* block, uint32_t count) {
    if (referencesOf(block).fetch_sub(count, std::memory_order_acq_rel) == count)
        ::munmap(block, kBlockBytes);
}

void dropReference(char* block) { dropReferences(block, 1); }

}  // namespace

RowString::RowString(const RowString& other) {
    const uint64_t bits = other.bits();
    setBits(bits);
    if (bits == 0 || (bits & kInline)) return;
    if (bits & kShared) {
        referencesOf(blockOf(data())).fetch_add(1, std::memory_order_relaxed);
        return;
    }
    setBits(0);
    assign(other.view());
}

RowString& RowString::operator=(const RowString& other) {
    if (this != &other) {
        RowString copy(other);
        swap(copy);
    }
    return *this;
}

RowString& RowString::assign(std::string_view text) {
    // Built aside first: text may be a view of this very string.
    uint64_t bits = 0;
    if (text.size() <= kMostInline) {
        if (!text.empty()) {
            std::memcpy(&bits, text.data(), text.size());
            bits |= kInline | (uint64_t{text.size()} << 56);
        }
    } else {
        void* heap = std::malloc(sizeof(size_t) + text.size());
        if (!heap) throw std::bad_alloc();
        const size_t size = text.size();
        std::memcpy(heap, &size, sizeof size);
        std::memcpy(static_cast<char*>(heap) + sizeof(size_t), text.data(), size);
        bits = reinterpret_cast<uintptr_t>(heap);
    }
    release();
    setBits(bits);
    return *this;
}

void RowString::release() {
    const uint64_t bits = this->bits();
    setBits(0);
    if (bits == 0 || (bits & kInline)) return;
    if (bits & kShared) {
        dropReference(blockOf(reinterpret_cast<const char*>(bits & kAddress)));
        return;
    }
    std::free(reinterpret_cast<void*>(bits));
}

RowString::Blocks::~Blocks() { finishBlock(); }

void RowString::Blocks::finishBlock() {
    if (!block_) return;
    dropReferences(block_, kFillerReservation - handedOut_);
    block_ = nullptr;
}

void RowString::Blocks::copyLongText(char* to, const char* from, size_t size) {
    std::memcpy(to, from, size);
}

RowString RowString::Blocks::addElsewhere(std::string_view text) {
    if (text.size() <= kMostInline || text.size() > kMostShared) return RowString(text);
    char* block = newBlock(expectedBytes_ >= kBlockBytes);
    // Addresses past 48 bits cannot be held in a view: texts get heap
    // blocks of their own instead (no platform we build for gives them).
    if ((reinterpret_cast<uintptr_t>(block + kBlockBytes - 1) & ~kAddress) != 0) {
        dropReferences(block, kFillerReservation);
        return RowString(text);
    }
    finishBlock();
    block_ = block;
    used_ = kBlockHeader;
    handedOut_ = 0;
    return add(text);
}

std::ostream& operator<<(std::ostream& out, const RowString& text) { return out << text.view(); }

}  // namespace zqw
