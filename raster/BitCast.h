#pragma once

#include <type_traits>

// std::bit_cast for every toolchain we build with: the web build's standard library predates it,
// while its compiler, like ours, has the builtin the standard one is made of.
template <class To, class From>
constexpr To bitCast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From), "a bit cast keeps the size");
    static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>,
                  "a bit cast copies bytes");
    return __builtin_bit_cast(To, from);
}
