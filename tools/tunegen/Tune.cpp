// The composition: chords, grooves and melodies bar by bar, in A minor at
// 125 BPM, speed 6 (a row is a sixteenth note), 8 channels:
//   0 kick and snare   1 hats          2 triangle bass    3 pulse arpeggios
//   4 PWM lead         5 lead echo     6 saw pad          7 toms and tempo changes
#include "tools/tunegen/Tune.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/tunegen/Instruments.h"
#include "tools/tunegen/Score.h"

namespace tunegen {

namespace {

namespace channel {
constexpr int32_t drums = 0;
constexpr int32_t hats = 1;
constexpr int32_t bass = 2;
constexpr int32_t arp = 3;
constexpr int32_t lead = 4;
constexpr int32_t echo = 5;
constexpr int32_t pad = 6;
constexpr int32_t toms = 7;
}  // namespace channel

constexpr int32_t channelCount = 8;
constexpr int32_t echoDelayRows = 3;
constexpr uint8_t leadVibrato = 0x52;      // speed 5, depth 2: about 4 Hz, a fifth of a semitone
constexpr uint8_t slideSpeed = 0x06;       // 24 period units a tick: a third in under three rows

struct Chord {
    const char* name;
    const char* bassRoot;
    const char* arpRoot;
    uint8_t arpeggio;      // 0xy: the third and the fifth above the root
    const char* padNote;
};

constexpr Chord chords[] = {
    {"Am", "A2", "A4", 0x37, "C5"},
    {"F", "F2", "F4", 0x47, "A4"},
    {"C", "C3", "C5", 0x47, "E4"},
    {"G", "G2", "G4", 0x47, "B4"},
    {"E", "E2", "E4", 0x47, "G#4"},
    {"Dm", "D2", "D4", 0x37, "F4"},
    {"Em", "E2", "E4", 0x37, "G4"},
};

const Chord& chord(const std::string& name)
{
    for (const Chord& candidate : chords) {
        if (name == candidate.name) {
            return candidate;
        }
    }
    std::fprintf(stderr, "tunegen: unknown chord %s\n", name.c_str());
    std::exit(1);
}

std::string noteName(uint8_t note)
{
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    int32_t index = note - 1;
    return std::string(names[index % 12]) + std::to_string(index / 12);
}

// Grooves for one bar of the two drum channels. Kit letters:
//   k kick, s snare, g ghost snare (struck late, soft), r snare roll,
//   h closed hat (cut short), x soft closed hat, H open hat.
struct Groove {
    const char* drums;
    const char* hats;
};

constexpr Groove silence = {". . . . . . . . . . . . . . . .", ". . . . . . . . . . . . . . . ."};
constexpr Groove hatsOnly = {"k . . . . . . . k . . . . . . .", "h . x . h . x . h . x . h . x ."};
constexpr Groove rock = {"k . . . s . . k . . k . s . . .", "h . x . h . x . h . x . h . H ."};
constexpr Groove busy = {"k . . k s . . g k . k . s . g .", "h x h x h x h x h x h x h x H ."};
constexpr Groove halfTime = {"k . . . . . . . s . . . . . . .", "h . . . x . . . h . . . x . . ."};
constexpr Groove fill = {"k . s . s . s s s . s s r . r .", "h . . . h . . . h . . . H . . ."};

constexpr const char* tomFill = "C5 . . C5 . . A4 . . A4 . F4 . F4 . .";

// Bass grooves: R the root, O an octave up, F the fifth.
constexpr const char* driveBass = "R . O . R . O . R . O . F . O .";
constexpr const char* walkBass = "R . . . R . . R . . O . R . . .";
constexpr const char* halfBass = "R . . . . . . . . . . . F . . .";
constexpr const char* introBass = "R . . . . . . . R . . . . . . .";

// Arpeggio rhythms: x strikes the chord again.
constexpr const char* pulseArp = "x . . . . . x . . . . . x . . .";
constexpr const char* slowArp = "x . . . . . . . x . . . . . . .";

xmwriter::Pattern newPattern()
{
    return xmwriter::Pattern::blank(patternRows, channelCount);
}

int32_t barRow(int32_t bar)
{
    return bar * rowsPerBar;
}

void drumBar(xmwriter::Pattern& pattern, int32_t bar, const Groove& groove)
{
    const std::vector<std::string> drumTokens = tokens(groove.drums);
    const std::vector<std::string> hatTokens = tokens(groove.hats);
    for (int32_t i = 0; i < rowsPerBar; i++) {
        const int32_t row = barRow(bar) + i;
        xmwriter::Cell& drum = pattern.at(row, channel::drums);
        const std::string& d = drumTokens[i];
        if (d == "k") {
            drum = {noteNumber("C5"), instrument::kick, 0, 0, 0};
        } else if (d == "s") {
            drum = {noteNumber("C5"), instrument::snare, 0, 0, 0};
        } else if (d == "g") {
            drum = {noteNumber("C5"), instrument::snare, volumeColumn(18), fx::extended, 0xD3};   // note delay
        } else if (d == "r") {
            drum = {noteNumber("C5"), instrument::snare, volumeColumn(30), fx::extended, 0x92};   // retrigger
        }
        xmwriter::Cell& hat = pattern.at(row, channel::hats);
        const std::string& h = hatTokens[i];
        if (h == "h") {
            hat = {noteNumber("C5"), instrument::closedHat, 0, fx::extended, 0xC3};   // note cut
        } else if (h == "x") {
            hat = {noteNumber("C5"), instrument::closedHat, volumeColumn(12), fx::extended, 0xC2};
        } else if (h == "H") {
            hat = {noteNumber("C5"), instrument::openHat, 0, 0, 0};
        }
    }
}

void bassBar(xmwriter::Pattern& pattern, int32_t bar, const Chord& harmony, const char* groove)
{
    const uint8_t root = noteNumber(harmony.bassRoot);
    std::string line;
    for (const std::string& token : tokens(groove)) {
        if (token == "R") {
            line += noteName(root);
        } else if (token == "O") {
            line += noteName(static_cast<uint8_t>(root + 12));
        } else if (token == "F") {
            line += noteName(static_cast<uint8_t>(root + 7));
        } else {
            line += token;
        }
        line += ' ';
    }
    writeNotes(pattern, {channel::bass, barRow(bar), instrument::bass, 0, 0}, line);
}

void arpBar(xmwriter::Pattern& pattern, int32_t bar, const Chord& harmony, const char* rhythm, uint8_t volume)
{
    std::string line;
    for (const std::string& token : tokens(rhythm)) {
        line += token == "x" ? std::string(harmony.arpRoot) : token;
        line += ' ';
    }
    writeNotes(pattern, {channel::arp, barRow(bar), instrument::arp, volume, 0}, line);
    fillEffect(pattern, channel::arp, barRow(bar), rowsPerBar, fx::arpeggio, harmony.arpeggio);
}

void padBar(xmwriter::Pattern& pattern, int32_t bar, const Chord& harmony)
{
    writeNotes(pattern, {channel::pad, barRow(bar), instrument::pad, 0, 0}, harmony.padNote);
}

// Chords, bass, arpeggios and drums for the four bars of a pattern.
struct Backing {
    const char* chords[4];
    const char* bassGroove;
    const char* arpRhythm;
    const Groove* grooves[4];
    bool pad;
};

void writeBacking(xmwriter::Pattern& pattern, const Backing& backing)
{
    for (int32_t bar = 0; bar < barsPerPattern; bar++) {
        const Chord& harmony = chord(backing.chords[bar]);
        if (backing.bassGroove != nullptr) {
            bassBar(pattern, bar, harmony, backing.bassGroove);
        }
        if (backing.arpRhythm != nullptr) {
            arpBar(pattern, bar, harmony, backing.arpRhythm, 0);
        }
        drumBar(pattern, bar, *backing.grooves[bar]);
        if (backing.grooves[bar] == &fill) {
            writeNotes(pattern, {channel::toms, barRow(bar), instrument::tom, 0, 0}, tomFill);
        }
        if (backing.pad) {
            padBar(pattern, bar, harmony);
        }
    }
}

// Vibrato on every lead note held for six rows or more, from its fourth row on.
void addVibrato(xmwriter::Pattern& pattern, int32_t leadChannel, const std::vector<std::string>& line)
{
    for (size_t start = 0; start < line.size(); start++) {
        if (line[start] == "." || line[start] == "-") {
            continue;
        }
        size_t next = start + 1;
        while (next < line.size() && line[next] == ".") {
            next++;
        }
        if (next - start >= 6) {
            fillEffect(pattern, leadChannel, static_cast<int32_t>(start + 3), static_cast<int32_t>(next - start - 3),
                       fx::vibrato, leadVibrato);
        }
    }
}

std::string joined(const std::vector<std::string>& line)
{
    std::string text;
    for (const std::string& token : line) {
        text += token;
        text += ' ';
    }
    return text;
}

// The lead's four bars; returns its tokens for the echo of the next pattern.
std::vector<std::string> writeLead(xmwriter::Pattern& pattern, const std::string& bars)
{
    std::vector<std::string> line = tokens(bars);
    if (line.size() != static_cast<size_t>(patternRows)) {
        std::fprintf(stderr, "tunegen: a lead line has %zu rows, not %d\n", line.size(), patternRows);
        std::exit(1);
    }
    writeNotes(pattern, {channel::lead, 0, instrument::lead, 0, slideSpeed}, bars);
    addVibrato(pattern, channel::lead, line);
    return line;
}

// The echo plays the lead three rows late, quieter, from the other side; panning >= 0
// moves each of its notes there with the panning effect.
void writeEcho(xmwriter::Pattern& pattern, const std::vector<std::string>& previousLead,
               const std::vector<std::string>& lead, int32_t panning)
{
    std::vector<std::string> line;
    for (int32_t i = 0; i < echoDelayRows; i++) {
        line.push_back(previousLead.empty() ? "." : previousLead[previousLead.size() - echoDelayRows + i]);
    }
    line.insert(line.end(), lead.begin(), lead.end() - echoDelayRows);
    writeNotes(pattern, {channel::echo, 0, instrument::echo, 0, slideSpeed}, joined(line));
    if (panning >= 0) {
        for (int32_t row = 0; row < patternRows; row++) {
            xmwriter::Cell& cell = pattern.at(row, channel::echo);
            if (cell.instrument != 0 && cell.effect == 0) {
                cell.effect = fx::setPanning;
                cell.parameter = static_cast<uint8_t>(panning);
            }
        }
    }
}

void setSpeed(xmwriter::Pattern& pattern, uint8_t ticksPerRow)
{
    xmwriter::Cell& cell = pattern.at(0, channel::toms);
    cell.effect = fx::speed;
    cell.parameter = ticksPerRow;
}

// Melodies, four bars to a pattern.
const char* const phraseOne =
    "E5 . . . A4 . C5 . E5 . . . D5 . C5 . "
    "C5 . . . A4 . . . F4 . A4 . C5 . D5 . "
    "E5 . . . G5 . . . E5 . D5 . C5 . D5 . "
    "B4 . . . . . . . G4 . A4 . B4 . D5 .";
const char* const phraseOneAnswer =
    "E5 . . . A4 . C5 . E5 . . . A5 . G5 . "
    "F5 . . . E5 . . . C5 . . . A4 . C5 . "
    "E5 . . . D5 . C5 . G4 . . . C5 . E5 . "
    "D5 . . . . . . . . . . . - . . .";
const char* const phraseTwo =
    "A5 . . . G5 . E5 . A5 . . . B5 . C6 . "
    "C6 . . . A5 . . . F5 . . . A5 . C6 . "
    "G5 . . . E5 . G5 . C6 . . . B5 . G5 . "
    "B5 . . . . . . . D6 . . . B5 . G5 .";
const char* const phraseTwoAnswer =
    "A5 . . . E5 . A5 . C6 . B5 . A5 . G5 . "
    "F5 . A5 . C6 . A5 . F5 . . . E5 . F5 . "
    "G5 . . . D5 . G5 . B5 . A5 . G5 . F5 . "
    "E5 . . . . . . . G#5 . . . B5 . . .";
const char* const songOfB =
    "F5 . . . . . . . A5 . . . . . . . "
    "G5 . . . . . . . B5 . . . ~D6 . . . "
    "C6 . . . . . . . G5 . . . ~E5 . . . "
    "E5 . . . . . . . C5 . . . E5 . . .";
const char* const songOfBAnswer =
    "D5 . . . F5 . . . A5 . . . ~D6 . . . "
    "B5 . . . . . . . G#5 . . . . . . . "
    "A5 . . . . . . . . . . . . . . . "
    "E5 . . . . . . . C5 . . . B4 . . .";
const char* const songOfBHigh =
    "D6 . . . C6 . A5 . F5 . . . A5 . D6 . "
    "B5 . . . . . G5 . D5 . . . G5 . B5 . "
    "C6 . . . . . . . E6 . . . ~C6 . . . "
    "A5 . . . . . . . E5 . . . A5 . . .";
const char* const songOfBHighAnswer =
    "F5 . . . A5 . . . D6 . . . ~F6 . . . "
    "E6 . . . D6 . . . B5 . . . G#5 . . . "
    "A5 . . . . . . . E5 . . . C5 . . . "
    "A4 . . . . . . . . . . . - . . .";
const char* const bridgeMelody =
    "C5 . . . . . . . . . . . A4 . . . "
    "B4 . . . . . . . D5 . . . . . . . "
    "E5 . . . . . . . G5 . . . . . . . "
    "E5 . . . . . . . . . . . - . . .";
const char* const bridgeRise =
    "A4 . . . D5 . . . F5 . . . A5 . . . "
    "D6 . . . . . . . . . . . . . . . "
    "B5 . . . . . . . G#5 . . . . . . . "
    "E5 . . . . . . . . . . . - . . .";

struct Part {
    Backing backing;
    const char* melody;        // null: no lead
    bool echo;
    int32_t echoPanning;       // -1: the echo instrument's own
    uint8_t speed;             // 0: unchanged
};

const Part parts[] = {
    // Intro: arpeggios and the pad fading in, then the bass, then the drums.
    {{{"Am", "F", "C", "G"}, nullptr, pulseArp, {&silence, &silence, &silence, &silence}, true}, nullptr, false, -1, 0},
    {{{"Am", "F", "C", "G"}, introBass, pulseArp, {&silence, &silence, &silence, &silence}, true}, nullptr, false, -1, 0},
    {{{"Am", "F", "C", "E"}, driveBass, pulseArp, {&hatsOnly, &hatsOnly, &rock, &fill}, false}, nullptr, false, -1, 0},
    // A: the main melody; where the song loops back to.
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&rock, &rock, &rock, &rock}, false}, phraseOne, false, -1, 6},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&rock, &rock, &rock, &fill}, false}, phraseOneAnswer, false, -1, 0},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&busy, &busy, &busy, &busy}, false}, phraseTwo, false, -1, 0},
    {{{"Am", "F", "G", "E"}, driveBass, pulseArp, {&busy, &busy, &busy, &fill}, false}, phraseTwoAnswer, false, -1, 0},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&rock, &rock, &rock, &rock}, true}, phraseOne, true, -1, 0},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&rock, &rock, &rock, &fill}, true}, phraseOneAnswer, true, -1, 0},
    // B: long notes and slides over D minor, the echo moving to the left.
    {{{"Dm", "G", "C", "Am"}, walkBass, slowArp, {&rock, &rock, &rock, &rock}, false}, songOfB, false, -1, 0},
    {{{"Dm", "E", "Am", "Am"}, walkBass, slowArp, {&rock, &rock, &rock, &fill}, false}, songOfBAnswer, false, -1, 0},
    {{{"Dm", "G", "C", "Am"}, walkBass, pulseArp, {&busy, &busy, &busy, &busy}, true}, songOfBHigh, true, 0x30, 0},
    {{{"Dm", "E", "Am", "Am"}, walkBass, pulseArp, {&busy, &busy, &busy, &fill}, true}, songOfBHighAnswer, true, 0x30, 0},
    // Bridge: slower, sparse, then building back up.
    {{{"F", "G", "Em", "Am"}, halfBass, slowArp, {&silence, &silence, &halfTime, &halfTime}, true}, nullptr, false, -1, 8},
    {{{"F", "G", "Em", "Am"}, halfBass, slowArp, {&halfTime, &halfTime, &halfTime, &halfTime}, true}, bridgeMelody, true, -1, 0},
    {{{"Dm", "Dm", "E", "E"}, driveBass, pulseArp, {&halfTime, &rock, &rock, &fill}, true}, bridgeRise, true, -1, 0},
    // A again, fuller, ending on E to lead back into A.
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&busy, &busy, &busy, &busy}, true}, phraseOne, true, -1, 6},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&busy, &busy, &busy, &fill}, true}, phraseOneAnswer, true, -1, 0},
    {{{"Am", "F", "C", "G"}, driveBass, pulseArp, {&rock, &rock, &rock, &rock}, true}, phraseTwo, true, -1, 0},
    {{{"Am", "F", "G", "E"}, driveBass, pulseArp, {&busy, &busy, &busy, &fill}, true}, phraseTwoAnswer, true, -1, 0},
};

