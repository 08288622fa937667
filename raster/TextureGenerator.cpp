#include "raster/TextureGenerator.h"

#include "raster/Random.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

struct Tables {
    std::vector<std::int16_t> sine = std::vector<std::int16_t>(65536);
    std::vector<std::uint8_t> curve = std::vector<std::uint8_t>(256 * 256);
    std::vector<int> square = std::vector<int>(TextureGenerator::squareEntries);
    std::vector<int> root = std::vector<int>(TextureGenerator::rootEntries);

    Tables() {
        // 3.141592, not π: the period is a hair short of 65535 steps, and the show's textures
        // are made with exactly these values.
        const double c = 2 * 3.141592 / 65535;
        for (int i = 0; i < 65536; ++i) sine[i] = static_cast<std::int16_t>(std::sin(i * c) * 32767);
        for (int v = 0; v < 256; ++v)
            for (int k = 0; k < 256; ++k)
                curve[v * 256 + k] = static_cast<std::uint8_t>(k < 128 ? v * k / 128 : v + (255 - v) * (k - 128) / 128);
        for (int i = 0; i < TextureGenerator::squareEntries; ++i) square[i] = i * i;
        for (int i = 0; i < TextureGenerator::rootEntries; ++i) root[i] = static_cast<int>(std::sqrt(static_cast<double>(i)));
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// 32-bit two's-complement products and sums, as the texture maths defines them, without the
// undefined behaviour of signed overflow.
std::int32_t wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

int clampByte(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255)); }

void refuse(const char* message) { throw std::invalid_argument(message); }

} // namespace

const std::int16_t* TextureGenerator::sineTable() { return tables().sine.data(); }
const std::uint8_t* TextureGenerator::curveTable() { return tables().curve.data(); }

TextureGenerator::TextureGenerator(Image& target)
    : image_(target), px_(target.pixels()), W_(target.width()), H_(target.height()) {
    tables();
}

int TextureGenerator::dist(int x, int y) const {
    const Tables& t = tables();
    return t.root[t.square[std::abs(x - W_ / 2)] + t.square[std::abs(y - H_ / 2)]];
}

void TextureGenerator::requireDistanceTables(const char* operation) const {
    // The farthest pixel from the centre is a corner; its squared distance must index the roots.
    const int dx = std::max(W_ / 2, W_ - 1 - W_ / 2);
    const int dy = std::max(H_ / 2, H_ - 1 - H_ / 2);
    if (dx >= squareEntries || dy >= squareEntries || static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy >= rootEntries)
        throw std::invalid_argument(std::string("Texture too large for ") + operation);
}

void TextureGenerator::plasma(Color color, int maxFreqX, int maxFreqY, int minAmp, int maxAmp, int waves, int seed) {
    Random random(static_cast<std::uint32_t>(seed));
    if (waves > 0 && (maxFreqX <= 0 || maxFreqY <= 0)) refuse("Plasma frequency range is zero");
    if (waves > 0 && maxAmp < minAmp) refuse("Plasma amplitude range is empty");
    std::vector<int> fx(std::max(waves, 0)), fy(fx.size()), amp(fx.size());
    for (std::size_t k = 0; k < fx.size(); ++k) {
        fx[k] = random.next() % (2 * maxFreqX) - maxFreqX;
        fy[k] = random.next() % (2 * maxFreqY) - maxFreqY;
        amp[k] = random.next() % (maxAmp - minAmp + 1) + minAmp;
    }
    const std::int16_t* sine = sineTable();
    // A wave's phase is a row's part plus a column's part, each a division: the columns' parts
    // are worked out once, wave after wave (unless a program of very many waves would make that
    // table huge), and the rows' once a row. The sum wraps in 32 bits.
    const std::size_t W = static_cast<std::size_t>(std::max(W_, 0));
    auto columnPart = [&](std::size_t k, std::size_t x) {
        return static_cast<std::uint32_t>(wrap(std::int64_t{fx[k]} * static_cast<int>(x) * 65536) / W_);
    };
    std::vector<std::uint32_t> columnPhase;
    if (fx.size() * W <= std::size_t{1} << 20) {
        columnPhase.resize(fx.size() * W);
        for (std::size_t k = 0; k < fx.size(); ++k)
            for (std::size_t x = 0; x < W; ++x) columnPhase[k * W + x] = columnPart(k, x);
    }
    std::vector<std::uint32_t> rowPhase(fx.size());
    for (int y = 0; y < H_; ++y) {
        for (std::size_t k = 0; k < fx.size(); ++k)
            rowPhase[k] = static_cast<std::uint32_t>(wrap(std::int64_t{fy[k]} * y * 65536) / H_);
        Color* row = px_ + static_cast<std::size_t>(y) * W;
        for (std::size_t x = 0; x < W; ++x) {
            int sum = 0;
            for (std::size_t k = 0; k < fx.size(); ++k) {
                const std::uint32_t column = columnPhase.empty() ? columnPart(k, x) : columnPhase[k * W + x];
                const std::uint32_t phase = (rowPhase[k] + column) & 0xFFFFu;
                sum += (sine[phase] * amp[k] + 32768) >> 16;
            }
            row[x] = color.scale(clampByte(sum)).addSaturate(row[x]);
        }
    }
}

