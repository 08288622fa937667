#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include <stdlib.h>  // posix_memalign

// The module target's operator new and delete: large blocks freed are kept, poisoned, for the
// next request of the same size. The player cannot be kept across inputs (libopenmpt loads a
// module only on making one), so every input makes and frees the same large objects (the player's
// 1.3 MB state, a copy of its 228 KB play state for each length or seek), and the address
// sanitizer maps each afresh and unmaps it on its way out of the quarantine: half the time of an
// input went to page faults and mapping. A kept block stays poisoned until handed out again, so a
// use after free is still reported (as a use after poison), and an overrun still meets the
// sanitizer's redzone past the end, the block being of exactly the size asked for.
namespace {

constexpr std::size_t largeBlock = std::size_t{64} << 10;
constexpr std::size_t mostKept = std::size_t{64} << 20;
// As the sanitizer's malloc fills the start of a new block, so a read before a write shows.
constexpr std::size_t filled = 4096;
constexpr unsigned char fillByte = 0xbe;
constexpr std::size_t plain = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

struct Kept {
    std::size_t size = 0;
    std::size_t alignment = 0;
    void* block = nullptr;
    unsigned long long when = 0;
};
std::array<Kept, 16> kept;
unsigned long long keptNow = 0;
std::size_t keptBytes = 0;
std::mutex keptLock;

void* take(std::size_t size, std::size_t alignment = plain) {
    if (size >= largeBlock) {
        const std::lock_guard<std::mutex> lock(keptLock);
        for (Kept& k : kept)
            if (k.block && k.size == size && k.alignment == alignment) {
                void* block = k.block;
                k.block = nullptr;
                keptBytes -= size;
                ASAN_UNPOISON_MEMORY_REGION(block, size);
                std::memset(block, fillByte, std::min(size, filled));
                return block;
            }
    }
    size = std::max<std::size_t>(size, 1);
    if (alignment <= plain) return std::malloc(size);
    void* block = nullptr;
    return posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

void* takeOrThrow(std::size_t size, std::size_t alignment = plain) {
    void* block = take(size, alignment);
    if (!block) throw std::bad_alloc();
    return block;
}

// Blocks of a size the player asks for on every input come back at once; one an input asked
// for once makes way, the longest kept first.
void give(void* block, std::size_t alignment = plain) {
    if (!block) return;
    const std::size_t size = __sanitizer_get_allocated_size(block);
    if (size < largeBlock || size > mostKept) {
        std::free(block);
        return;
    }
    const std::lock_guard<std::mutex> lock(keptLock);
    for (;;) {
        Kept* free = nullptr;
        Kept* oldest = nullptr;
        for (Kept& k : kept) {
            if (!k.block) free = &k;
            else if (!oldest || k.when < oldest->when) oldest = &k;
        }
        if (free && keptBytes + size <= mostKept) {
            *free = {size, alignment, block, ++keptNow};
            keptBytes += size;
            ASAN_POISON_MEMORY_REGION(block, size);
            return;
        }
        ASAN_UNPOISON_MEMORY_REGION(oldest->block, oldest->size);
        std::free(oldest->block);
        keptBytes -= oldest->size;
        *oldest = {};
    }
}

std::size_t bytes(std::align_val_t alignment) { return static_cast<std::size_t>(alignment); }

} // namespace

void* operator new(std::size_t size) { return takeOrThrow(size); }
void* operator new[](std::size_t size) { return takeOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return take(size); }
void operator delete(void* block) noexcept { give(block); }
void operator delete[](void* block) noexcept { give(block); }
void operator delete(void* block, std::size_t) noexcept { give(block); }
void operator delete[](void* block, std::size_t) noexcept { give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { give(block); }
void* operator new(std::size_t size, std::align_val_t a) { return takeOrThrow(size, bytes(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return takeOrThrow(size, bytes(a)); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept { return take(size, bytes(a)); }
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept { return take(size, bytes(a)); }
void operator delete(void* block, std::align_val_t a) noexcept { give(block, bytes(a)); }
void operator delete[](void* block, std::align_val_t a) noexcept { give(block, bytes(a)); }
void operator delete(void* block, std::size_t, std::align_val_t a) noexcept { give(block, bytes(a)); }
void operator delete[](void* block, std::size_t, std::align_val_t a) noexcept { give(block, bytes(a)); }
void operator delete(void* block, std::align_val_t a, const std::nothrow_t&) noexcept { give(block, bytes(a)); }
void operator delete[](void* block, std::align_val_t a, const std::nothrow_t&) noexcept { give(block, bytes(a)); }
