#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The texture program's instruction set: opcode, name and parameters in file order. The
// decoder reads by it and the asset generator's assembler writes by it, so the two cannot drift.
struct TextureOps {
    enum class Type : std::uint8_t { u8, s8, u16, i32 };
    // low..high is the range a program means something by, in unit, for the people who write
    // programs; the file's field (type) holds more, and the decoder defends against all of it.
    struct Param {
        std::string_view name;
        Type type;
        int low;
        int high;
        std::string_view unit;
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

    static constexpr std::string_view levels = "levels of 255";
    static constexpr std::string_view seedUnit = "any number: the same gives the same pattern";
    static constexpr std::string_view toneUnit = "level: below 128 darkens, 128 keeps, above lightens";

    // Opcode 4 and 10 to 255 are no-ops of one byte and have no entry.
    static constexpr std::array<Op, 9> all = {{
        {plasma, "plasma", 9,
         {{{"red", Type::u8, 0, 255, levels},
           {"green", Type::u8, 0, 255, levels},
           {"blue", Type::u8, 0, 255, levels},
           {"maxFreqX", Type::u8, 1, 128, "waves across the texture, at most"},
           {"maxFreqY", Type::u8, 1, 128, "waves down the texture, at most"},
           {"minAmp", Type::u8, 0, 255, "levels of 255 a wave swings, at least"},
           {"maxAmp", Type::u8, 0, 255, "levels of 255 a wave swings, at most"},
           {"waves", Type::u8, 1, 64, "sine waves added together"},
           {"seed", Type::u8, 0, 255, seedUnit}}},
         "adds the colour, scaled by a sum of sine waves of random direction and amplitude (seeded)"},
        {squares, "squares", 6,
         {{{"red", Type::u8, 0, 255, levels},
           {"green", Type::u8, 0, 255, levels},
           {"blue", Type::u8, 0, 255, levels},
           {"count", Type::i32, 1, 100000, "squares"},
           {"size", Type::u8, 1, 255, "texels a side"},
           {"seed", Type::u8, 0, 255, seedUnit}}},
         "adds the colour in count squares of size texels at random places, wrapping at the edges (seeded)"},
        {ripple, "ripple", 2,
         {{{"frequency", Type::s8, -128, 127, "waves across the texture, as rings about its centre; negative: inward"},
           {"amplitude", Type::s8, -128, 127, "texels a texel moves, at most"}}},
         "moves each texel by a sine of its distance from the centre: rings spreading outward"},
        {sineShift, "sineShift", 6,
         {{{"shiftX", Type::u8, 0, 255, "thirds of a texel a row moves, per wave"},
           {"shiftY", Type::u8, 0, 255, "thirds of a texel a column moves, per wave"},
           {"maxFreqX", Type::u8, 1, 128, "waves across the texture, at most"},
           {"maxFreqY", Type::u8, 1, 128, "waves down the texture, at most"},
           {"waves", Type::u8, 1, 64, "sine waves added together"},
           {"seed", Type::u8, 0, 255, seedUnit}}},
         "moves columns up and down by shiftY, then rows sideways by shiftX, along sums of random sine waves (seeded)"},
        {radialTone, "radialTone", 3,
         {{{"radius", Type::u8, 1, 255, "texels from the centre"},
           {"inner", Type::i32, 0, 255, toneUnit},
           {"outer", Type::i32, 0, 255, toneUnit}}},
         "tone at a level running from inner at the centre to outer at radius texels and beyond"},
        {tone, "tone", 1, {{{"level", Type::u8, 0, 255, toneUnit}}},
         "darkens every texel toward black at levels below 128, lightens it toward white above 128"},
        {contrast, "contrast", 2,
         {{{"pivot", Type::u8, 0, 255, levels},
           {"factor", Type::s8, -16, 127, "sixteenths added to each channel's distance from pivot; -16 flattens"}}},
         "pushes each channel away from pivot by factor sixteenths (negative: toward it)"},
        {blur, "blur", 1, {{{"passes", Type::u8, 1, 32, "passes, each softer"}}},
         "averages each texel with its neighbours, passes times"},
        {bandLight, "bandLight", 3,
         {{{"low", Type::u8, 0, 255, "level of 255 where the band starts"},
           {"high", Type::u8, 0, 255, "level of 255 where the band ends"},
           {"gain", Type::u16, 1, 255, "levels added for each level inside the band's edge"}}},
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
