// Writes a Module as FastTracker 2 would: version 0x0104, 276-byte header,
// packed patterns (an all-empty pattern stored with no data), 263-byte
// instrument headers and delta-coded sample data.
#include "tools/xmwriter/XmWriter.h"

#include <cmath>
#include <cstdio>

namespace xmwriter {

namespace {

constexpr uint16_t formatVersion = 0x0104;
constexpr uint32_t headerBytes = 276;
constexpr uint32_t patternHeaderBytes = 9;
constexpr uint32_t instrumentHeaderBytes = 263;
constexpr uint32_t sampleHeaderBytes = 40;
constexpr size_t maxEnvelopePoints = 12;
constexpr size_t maxSamples = 16;

void put8(std::vector<uint8_t>& out, uint8_t value)
{
    out.push_back(value);
}

void append16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void append32(std::vector<uint8_t>& out, uint32_t value)
{
    append16(out, static_cast<uint16_t>(value));
    append16(out, static_cast<uint16_t>(value >> 16));
}

// A name padded with zeros (or cut) to its field.
void appendText(std::vector<uint8_t>& out, const std::string& text, size_t width)
{
    for (size_t index = 0; index < width; ++index) {
        out.push_back(index < text.size() ? static_cast<uint8_t>(text[index]) : 0);
    }
}

void writeModuleHeader(std::vector<uint8_t>& out, const Module& module)
{
    appendText(out, "Extended Module: ", 17);
    appendText(out, module.name, 20);
    put8(out, 0x1A);
    appendText(out, module.tracker, 20);
    append16(out, formatVersion);
    append32(out, headerBytes);
    size_t songLength = module.order.size() < 256 ? module.order.size() : 256;
    append16(out, static_cast<uint16_t>(songLength));
    append16(out, module.restartPosition);
    append16(out, module.channels);
    append16(out, static_cast<uint16_t>(module.patterns.size()));
    append16(out, static_cast<uint16_t>(module.instruments.size()));
    append16(out, module.linearFrequencies ? 1 : 0);
    append16(out, module.speed);
    append16(out, module.bpm);
    for (size_t position = 0; position < 256; ++position) {
        put8(out, position < songLength ? module.order[position] : 0);
    }
}

// The shorter of the two packings: five plain bytes, or a flag byte and the fields present.
void packCell(std::vector<uint8_t>& out, const Cell& cell)
{
    const uint8_t fields[] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
    uint8_t flags = 0x80;
    int32_t present = 0;
    for (int32_t field = 0; field < 5; ++field) {
        if (fields[field] != 0) {
            flags = static_cast<uint8_t>(flags | (1 << field));
            ++present;
        }
    }
    if (present == 5 && cell.note < 0x80) {
        out.insert(out.end(), fields, fields + 5);
        return;
    }
    put8(out, flags);
    for (uint8_t field : fields) {
        if (field != 0) {
            put8(out, field);
        }
    }
}

void writePattern(std::vector<uint8_t>& out, const Pattern& pattern, int32_t channels)
{
    std::vector<uint8_t> packed;
    bool anything = false;
    for (int32_t row = 0; row < pattern.rows; ++row) {
        for (int32_t channel = 0; channel < channels; ++channel) {
            size_t index = static_cast<size_t>(row) * static_cast<size_t>(pattern.channels) + channel;
            Cell cell{};
            if (channel < pattern.channels && index < pattern.cells.size()) {
                cell = pattern.cells[index];
            }
            anything = anything || cell.note != 0 || cell.instrument != 0 || cell.volume != 0 ||
                       cell.effect != 0 || cell.parameter != 0;
            packCell(packed, cell);
        }
    }
    append32(out, patternHeaderBytes);
    put8(out, 0);
    append16(out, static_cast<uint16_t>(pattern.rows));
    if (!anything) {
        append16(out, 0);   // the tracker stores an empty pattern without data
        return;
    }
    append16(out, static_cast<uint16_t>(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
}

uint8_t envelopeType(const Envelope& envelope)
{
    return static_cast<uint8_t>((envelope.on ? 1 : 0) | (envelope.sustainOn ? 2 : 0) | (envelope.loopOn ? 4 : 0));
}

void appendEnvelopePoints(std::vector<uint8_t>& out, const Envelope& envelope)
{
    for (size_t point = 0; point < maxEnvelopePoints; ++point) {
        EnvelopePoint value = point < envelope.points.size() ? envelope.points[point] : EnvelopePoint{};
        append16(out, value.tick);
        append16(out, value.value);
    }
}

uint8_t pointCount(const Envelope& envelope)
{
    return static_cast<uint8_t>(envelope.points.size() < maxEnvelopePoints ? envelope.points.size() : maxEnvelopePoints);
}

void writeInstrumentHeader(std::vector<uint8_t>& out, const Instrument& instrument, size_t sampleCount)
{
    append32(out, instrumentHeaderBytes);
    appendText(out, instrument.name, 22);
    put8(out, 0);
    append16(out, static_cast<uint16_t>(sampleCount));
    append32(out, sampleHeaderBytes);
    out.insert(out.end(), instrument.keymap.begin(), instrument.keymap.end());
    appendEnvelopePoints(out, instrument.volumeEnvelope);
    appendEnvelopePoints(out, instrument.panningEnvelope);
    const Envelope& volume = instrument.volumeEnvelope;
    const Envelope& panning = instrument.panningEnvelope;
    for (uint8_t value : {pointCount(volume), pointCount(panning), volume.sustain, volume.loopStart, volume.loopEnd,
                          panning.sustain, panning.loopStart, panning.loopEnd, envelopeType(volume),
                          envelopeType(panning), instrument.vibratoType, instrument.vibratoSweep,
                          instrument.vibratoDepth, instrument.vibratoRate}) {
        put8(out, value);
    }
    append16(out, instrument.fadeout);
    out.resize(out.size() + 22, 0);   // reserved, to the 263 bytes the header size states
}

uint32_t bytesPerValue(const Sample& sample)
{
    return sample.sixteenBit ? 2 : 1;
}

void writeSampleHeader(std::vector<uint8_t>& out, const Sample& sample)
{
    uint32_t scale = bytesPerValue(sample);
    bool looped = sample.loop != Loop::none;
    append32(out, static_cast<uint32_t>(sample.pcm.size()) * scale);
    append32(out, looped ? sample.loopStart * scale : 0);
    append32(out, looped ? sample.loopLength * scale : 0);
    put8(out, sample.volume);
    put8(out, static_cast<uint8_t>(sample.finetune));
    uint8_t type = sample.loop == Loop::forward ? 1 : (sample.loop == Loop::pingPong ? 2 : 0);
    put8(out, static_cast<uint8_t>(type | (sample.sixteenBit ? 0x10 : 0)));
    put8(out, sample.panning);
    put8(out, static_cast<uint8_t>(sample.relativeNote));
    put8(out, 0);
    appendText(out, sample.name, 22);
}

void writeSampleData(std::vector<uint8_t>& out, const Sample& sample)
{
    int32_t previous = 0;
    for (int16_t value : sample.pcm) {
        if (sample.sixteenBit) {
            append16(out, static_cast<uint16_t>(value - previous));
            previous = value;
        } else {
            int32_t high = value >> 8;
            put8(out, static_cast<uint8_t>(high - previous));
            previous = high;
        }
    }
}

void writeInstrument(std::vector<uint8_t>& out, const Instrument& instrument, Layout* layout)
{
    size_t sampleCount = instrument.samples.size() < maxSamples ? instrument.samples.size() : maxSamples;
    if (layout != nullptr) {
        layout->instruments.push_back(out.size());
        layout->sampleHeaders.emplace_back();
        layout->sampleData.emplace_back();
    }
    writeInstrumentHeader(out, instrument, sampleCount);
    for (size_t slot = 0; slot < sampleCount; ++slot) {
        if (layout != nullptr) {
            layout->sampleHeaders.back().push_back(out.size());
        }
        writeSampleHeader(out, instrument.samples[slot]);
    }
    for (size_t slot = 0; slot < sampleCount; ++slot) {
        if (layout != nullptr) {
            layout->sampleData.back().push_back(out.size());
        }
        writeSampleData(out, instrument.samples[slot]);
    }
}

}  // namespace

Pattern Pattern::blank(int32_t rows, int32_t channels)
{
    Pattern pattern;
    pattern.rows = rows;
    pattern.channels = channels;
    pattern.cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(channels), Cell{});
    return pattern;
}

std::vector<uint8_t> writeXm(const Module& module, Layout* layout)
{
    if (layout != nullptr) {
        *layout = Layout{};
    }
    std::vector<uint8_t> out;
    writeModuleHeader(out, module);
    for (const Pattern& pattern : module.patterns) {
        if (layout != nullptr) {
            layout->patterns.push_back(out.size());
        }
        writePattern(out, pattern, module.channels);
    }
    for (const Instrument& instrument : module.instruments) {
        writeInstrument(out, instrument, layout);
    }
    return out;
}

bool writeXmFile(const Module& module, const std::string& path)
{
    std::vector<uint8_t> bytes = writeXm(module);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value)
{
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    put16(bytes, offset, static_cast<uint16_t>(value));
    put16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

std::vector<int16_t> sineCycle(int32_t length)
{
    std::vector<int16_t> values(static_cast<size_t>(length > 0 ? length : 0));
    for (size_t index = 0; index < values.size(); ++index) {
        double phase = 2.0 * 3.14159265358979323846 * static_cast<double>(index) / static_cast<double>(length);
        values[index] = static_cast<int16_t>(std::lround(32767.0 * std::sin(phase)));
    }
    return values;
}

}  // namespace xmwriter
