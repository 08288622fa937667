#include "tools/XmWriter.h"

#include <stdexcept>
#include <string_view>

namespace {

constexpr std::uint32_t headerSize = 276;
constexpr std::uint32_t patternHeaderSize = 9;
constexpr std::uint32_t instrumentHeaderSize = 263;
constexpr std::uint32_t emptyInstrumentHeaderSize = 29;
constexpr std::uint32_t sampleHeaderSize = 40;
constexpr int maxEnvelopePoints = 12;

[[noreturn]] void refuse(const std::string& what) { throw std::invalid_argument("XM module: " + what); }

void require(bool ok, const std::string& what) {
    if (!ok) refuse(what);
}

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

void checkEnvelope(const XmEnvelope& envelope, int maxValue, const std::string& where) {
    const int count = static_cast<int>(envelope.points.size());
    require(count <= maxEnvelopePoints, where + " has more than 12 points");
    for (int i = 0; i < count; ++i) {
        const XmEnvelopePoint& point = envelope.points[static_cast<std::size_t>(i)];
        require(inRange(point.value, 0, maxValue), where + " value out of range");
        require(i == 0 ? point.tick == 0 : inRange(point.tick, envelope.points[static_cast<std::size_t>(i - 1)].tick + 1, 0xFFFF),
                where + " ticks must start at 0 and rise");
    }
    require(envelope.sustain < count && envelope.sustain >= -1, where + " sustain point out of range");
    require((envelope.loopStart == -1) == (envelope.loopEnd == -1), where + " loop needs both ends");
    require(envelope.loopStart < count && envelope.loopEnd < count && envelope.loopStart <= envelope.loopEnd,
            where + " loop points out of range");
}

void checkSample(const XmSample& sample, const std::string& where) {
    require(sample.name.size() <= 22, where + " name longer than 22 characters");
    require(sample.pcm16.empty() || sample.pcm8.empty(), where + " holds both 8- and 16-bit data");
    require(inRange(sample.volume, 0, 64), where + " volume out of range");
    require(inRange(sample.panning, 0, 255), where + " panning out of range");
    require(inRange(sample.finetune, -128, 127), where + " finetune out of range");
    require(inRange(sample.relativeNote, -96, 95), where + " relative note out of range");
    const std::size_t frames = sample.frames();
    // Loop points are stored in bytes in a 32-bit field.
    require(frames <= 0x7FFFFFFFu / 2, where + " too long");
    if (sample.loop != XmLoop::none) {
        require(sample.loopLength > 0 && std::size_t{sample.loopStart} + sample.loopLength <= frames,
                where + " loop outside the sample");
    }
}

void checkInstrument(const XmInstrument& instrument, const std::string& where) {
    require(instrument.name.size() <= 22, where + " name longer than 22 characters");
    require(instrument.samples.size() <= 16, where + " has more than 16 samples");
    if (!instrument.samples.empty()) {
        for (const std::uint8_t index : instrument.sampleForNote)
            require(index < instrument.samples.size(), where + " maps a note to a missing sample");
    }
    checkEnvelope(instrument.volumeEnvelope, 64, where + " volume envelope");
    checkEnvelope(instrument.panningEnvelope, 63, where + " panning envelope");
    require(inRange(instrument.vibratoType, 0, 3) && inRange(instrument.vibratoSweep, 0, 255) &&
                inRange(instrument.vibratoDepth, 0, 15) && inRange(instrument.vibratoRate, 0, 63),
            where + " vibrato out of range");
    require(inRange(instrument.fadeout, 0, 0xFFF), where + " fadeout out of range");
    for (std::size_t i = 0; i < instrument.samples.size(); ++i)
        checkSample(instrument.samples[i], where + " sample " + std::to_string(i));
}

void checkPattern(const XmPattern& pattern, int channels, std::size_t instrumentCount, const std::string& where) {
    require(inRange(pattern.rows, 1, 256), where + " rows out of range 1..256");
    require(pattern.channels == channels, where + " channel count differs from the module's");
    require(pattern.cells.size() == static_cast<std::size_t>(pattern.rows * pattern.channels),
            where + " cell count is not rows times channels");
    for (const XmNote& cell : pattern.cells) {
        require(cell.note <= XmNote::keyOff, where + " note out of range");
        require(cell.instrument <= instrumentCount, where + " names a missing instrument");
        require(cell.effect <= 35, where + " effect out of range");
    }
}

void check(const XmModule& module) {
    require(module.name.size() <= 20 && module.tracker.size() <= 20, "module or tracker name longer than 20 characters");
    require(inRange(module.channels, 2, 32) && module.channels % 2 == 0, "channel count must be even, 2..32");
    require(inRange(module.speed, 1, 31), "speed out of range 1..31");
    require(inRange(module.bpm, 32, 255), "BPM out of range 32..255");
    require(!module.orders.empty() && module.orders.size() <= 256, "order list must hold 1..256 entries");
    require(inRange(module.restart, 0, static_cast<int>(module.orders.size()) - 1), "restart position outside the order list");
    require(module.patterns.size() <= 256, "more than 256 patterns");
    require(module.instruments.size() <= 128, "more than 128 instruments");
    for (const int order : module.orders)
        require(inRange(order, 0, static_cast<int>(module.patterns.size()) - 1), "order names a missing pattern");
    for (std::size_t i = 0; i < module.patterns.size(); ++i)
        checkPattern(module.patterns[i], module.channels, module.instruments.size(), "pattern " + std::to_string(i));
    for (std::size_t i = 0; i < module.instruments.size(); ++i)
        checkInstrument(module.instruments[i], "instrument " + std::to_string(i + 1));
}

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void u8(unsigned value) { out_.push_back(static_cast<std::uint8_t>(value & 0xFFu)); }
    void i8(int value) { u8(static_cast<unsigned>(value)); }
    void u16(unsigned value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFFu);
        u16(value >> 16);
    }
    // Zero-padded to the field's width; names were checked to fit.
    void text(std::string_view value, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) u8(i < value.size() ? static_cast<unsigned char>(value[i]) : 0u);
    }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, 0); }
    std::size_t size() const { return out_.size(); }
    // For sizes known only once the data behind them is written.
    void patchU16(std::size_t at, unsigned value) {
        out_[at] = static_cast<std::uint8_t>(value & 0xFFu);
        out_[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFFu);
    }

