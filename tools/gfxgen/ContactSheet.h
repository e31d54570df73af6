// A single picture for judging the art: three screens put together the way the
// game draws them, and every picture enlarged by factor with its file name.
#pragma once

#include <cstdint>

#include "tools/gfxgen/Image.h"

namespace gfx {

[[nodiscard]] Image makeContactSheet(int32_t factor);

}  // namespace gfx
