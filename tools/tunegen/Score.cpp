// Turns the notation's tokens into pattern cells.
#include "tools/tunegen/Score.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tunegen {

uint8_t noteNumber(const std::string& name)
{
    static constexpr int32_t semitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        return 0;
    }
    int32_t semitone = semitoneOfLetter[name[0] - 'A'];
    size_t next = 1;
    if (name[next] == '#') {
        semitone++;
        next++;
    }
    if (next + 1 != name.size() || name[next] < '0' || name[next] > '7') {
        return 0;
    }
    int32_t octave = name[next] - '0';
    return static_cast<uint8_t>(octave * 12 + semitone + 1);
}

std::vector<std::string> tokens(const std::string& line)
{
    std::vector<std::string> result;
    std::istringstream stream(line);
    std::string token;
    while (stream >> token) {
        result.push_back(token);
    }
    return result;
}

int32_t writeNotes(xmwriter::Pattern& pattern, const NoteLine& line, const std::string& text)
{
    int32_t row = line.firstRow;
    for (const std::string& token : tokens(text)) {
        if (row >= pattern.rows) {
            std::fprintf(stderr, "tunegen: a line runs past its pattern: %s\n", text.c_str());
            std::exit(1);
        }
        xmwriter::Cell& cell = pattern.at(row, line.channel);
        if (token == "-") {
            cell.note = xmwriter::keyOff;
        } else if (token[0] == '~') {
            cell.note = noteNumber(token.substr(1));
            cell.effect = fx::tonePorta;
            cell.parameter = line.slideSpeed;
        } else if (token != ".") {
            cell.note = noteNumber(token);
            cell.instrument = line.instrument;
            cell.volume = line.volume;
        }
        if (token != "." && token != "-" && cell.note == 0) {
            std::fprintf(stderr, "tunegen: not a note: %s\n", token.c_str());
            std::exit(1);
        }
        row++;
    }
    return row - line.firstRow;
}

void fillEffect(xmwriter::Pattern& pattern, int32_t channel, int32_t firstRow, int32_t count, uint8_t effect,
                uint8_t parameter)
{
    for (int32_t row = firstRow; row < firstRow + count && row < pattern.rows; row++) {
        xmwriter::Cell& cell = pattern.at(row, channel);
        if (cell.effect == 0 && cell.parameter == 0) {
            cell.effect = effect;
            cell.parameter = parameter;
        }
    }
}

}  // namespace tunegen