private:
    std::vector<std::uint8_t>& out_;
};

// FastTracker 2's packing: a leading byte with bit 7 set lists which of the five columns follow.
// A cell with four or five columns costs no more stored whole, and the note byte of a whole cell
// never has bit 7 set, so readers tell the two apart.
void writeCell(ByteWriter& out, const XmNote& cell) {
    const std::uint8_t columns[5] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.param};
    unsigned mask = 0;
    int present = 0;
    for (unsigned i = 0; i < 5; ++i) {
        if (columns[i] != 0) {
            mask |= 1u << i;
            ++present;
        }
    }
    if (present >= 4) {
        for (const std::uint8_t column : columns) out.u8(column);
        return;
    }
    out.u8(0x80u | mask);
    for (unsigned i = 0; i < 5; ++i)
        if (mask & (1u << i)) out.u8(columns[i]);
}

void writePattern(ByteWriter& out, const XmPattern& pattern) {
    out.u32(patternHeaderSize);
    out.u8(0); // packing type
    out.u16(static_cast<unsigned>(pattern.rows));
    const std::size_t sizeField = out.size();
    out.u16(0);
    const std::size_t start = out.size();
    for (const XmNote& cell : pattern.cells) writeCell(out, cell);
    // At most 256 rows of 32 five-byte cells: always fits the 16-bit field.
    out.patchU16(sizeField, static_cast<unsigned>(out.size() - start));
}

void writeEnvelopePoints(ByteWriter& out, const XmEnvelope& envelope) {
    for (const XmEnvelopePoint& point : envelope.points) {
        out.u16(static_cast<unsigned>(point.tick));
        out.u16(static_cast<unsigned>(point.value));
    }
    out.zeros(static_cast<std::size_t>(maxEnvelopePoints - static_cast<int>(envelope.points.size())) * 4);
}

unsigned envelopeFlags(const XmEnvelope& envelope) {
    if (envelope.points.empty()) return 0;
    return 1u | (envelope.sustain >= 0 ? 2u : 0u) | (envelope.loopStart >= 0 ? 4u : 0u);
}

unsigned pointIndex(int index) { return index < 0 ? 0u : static_cast<unsigned>(index); }

void writeSampleHeader(ByteWriter& out, const XmSample& sample) {
    const std::uint32_t bytesPerFrame = sample.pcm16.empty() ? 1 : 2;
    const bool looped = sample.loop != XmLoop::none;
    out.u32(static_cast<std::uint32_t>(sample.frames()) * bytesPerFrame);
    out.u32(looped ? sample.loopStart * bytesPerFrame : 0);
    out.u32(looped ? sample.loopLength * bytesPerFrame : 0);
    out.u8(static_cast<unsigned>(sample.volume));
    out.i8(sample.finetune);
    out.u8(static_cast<unsigned>(sample.loop) | (bytesPerFrame == 2 ? 0x10u : 0u));
    out.u8(static_cast<unsigned>(sample.panning));
    out.i8(sample.relativeNote);
    out.u8(0); // reserved
    out.text(sample.name, 22);
}