constexpr uint16_t restartAtPart = 3;

// The intro's first pattern fades the pad in from silence with a volume slide.
void fadePadIn(xmwriter::Pattern& pattern)
{
    xmwriter::Cell& first = pattern.at(0, channel::pad);
    first.volume = volumeColumn(0);
    fillEffect(pattern, channel::pad, 0, rowsPerBar, fx::volumeSlide, 0x10);
}

}  // namespace

xmwriter::Module composeTune()
{
    xmwriter::Module module;
    module.name = "karvex";
    module.tracker = "Karvex tunegen";
    module.channels = channelCount;
    module.restartPosition = restartAtPart;
    module.linearFrequencies = true;
    module.speed = 6;
    module.bpm = 125;
    module.instruments = makeInstruments();
    module.order.clear();

    std::vector<std::string> previousLead;
    for (const Part& part : parts) {
        xmwriter::Pattern pattern = newPattern();
        writeBacking(pattern, part.backing);
        std::vector<std::string> lead;
        if (part.melody != nullptr) {
            lead = writeLead(pattern, part.melody);
        }
        if (part.echo) {
            writeEcho(pattern, previousLead, lead.empty() ? std::vector<std::string>(patternRows, ".") : lead,
                      part.echoPanning);
        }
        if (part.speed != 0) {
            setSpeed(pattern, part.speed);
        }
        previousLead = lead;
        module.order.push_back(static_cast<uint8_t>(module.patterns.size()));
        module.patterns.push_back(std::move(pattern));
    }
    fadePadIn(module.patterns[0]);
    return module;
}

}  // namespace tunegen
