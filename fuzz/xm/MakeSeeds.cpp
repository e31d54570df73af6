// Writes the fuzz_xm seed modules into the folder given as the argument: small
// modules that reach every branch of the loader's happy path.
#include <cstdio>
#include <string>

#include "tools/xmwriter/XmWriter.h"

namespace {

using namespace xmwriter;

Module notesAndEffects()
{
    Module module;
    module.channels = 4;
    module.order = {0, 1, 0};
    Pattern first = Pattern::blank(8, 4);
    first.at(0, 0) = {49, 1, 0x40, 0x0F, 0x03};
    first.at(2, 1) = {keyOff, 0, 0, 0, 0};
    first.at(4, 2) = {60, 2, 0, 0x0E, 0x61};
    first.at(6, 3) = {0, 0, 0xC8, 0x0A, 0x0F};
    module.patterns = {first, Pattern::blank(4, 4)};
    Instrument square;
    Sample wave;
    wave.pcm = {16384, 16384, -16384, -16384};
    wave.loop = Loop::forward;
    wave.loopLength = 4;
    square.samples = {wave};
    Instrument sine;
    Sample smooth;
    smooth.sixteenBit = true;
    smooth.pcm = sineCycle(16);
    smooth.loop = Loop::pingPong;
    smooth.loopStart = 4;
    smooth.loopLength = 8;
    sine.samples = {smooth};
    module.instruments = {square, sine};
    return module;
}

Module envelopesAndKeymap()
{
    Module module;
    module.channels = 2;
    module.order = {0};
    Pattern pattern = Pattern::blank(4, 2);
    pattern.at(0, 0) = {25, 1, 0, 0, 0};
    pattern.at(1, 1) = {73, 1, 0, 0, 0};
    module.patterns = {pattern};
    Instrument layered;
    layered.keymap.fill(1);
    layered.volumeEnvelope = {{{0, 64}, {8, 40}, {16, 48}, {32, 0}}, true, true, true, 1, 1, 2};
    layered.panningEnvelope = {{{0, 0}, {10, 64}}, true, false, false, 0, 0, 0};
    layered.vibratoType = 1;
    layered.vibratoSweep = 8;
    layered.vibratoDepth = 4;
    layered.vibratoRate = 20;
    layered.fadeout = 512;
    Sample low;
    low.pcm = sineCycle(32);
    low.relativeNote = -12;
    Sample high;
    high.pcm = sineCycle(8);
    high.finetune = 20;
    high.loop = Loop::forward;
    high.loopLength = 8;
    layered.samples = {low, high};
    module.instruments = {layered, Instrument{}};
    return module;
}

Module wideAndSparse()
{
    Module module;
    module.channels = 32;
    module.order = {2, 0};   // pattern 2 is named but not stored
    Pattern pattern = Pattern::blank(2, 32);
    pattern.at(1, 31) = {96, 1, 0x10, 0x08, 0x80};
    module.patterns = {pattern};
    Instrument blip;
    Sample click;
    click.sixteenBit = true;
    click.pcm = {32767, -32768, 0};
    blip.samples = {click};
    module.instruments = {blip};
    return module;
}

bool writeSeed(const std::string& folder, const char* name, const Module& module)
{
    if (!writeXmFile(module, folder + "/" + name)) {
        std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool written = writeSeed(folder, "notes.xm", notesAndEffects()) &&
                   writeSeed(folder, "envelopes.xm", envelopesAndKeymap()) &&
                   writeSeed(folder, "wide.xm", wideAndSparse());
    return written ? 0 : 1;
}
