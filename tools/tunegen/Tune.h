// The game's background tune, composed in code: an intro, two contrasting
// sections and a slower bridge, looping back to the first section.
#pragma once

#include "tools/xmwriter/XmWriter.h"

namespace tunegen {

[[nodiscard]] xmwriter::Module composeTune();

}  // namespace tunegen
