#pragma once

#include <cmath>

namespace velmora {

// Window geometry is designed in twips: 1/1440 inch, 15 to a logical pixel at 96 dpi. Qt's
// logical pixels already carry the screen's scale, so the conversion is fixed.
inline constexpr int kTwipsPerPixel = 15;
inline int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

} // namespace velmora