void TextureGenerator::squares(Color color, int count, int size, int seed) {
    Random random(static_cast<std::uint32_t>(seed));
    if (count <= 0) return;
    if (W_ <= 0 || H_ <= 0) refuse("Squares on a texture with no pixels");
    for (int n = 0; n < count; ++n) {
        const int x0 = random.next() % W_;
        const int y0 = random.next() % H_;
        for (int y = y0; y < y0 + size; ++y)
            for (int x = x0; x < x0 + size; ++x) {
                Color& p = px_[static_cast<std::size_t>(y % H_) * W_ + x % W_];
                p = p.addSaturate(color);
            }
    }
}

void TextureGenerator::ripple(int frequency, int amplitude) {
    if (W_ <= 0 || H_ <= 0) return;
    requireDistanceTables("ripple");
    const std::int16_t* sine = sineTable();
    std::vector<Color> out(image_.pixelCount());
    for (int y = 0; y < H_; ++y)
        for (int x = 0; x < W_; ++x) {
            const std::int32_t t = wrap(std::int64_t{(128 - dist(x, y)) * frequency} * 65536);
            const int dy = (sine[((t / H_) + 16384) & 0xFFFF] * amplitude) >> 15;
            const int dx = (sine[(t / W_) & 0xFFFF] * amplitude) >> 15;
            // Unsigned modulo, as the displacement arithmetic was defined: for sides that are
            // not powers of two a negative position does not wrap to the far edge.
            const std::uint32_t sy = static_cast<std::uint32_t>(y + dy) % static_cast<std::uint32_t>(H_);
            const std::uint32_t sx = static_cast<std::uint32_t>(x + dx) % static_cast<std::uint32_t>(W_);
            out[static_cast<std::size_t>(y) * W_ + x] = px_[sy * W_ + sx];
        }
    std::copy(out.begin(), out.end(), px_);
}

void TextureGenerator::sineShift(int shiftX, int shiftY, int maxFreqX, int maxFreqY, int waves, int seed) {
    Random random(static_cast<std::uint32_t>(seed));
    if (waves > 0 && (maxFreqX <= 0 || maxFreqY <= 0)) refuse("Sine shift frequency range is zero");
    std::vector<std::uint32_t> colFreq(std::max(waves, 0)), rowFreq(colFreq.size());
    for (std::size_t k = 0; k < colFreq.size(); ++k) {
        colFreq[k] = static_cast<std::uint32_t>(random.next() % maxFreqX + 1);
        rowFreq[k] = static_cast<std::uint32_t>(random.next() % maxFreqY + 1);
    }
    if (W_ <= 0 || H_ <= 0) return;
    const std::int16_t* sine = sineTable();
    const auto W = static_cast<std::uint32_t>(W_);
    const auto H = static_cast<std::uint32_t>(H_);
    // The displacement of one column (or row) at position n.
    auto shift = [&](const std::vector<std::uint32_t>& freq, std::uint32_t n, int amount) {
        std::int64_t s = 0;
        for (std::uint32_t f : freq) s += sine[((n * f * 65536u) / W) & 0xFFFF];
        const std::int32_t v = wrap(s * amount) >> 15;
        return static_cast<std::int32_t>(v * -0.3333333333333333);
    };
    std::vector<Color> out(image_.pixelCount());
    for (std::uint32_t x = 0; x < W; ++x) {
        const std::int32_t d = shift(colFreq, x, shiftY);
        for (std::uint32_t y = 0; y < H; ++y) out[y * W + x] = px_[((y - static_cast<std::uint32_t>(d)) % H) * W + x];
    }
    std::copy(out.begin(), out.end(), px_);
    // Rows use the width as divisor too: the sideways waves are laid out along a width-long span.
    for (std::uint32_t y = 0; y < H; ++y) {
        const std::int32_t d = shift(rowFreq, y, shiftX);
        for (std::uint32_t x = 0; x < W; ++x) out[y * W + x] = px_[y * W + (x - static_cast<std::uint32_t>(d)) % W];
    }
    std::copy(out.begin(), out.end(), px_);
}

