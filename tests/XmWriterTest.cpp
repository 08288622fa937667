#include "platform/Module.h"
#include "tools/XmWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

unsigned u16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) { return u16(b, at) | std::uint32_t{u16(b, at + 2)} << 16; }
std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t count) {
    return {b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + count)};
}

// Two channels, two rows, one 16-bit looped sample and one 8-bit one.
XmModule tinyModule() {
    XmModule m;
    m.name = "tiny";
    m.channels = 2;
    m.orders = {0, 0};
    XmPattern& p = m.patterns.emplace_back(2, 2);
    p.at(0, 0) = {49, 1, 0x40, 0x0C, 0x20};
    p.at(0, 1) = {49, 0, 0, 0, 0};
    p.at(1, 1) = {XmNote::keyOff, 0, 0x30, 0, 0};
    XmInstrument& wide = m.instruments.emplace_back();
    XmSample& s = wide.samples.emplace_back();
    s.pcm16 = {100, 300, -200, 32767, -32768};
    s.loop = XmLoop::forward;
    s.loopStart = 1;
    s.loopLength = 3;
    XmInstrument& narrow = m.instruments.emplace_back();
    narrow.samples.emplace_back().pcm8 = {10, -10, 127};
    return m;
}

} // namespace

TEST(XmWriter, PacksCellsAndDeltaEncodesSamples) {
    const std::vector<std::uint8_t> b = writeXm(tinyModule());

    EXPECT_EQ(std::memcmp(b.data(), "Extended Module: tiny", 21), 0);
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(u16(b, 58), 0x0104u);
    EXPECT_EQ(u32(b, 60), 276u);
    // song length, restart, channels, patterns, instruments, flags, speed, BPM, orders
    EXPECT_EQ(slice(b, 64, 18), (std::vector<std::uint8_t>{2, 0, 0, 0, 2, 0, 1, 0, 2, 0, 1, 0, 6, 0, 125, 0, 0, 0}));

    const std::size_t pattern = 60 + 276;
    EXPECT_EQ(u32(b, pattern), 9u);
    EXPECT_EQ(u16(b, pattern + 5), 2u);
    // A cell of four or more columns goes whole; others get a mask byte; an empty one is 0x80.
    const std::vector<std::uint8_t> cells{49, 1, 0x40, 0x0C, 0x20, 0x81, 49, 0x80, 0x85, 97, 0x30};
    EXPECT_EQ(u16(b, pattern + 7), cells.size());
    EXPECT_EQ(slice(b, pattern + 9, cells.size()), cells);

    const std::size_t instrument = pattern + 9 + cells.size();
    EXPECT_EQ(u32(b, instrument), 263u);
    EXPECT_EQ(u16(b, instrument + 27), 1u);
    EXPECT_EQ(u32(b, instrument + 29), 40u);
    const std::size_t sample = instrument + 263;
    // Lengths and loop points count bytes; type 0x11 is a forward loop of 16-bit data.
    EXPECT_EQ(u32(b, sample), 10u);
    EXPECT_EQ(u32(b, sample + 4), 2u);
    EXPECT_EQ(u32(b, sample + 8), 6u);
    EXPECT_EQ(b[sample + 14], 0x11);
    // 100, 300, -200, 32767, -32768 as differences that wrap in 16 bits.
    EXPECT_EQ(slice(b, sample + 40, 10), (std::vector<std::uint8_t>{100, 0, 200, 0, 0x0C, 0xFE, 0xC7, 0x80, 1, 0}));

    const std::size_t narrow = sample + 50;
    EXPECT_EQ(b[narrow + 263 + 14], 0x00);
    EXPECT_EQ(slice(b, narrow + 263 + 40, 3), (std::vector<std::uint8_t>{10, 0xEC, 0x89}));
    EXPECT_EQ(b.size(), narrow + 263 + 43);

    Module module("tiny.xm", b);
    EXPECT_EQ(module.orderCount(), 2);
    EXPECT_NEAR(module.durationSeconds(), 2 * 2 * 6 * 2.5 / 125, 0.005);
}

TEST(XmWriter, RefusesWhatFastTracker2CannotHold) {
    const std::vector<std::pair<const char*, std::function<void(XmModule&)>>> cases{
        {"odd channel count", [](XmModule& m) { m.channels = 3; }},
        {"too many channels", [](XmModule& m) { m.channels = 34; }},
        {"pattern of another width", [](XmModule& m) { m.patterns[0] = XmPattern(2, 4); }},
        {"no rows", [](XmModule& m) { m.patterns[0] = XmPattern(0, 2); }},
        {"257 rows", [](XmModule& m) { m.patterns[0] = XmPattern(257, 2); }},
        {"no orders", [](XmModule& m) { m.orders.clear(); }},
        {"257 orders", [](XmModule& m) { m.orders.assign(257, 0); }},
        {"missing pattern", [](XmModule& m) { m.orders[1] = 1; }},
        {"restart past the end", [](XmModule& m) { m.restart = 2; }},
        {"missing instrument", [](XmModule& m) { m.patterns[0].at(1, 0).instrument = 3; }},
        {"note past key-off", [](XmModule& m) { m.patterns[0].at(1, 0).note = 98; }},
        {"loop past the end", [](XmModule& m) { m.instruments[0].samples[0].loopLength = 5; }},
        {"13 envelope points", [](XmModule& m) { m.instruments[0].volumeEnvelope.points.resize(13); }},
        {"sample map past the samples", [](XmModule& m) { m.instruments[0].sampleForNote[40] = 1; }},
    };
    EXPECT_NO_THROW(writeXm(tinyModule()));
    for (const auto& [name, spoil] : cases) {
        XmModule m = tinyModule();
        spoil(m);
        EXPECT_THROW(writeXm(m), std::invalid_argument) << name;
    }
}
