#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// Arrays of plain values taken from the C allocator rather than a std::vector, which writes every
// element when it is made. calloc takes large blocks as fresh pages the system has already
// zeroed, so a zeroed array costs nothing until it is written; malloc leaves the contents unset
// for callers that overwrite all of it first.
struct SystemFree {
    void operator()(void* p) const noexcept { std::free(p); }
};

template <class T>
using SystemArray = std::unique_ptr<T[], SystemFree>;

enum class SystemFill { zeroed, unset };

// Throws std::bad_alloc when the memory cannot be had. An empty array still owns one element,
// so its pointer is never null.
template <class T>
SystemArray<T> makeSystemArray(std::size_t count, SystemFill fill) {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "only plain values may live in memory no constructor ran on");
    const std::size_t n = std::max<std::size_t>(count, 1);
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    void* memory = fill == SystemFill::zeroed ? std::calloc(n, sizeof(T)) : std::malloc(n * sizeof(T));
    if (!memory) throw std::bad_alloc();
    return SystemArray<T>(static_cast<T*>(memory));
}