void TextureGenerator::radialTone(int radius, int inner, int outer) {
    if (radius == 0) refuse("Radial tone radius is zero");
    if (W_ <= 0 || H_ <= 0) return;
    requireDistanceTables("radialTone");
    const std::uint8_t* curve = curveTable();
    for (int y = 0; y < H_; ++y)
        for (int x = 0; x < W_; ++x) {
            const int level = clampByte(inner + (std::int64_t{dist(x, y)} * (std::int64_t{outer} - inner)) / radius);
            Color& p = px_[static_cast<std::size_t>(y) * W_ + x];
            p = Color(curve[p.r * 256 + level], curve[p.g * 256 + level], curve[p.b * 256 + level], p.a);
        }
}

void TextureGenerator::tone(int level) {
    const std::uint8_t* curve = curveTable();
    const int k = level & 0xFF;
    for (std::size_t i = 0; i < image_.pixelCount(); ++i) {
        Color& p = px_[i];
        p = Color(curve[p.r * 256 + k], curve[p.g * 256 + k], curve[p.b * 256 + k], p.a);
    }
}

void TextureGenerator::contrast(int pivot, int factor) {
    auto channel = [pivot, factor](int v) { return clampByte(v + (((v - pivot) * factor) >> 4)); };
    for (std::size_t i = 0; i < image_.pixelCount(); ++i) {
        Color& p = px_[i];
        p = Color(channel(p.r), channel(p.g), channel(p.b), p.a);
    }
}

void TextureGenerator::blur(int passes) {
    if (W_ <= 0 || H_ <= 0) return;
    auto at = [this](int x, int y) -> Color& { return px_[static_cast<std::size_t>(y) * W_ + x]; };
    // The vertical sweeps: each pixel of a row with the one in the same column of another.
    auto averageRow = [&](int y, int other) {
        Color* row = &at(0, y);
        const Color* from = &at(0, other);
        for (int x = 0; x < W_; ++x) row[x] = row[x].average(from[x]);
    };
    // Each sweep updates in place, so a pixel averages with a neighbour the sweep already moved.
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < H_; ++y)
            for (int x = 0; x < W_; ++x) at(x, y) = at(x, y).average(at(x == 0 ? W_ - 1 : x - 1, y));
        for (int y = 0; y < H_; ++y) averageRow(y, y == 0 ? H_ - 1 : y - 1);
        for (int y = H_ - 1; y >= 0; --y)
            for (int x = W_ - 1; x >= 0; --x) at(x, y) = at(x, y).average(at(x == W_ - 1 ? 0 : x + 1, y));
        for (int y = H_ - 1; y >= 0; --y) averageRow(y, y == H_ - 1 ? 0 : y + 1);
    }
}

void TextureGenerator::bandLight(int low, int high, int gain) {
    const int mid = low + ((high - low) >> 1);
    for (std::size_t i = 0; i < image_.pixelCount(); ++i) {
        Color& p = px_[i];
        const int L = static_cast<int>((p.r + p.g + p.b) * 0.3333333333333333);
        int lift = 0;
        if (mid < L && L <= high) lift = (high - L) * gain;
        else if (low < L && L <= mid) lift = (L - low) * gain;
        if (lift == 0) continue;
        p = Color(std::min(255, p.r + lift), std::min(255, p.g + lift), std::min(255, p.b + lift), p.a);
    }
}
