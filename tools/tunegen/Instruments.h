// The tune's instruments and their numbers in the module.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/xmwriter/XmWriter.h"

namespace tunegen {

namespace instrument {
constexpr uint8_t lead = 1;
constexpr uint8_t echo = 2;
constexpr uint8_t arp = 3;
constexpr uint8_t bass = 4;
constexpr uint8_t pad = 5;
constexpr uint8_t kick = 6;
constexpr uint8_t snare = 7;
constexpr uint8_t closedHat = 8;
constexpr uint8_t openHat = 9;
constexpr uint8_t tom = 10;
}  // namespace instrument

// The instruments in module order (number 1 first).
[[nodiscard]] std::vector<xmwriter::Instrument> makeInstruments();

}  // namespace tunegen