// Sample data is stored as each value's difference from the one before, wrapping in its width.
void writeSampleData(ByteWriter& out, const XmSample& sample) {
    if (!sample.pcm16.empty()) {
        std::uint16_t previous = 0;
        for (const std::int16_t value : sample.pcm16) {
            const auto current = static_cast<std::uint16_t>(value);
            out.u16(static_cast<std::uint16_t>(current - previous));
            previous = current;
        }
    } else {
        std::uint8_t previous = 0;
        for (const std::int8_t value : sample.pcm8) {
            const auto current = static_cast<std::uint8_t>(value);
            out.u8(static_cast<std::uint8_t>(current - previous));
            previous = current;
        }
    }
}

void writeInstrument(ByteWriter& out, const XmInstrument& instrument) {
    const bool hasSamples = !instrument.samples.empty();
    out.u32(hasSamples ? instrumentHeaderSize : emptyInstrumentHeaderSize);
    out.text(instrument.name, 22);
    out.u8(0); // type
    out.u16(static_cast<unsigned>(instrument.samples.size()));
    if (!hasSamples) return;

    const std::size_t headerStart = out.size() - 29;
    out.u32(sampleHeaderSize);
    for (const std::uint8_t index : instrument.sampleForNote) out.u8(index);
    writeEnvelopePoints(out, instrument.volumeEnvelope);
    writeEnvelopePoints(out, instrument.panningEnvelope);
    out.u8(static_cast<unsigned>(instrument.volumeEnvelope.points.size()));
    out.u8(static_cast<unsigned>(instrument.panningEnvelope.points.size()));
    out.u8(pointIndex(instrument.volumeEnvelope.sustain));
    out.u8(pointIndex(instrument.volumeEnvelope.loopStart));
    out.u8(pointIndex(instrument.volumeEnvelope.loopEnd));
    out.u8(pointIndex(instrument.panningEnvelope.sustain));
    out.u8(pointIndex(instrument.panningEnvelope.loopStart));
    out.u8(pointIndex(instrument.panningEnvelope.loopEnd));
    out.u8(envelopeFlags(instrument.volumeEnvelope));
    out.u8(envelopeFlags(instrument.panningEnvelope));
    out.u8(static_cast<unsigned>(instrument.vibratoType));
    out.u8(static_cast<unsigned>(instrument.vibratoSweep));
    out.u8(static_cast<unsigned>(instrument.vibratoDepth));
    out.u8(static_cast<unsigned>(instrument.vibratoRate));
    out.u16(static_cast<unsigned>(instrument.fadeout));
    out.zeros(instrumentHeaderSize - (out.size() - headerStart));

    // All the headers come first, then all the data, in the same order.
    for (const XmSample& sample : instrument.samples) writeSampleHeader(out, sample);
    for (const XmSample& sample : instrument.samples) writeSampleData(out, sample);
}

} // namespace

XmPattern::XmPattern(int rowCount, int channelCount)
    : rows(rowCount), channels(channelCount), cells(static_cast<std::size_t>(rowCount * channelCount)) {}

std::vector<std::uint8_t> writeXm(const XmModule& module) {
    check(module);

    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.text("Extended Module: ", 17);
    out.text(module.name, 20);
    out.u8(0x1A);
    out.text(module.tracker, 20);
    out.u16(0x0104);
    out.u32(headerSize);
    out.u16(static_cast<unsigned>(module.orders.size()));
    out.u16(static_cast<unsigned>(module.restart));
    out.u16(static_cast<unsigned>(module.channels));
    out.u16(static_cast<unsigned>(module.patterns.size()));
    out.u16(static_cast<unsigned>(module.instruments.size()));
    out.u16(module.linearFrequencies ? 1u : 0u);
    out.u16(static_cast<unsigned>(module.speed));
    out.u16(static_cast<unsigned>(module.bpm));
    for (const int order : module.orders) out.u8(static_cast<unsigned>(order));
    out.zeros(256 - module.orders.size());

    for (const XmPattern& pattern : module.patterns) writePattern(out, pattern);
    for (const XmInstrument& instrument : module.instruments) writeInstrument(out, instrument);
    return bytes;
}
