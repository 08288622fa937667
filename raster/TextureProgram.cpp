#include "raster/LoadError.h"
#include "raster/TextureGenerator.h"
#include "raster/TextureOps.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

// The program's decoder, apart from the operations' per-texel loops (TextureGenerator.cpp): the
// fuzz build traces this file's comparisons for the fuzzer, and not those loops', which would
// run the hooks for every texel of every wave.

namespace {

// Reads a program's bytes; running out is an error, not a stream of 255s.
class ProgramReader {
public:
    ProgramReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint32_t read(int size) {
        if (at_ + static_cast<std::size_t>(size) > bytes_.size()) throw std::invalid_argument("Texture program ends early");
        std::uint32_t v = 0;
        for (int i = 0; i < size; ++i) v |= static_cast<std::uint32_t>(bytes_[at_++]) << (8 * i);
        return v;
    }
    int param(TextureOps::Type type) {
        const std::uint32_t raw = read(TextureOps::size(type));
        switch (type) {
        case TextureOps::Type::s8: return static_cast<std::int8_t>(raw);
        case TextureOps::Type::i32: return static_cast<std::int32_t>(raw);
        default: return static_cast<int>(raw);
        }
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// Texel visits of one operation, counted before it runs.
long long cost(int opcode, const int* p, long long texels) {
    switch (opcode) {
    case TextureOps::plasma: return texels * std::max(p[7], 1);
    // A square of no size still costs its two random draws.
    case TextureOps::squares: return static_cast<long long>(std::max(p[3], 0)) * std::max(p[4] * p[4], 1);
    case TextureOps::sineShift: return texels * (2 + 2LL * std::max(p[4], 0));
    case TextureOps::blur: return texels * 4LL * p[0];
    default: return texels;
    }
}

} // namespace

std::unique_ptr<Image> TextureGenerator::decode(const std::string& name, std::span<const std::uint8_t> bytes,
                                                long long budget, const Image::SizeCheck& check) {
    try {
        ProgramReader in(bytes);
        const int width = static_cast<int>(in.read(2));
        const int height = static_cast<int>(in.read(2));
        if (width > maxSide || height > maxSide) throw std::invalid_argument("Texture too large");
        if (check) check(width, height);
        // The image is a texel visit each, made and cleared before the program runs.
        const long long texels = static_cast<long long>(width) * height;
        long long work = texels;
        if (work > budget) throw std::invalid_argument("Texture program is too costly to run");
        auto image = std::make_unique<Image>(width, height);
        TextureGenerator gen(*image);
        const int count = static_cast<int>(in.read(1));
        for (int n = 0; n < count; ++n) {
            const int opcode = static_cast<int>(in.read(1));
            const TextureOps::Op* op = TextureOps::byOpcode(opcode);
            if (!op) continue;  // a one-byte no-op
            int p[9] = {};
            for (int i = 0; i < op->paramCount; ++i) p[i] = in.param(op->params[i].type);
            work += cost(opcode, p, texels);
            if (work > budget) throw std::invalid_argument("Texture program is too costly to run");
            switch (opcode) {
            case TextureOps::plasma: gen.plasma(Color(p[0], p[1], p[2], 0), p[3], p[4], p[5], p[6], p[7], p[8]); break;
            case TextureOps::squares: gen.squares(Color(p[0], p[1], p[2], 0), p[3], p[4], p[5]); break;
            case TextureOps::ripple: gen.ripple(p[0], p[1]); break;
            case TextureOps::sineShift: gen.sineShift(p[0], p[1], p[2], p[3], p[4], p[5]); break;
            case TextureOps::radialTone: gen.radialTone(p[0], p[1], p[2]); break;
            case TextureOps::tone: gen.tone(p[0]); break;
            case TextureOps::contrast: gen.contrast(p[0], p[1]); break;
            case TextureOps::blur: gen.blur(p[0]); break;
            case TextureOps::bandLight: gen.bandLight(p[0], p[1], p[2]); break;
            }
        }
        return image;
    } catch (const std::invalid_argument& e) {
        throw LoadError(name, e.what());
    }
}

