#pragma once

#include "raster/Color.h"
#include "raster/ImageKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// What the differential tests share: a random sequence that each case replays from its own
// seed, and the loop that runs every case on the plain loops and on each vector path, from the
// same random start, failing on the first byte that differs and naming the case to replay.
namespace KernelCases {

constexpr int cases = 400;

// xorshift32: case n replays from its own seed whatever the other cases did.
class Random {
public:
    explicit Random(int n) : state_(static_cast<std::uint32_t>(n) * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // 0 .. bound − 1
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    // Half the bytes are 0x00 or 0xFF, where saturation and wrapping show.
    std::uint8_t byte() {
        switch (below(4)) {
        case 0: return 0x00;
        case 1: return 0xFF;
        default: return static_cast<std::uint8_t>(next() >> 24);
        }
    }
    Color color() { return Color(byte(), byte(), byte(), byte()); }
    // One of a table's entries.
    template <class T, std::size_t N>
    T pick(const T (&among)[N]) {
        return among[below(static_cast<int>(N))];
    }

private:
    std::uint32_t state_;
};

template <class T>
std::vector<std::uint8_t> bytesOf(const T* values, std::size_t count) {
    std::vector<std::uint8_t> bytes(count * sizeof(T));
    if (!bytes.empty()) std::memcpy(bytes.data(), values, bytes.size());
    return bytes;
}

// For each vector path this CPU runs and ownLoops(path) accepts: cases 0 … cases − 1 through
// run(path, r, n) and run(reference, r, n), each from case n's own sequence r; run gives the
// bytes the case produced. A CPU without any such path skips the test.
template <class OwnLoops, class Run>
void expectPathsMatchPlain(const char* what, OwnLoops ownLoops, Run run) {
    int paths = 0;
    for (ImageKernels::Path path : {ImageKernels::Path::sse2, ImageKernels::Path::avx2}) {
        if (!ImageKernels::get(path) || !ownLoops(path)) continue;
        ++paths;
        for (int n = 0; n < cases; ++n) {
            auto bytes = [&](ImageKernels::Path p) {
                Random r(n);
                return run(p, r, n);
            };
            const std::vector<std::uint8_t> want = bytes(ImageKernels::Path::reference);
            const std::vector<std::uint8_t> got = bytes(path);
            const auto first = std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
            ASSERT_TRUE(got == want) << what << ", path " << static_cast<int>(path) << ", case n = " << n
                                     << ", first differing byte " << first;
        }
    }
    if (paths == 0) GTEST_SKIP() << what << ": no vector path on this CPU";
}

// Whether a module's table has loops of its own for path, rather than a narrower set's.
template <class Kernels>
bool hasOwnLoops(ImageKernels::Path path) {
    return &Kernels::forPath(path) != &Kernels::forPath(ImageKernels::Path::reference);
}

// The same for a module's kernel table, handing run(set, r, n) each set that has loops of its
// own and the plain set.
template <class Kernels, class Run>
void expectSetsMatchPlain(const char* what, Run run) {
    expectPathsMatchPlain(what, hasOwnLoops<Kernels>, [&run](ImageKernels::Path path, Random& r, int n) {
        return run(Kernels::forPath(path), r, n);
    });
}

} // namespace KernelCases
