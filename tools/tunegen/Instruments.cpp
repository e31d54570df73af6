// Instrument settings: samples from the synthesiser, envelopes in ticks
// (50 ticks a second at 125 BPM), default volumes and panning that spread
// the channels across the stereo field.
#include "tools/tunegen/Instruments.h"

#include "tools/tunegen/Synth.h"

namespace tunegen {

namespace {

// Looped waveforms are 64 values a cycle: an octave up (+12) puts every note at its
// named pitch, and a finetune of 2 takes back the 2 cents that 8363 / 32 falls short of C.
constexpr int8_t cycleRelativeNote = 12;
constexpr int8_t cycleFinetune = 2;

xmwriter::Envelope sustained(std::vector<xmwriter::EnvelopePoint> points, uint8_t sustainPoint)
{
    xmwriter::Envelope envelope;
    envelope.points = std::move(points);
    envelope.on = true;
    envelope.sustainOn = true;
    envelope.sustain = sustainPoint;
    return envelope;
}

xmwriter::Instrument looped(const char* name, std::vector<int16_t> pcm, uint8_t volume, uint8_t panning)
{
    xmwriter::Sample sample;
    sample.name = name;
    sample.loopLength = static_cast<uint32_t>(pcm.size());
    sample.pcm = std::move(pcm);
    sample.sixteenBit = true;
    sample.loop = xmwriter::Loop::forward;
    sample.volume = volume;
    sample.panning = panning;
    sample.relativeNote = cycleRelativeNote;
    sample.finetune = cycleFinetune;
    xmwriter::Instrument instrument;
    instrument.name = name;
    instrument.samples.push_back(std::move(sample));
    return instrument;
}

// Drums are rendered at 16,726 Hz and struck on C-5, where an XM sample plays at that rate.
xmwriter::Instrument drum(const char* name, std::vector<int16_t> pcm, uint8_t volume, uint8_t panning)
{
    xmwriter::Sample sample;
    sample.name = name;
    sample.pcm = std::move(pcm);
    sample.sixteenBit = true;
    sample.volume = volume;
    sample.panning = panning;
    xmwriter::Instrument instrument;
    instrument.name = name;
    instrument.samples.push_back(std::move(sample));
    return instrument;
}

xmwriter::Instrument leadVoice(const char* name, uint8_t volume, uint8_t panning)
{
    // 128 cycles of a pulse whose width breathes from 50 % to 14 %: the sweep of a
    // SID lead, about 3.4 times a second on an A-4.
    xmwriter::Instrument lead = looped(name, pulseWidthSweep(128, 0.5, 0.14, 18, 0.75), volume, panning);
    lead.volumeEnvelope = sustained({{0, 0}, {2, 64}, {10, 52}, {30, 46}}, 3);
    lead.fadeout = 0x180;
    lead.vibratoType = 0;
    lead.vibratoSweep = 30;
    lead.vibratoDepth = 6;
    lead.vibratoRate = 9;
    return lead;
}

}  // namespace

std::vector<xmwriter::Instrument> makeInstruments()
{
    std::vector<xmwriter::Instrument> instruments;
    instruments.push_back(leadVoice("pwm lead", 58, 128));
    instruments.push_back(leadVoice("pwm echo", 32, 208));

    xmwriter::Instrument arp = looped("pulse arp", pulseCycle(0.28, 14, 0.6), 38, 72);
    arp.volumeEnvelope = sustained({{0, 0}, {1, 64}, {8, 44}, {24, 36}}, 3);
    arp.fadeout = 0x300;
    instruments.push_back(std::move(arp));

    xmwriter::Instrument bass = looped("triangle bass", triangleCycle(0.95), 64, 128);
    bass.volumeEnvelope = sustained({{0, 64}, {6, 56}, {40, 44}}, 2);
    bass.fadeout = 0x400;
    instruments.push_back(std::move(bass));

    xmwriter::Instrument pad = looped("saw pad", sawCycle(10, 0.6), 34, 180);
    pad.volumeEnvelope = sustained({{0, 0}, {24, 50}, {60, 44}}, 2);
    pad.fadeout = 0x100;
    instruments.push_back(std::move(pad));

    instruments.push_back(drum("kick", kickDrum(), 64, 128));
    instruments.push_back(drum("snare", snareDrum(), 60, 136));
    instruments.push_back(drum("closed hat", hiHat(0.07, 0.016, 0.55), 30, 168));
    instruments.push_back(drum("open hat", hiHat(0.32, 0.11, 0.5), 28, 168));
    instruments.push_back(drum("tom", tomDrum(), 56, 100));
    return instruments;
}

}  // namespace tunegen
