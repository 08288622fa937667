#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The texture program's instruction set: opcode, name and parameters in file order. The
// decoder reads by it and the asset generator's assembler writes by it, so the two cannot drift.
struct TextureOps {
    enum class Type : std::uint8_t { u8, s8, u16, i32 };
    struct Param {
        std::string_view name;
        Type type;
    };
    struct Op {
        int opcode;
        std::string_view name;
        int paramCount;
        std::array<Param, 9> params;
        std::string_view summary;  // what it does, in a line, for the people who write programs
    };

    static constexpr int plasma = 0, squares = 1, ripple = 2, sineShift = 3, radialTone = 5, tone = 6,
                         contrast = 7, blur = 8, bandLight = 9;

    // Opcode 4 and 10 to 255 are no-ops of one byte and have no entry.
    static constexpr std::array<Op, 9> all = {{
        {plasma, "plasma", 9,
         {{{"red", Type::u8}, {"green", Type::u8}, {"blue", Type::u8}, {"maxFreqX", Type::u8}, {"maxFreqY", Type::u8},
           {"minAmp", Type::u8}, {"maxAmp", Type::u8}, {"waves", Type::u8}, {"seed", Type::u8}}},
         "adds the colour, scaled by a sum of sine waves of random direction and amplitude (seeded)"},
        {squares, "squares", 6,
         {{{"red", Type::u8}, {"green", Type::u8}, {"blue", Type::u8}, {"count", Type::i32}, {"size", Type::u8},
           {"seed", Type::u8}}},
         "adds the colour in count squares of size texels at random places, wrapping at the edges (seeded)"},
        {ripple, "ripple", 2, {{{"frequency", Type::s8}, {"amplitude", Type::s8}}},
         "moves each texel by a sine of its distance from the centre: rings spreading outward"},
        {sineShift, "sineShift", 6,
         {{{"shiftX", Type::u8}, {"shiftY", Type::u8}, {"maxFreqX", Type::u8}, {"maxFreqY", Type::u8},
           {"waves", Type::u8}, {"seed", Type::u8}}},
         "moves columns up and down by shiftY, then rows sideways by shiftX, along sums of random sine waves (seeded)"},
        {radialTone, "radialTone", 3, {{{"radius", Type::u8}, {"inner", Type::i32}, {"outer", Type::i32}}},
         "tone at a level running from inner at the centre to outer at radius texels and beyond"},
        {tone, "tone", 1, {{{"level", Type::u8}}},
         "darkens every texel toward black at levels below 128, lightens it toward white above 128"},
        {contrast, "contrast", 2, {{{"pivot", Type::u8}, {"factor", Type::s8}}},
         "pushes each channel away from pivot by factor sixteenths (negative: toward it)"},
        {blur, "blur", 1, {{{"passes", Type::u8}}}, "averages each texel with its neighbours, passes times"},
        {bandLight, "bandLight", 3, {{{"low", Type::u8}, {"high", Type::u8}, {"gain", Type::u16}}},
         "lightens texels whose brightness lies between low and high, most at the middle, by gain"},
    }};

    static constexpr const Op* byOpcode(int opcode) {
        for (const Op& op : all)
            if (op.opcode == opcode) return &op;
        return nullptr;
    }
    static constexpr const Op* byName(std::string_view name) {
        for (const Op& op : all)
            if (op.name == name) return &op;
        return nullptr;
    }
    static constexpr int size(Type t) { return t == Type::i32 ? 4 : t == Type::u16 ? 2 : 1; }
};
